// The main window driven offscreen through its real controls. Copy and the clipboard: the text forms, the RTF read
// back, the pictures added after them, the warning once a run, long data, and the selection left after Copy and
// restyle.
#include "MainWindowDriver.h"
#include "TextRuns.h"
#include "app/ClipboardWarning.h"
#include "app/LabelDialog.h"
#include "app/PreviewEdit.h"
#include "render/BarCodeFiles.h"
#include "render/Typefaces.h"
#include "support/Pictures.h"

#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TestMainWindowCopy : public QObject, private MainWindowDriver {
    Q_OBJECT
private slots:
    void initTestCase() { WindowFixture::initTestCase(); }
    void init() { WindowFixture::init(DataFolder::Missing); }
    void cleanup() { WindowFixture::cleanup(); }

    // ---- Copy ---------------------------------------------------------------------------------------

    void copyCarriesFamilyAndSize()
    {
        start();
        make("ABCD4567");
        pointSize()->setCurrentIndex(pointSize()->findText("36"));
        QGuiApplication::clipboard()->setText("before");
        if (!render::BarCodeTypefacesInstalledForOtherPrograms())
            closeNextModal(); // the clipboard warning
        control<QPushButton>("copyButton")->click();
        QCOMPARE(focused(), input());
        QCOMPARE(preview()->textCursor().selectedText(), QStringLiteral("*ABCD4567*  "));

        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied);
        QCOMPARE(copied->text(), QStringLiteral("*ABCD4567*  "));
        const QString html = copied->html();
        QVERIFY2(html.contains("font-family:'" + kLo + "'") && html.contains("font-size:36pt"), qPrintable(html));
        for (const char* format : {"text/rtf", "application/rtf"}) {
            QString error;
            const QList<TextRun> runs = ParseRtf(copied->data(format), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(runs, (QList<TextRun>{{"*ABCD4567*", kLo, 36}, {"  ", kLo, 22}}));
        }
    }

    // Copy, and the label dialog's copy, add the bar code as PNG and SVG pictures after the text forms, which
    // stay what the preview's own copy gives byte for byte, in the same order.
    void copyAddsPictures_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("above");
        QTest::addColumn<QString>("size");
        // clang-format off
        QTest::newRow("Copy, text below, 22 pt") << "copyButton" << false << "22";
        QTest::newRow("Copy after a restyle to text above, 36 pt") << "copyButton" << true << "36";
        QTest::newRow("the label dialog's copy") << "labels" << false << "18";
        // clang-format on
    }
    void copyAddsPictures()
    {
        QFETCH(QString, how);
        QFETCH(bool, above);
        QFETCH(QString, size);
        start();
        make("INV-42");
        if (above)
            control<QRadioButton>("textAboveButton")->click();
        pointSize()->setCurrentIndex(pointSize()->findText(size));
        preview()->selectAll();
        preview()->copy();
        const QMimeData* plain = QGuiApplication::clipboard()->mimeData();
        QVERIFY(plain && !plain->formats().isEmpty());
        const QStringList textFormats = plain->formats();
        QMap<QString, QByteArray> textBytes;
        for (const QString& format : textFormats)
            textBytes[format] = plain->data(format);

        if (how == QLatin1String("labels")) {
            emit window().labelDialog().copyRequested();
        } else {
            if (!render::BarCodeTypefacesInstalledForOtherPrograms())
                closeNextModal();
            control<QPushButton>("copyButton")->click();
        }
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(copied->formats(), textFormats + QStringList({"image/png", "image/svg+xml"}));
        for (const QString& format : textFormats)
            QCOMPARE(copied->data(format), textBytes[format]);
        const render::BarCodeLook look{above, size.toDouble(), true};
        QCOMPARE(copied->data("image/png"), render::BarCodePng("*INV-42*", look, 300));
        QCOMPARE(copied->data("image/svg+xml"), render::BarCodeSvg("*INV-42*", look, "INV-42"));
        const QImage picture = QImage::fromData(copied->data("image/png"), "PNG");
        QCOMPARE(support::DecodeImage(picture), QStringList{"INV-42"});
    }

    // Copy and restyle leave the bar code selected; while another control has the focus the selection
    // must not paint the bars inverted, so the preview looks as it does with nothing selected.
    void unfocusedSelectionIsNotPainted_data()
    {
        QTest::addColumn<QString>("action");
        // clang-format off
        QTest::newRow("after Copy") << "copy";
        QTest::newRow("after a restyle") << "restyle";
        // clang-format on
    }
    void unfocusedSelectionIsNotPainted()
    {
        QFETCH(QString, action);
        start();
        make("AB");
        if (action == QLatin1String("copy")) {
            if (!render::BarCodeTypefacesInstalledForOtherPrograms())
                closeNextModal();
            control<QPushButton>("copyButton")->click();
            // The clipboard warning, when it came, leaves the window inactive offscreen.
            window().activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window()));
        } else {
            control<QRadioButton>("textAboveButton")->click();
        }
        QCOMPARE(focused(), input());
        QVERIFY(preview()->textCursor().hasSelection()); // the selection itself stays
        const QImage withSelection = preview()->viewport()->grab().toImage();

        QTextCursor none = preview()->textCursor();
        const QTextCursor kept = none;
        none.clearSelection();
        preview()->setTextCursor(none);
        const QImage withoutSelection = preview()->viewport()->grab().toImage();
        QCOMPARE(withSelection, withoutSelection);

        // The same comparison sees a selection where it is meant to show: in the focused preview.
        preview()->setTextCursor(kept);
        preview()->setFocus();
        QVERIFY(preview()->viewport()->grab().toImage() != withoutSelection);
    }

    // Qt cuts a line edit at 32,767 characters unless told otherwise: long data must reach the builder
    // whole, and the string box must hold the whole bar code with its check and stop characters.
    void longData_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<QString>("barCode");
        // clang-format off
        QTest::newRow("40,000 plain characters") << QString(40000, u'A') << false
            << "*" + QString(40000, u'A') + "*";
        QTest::newRow("20,000 small letters expand to 40,000") << QString(20000, u'a') << true
            << "*" + QString("+A").repeated(20000) + "*";
        // clang-format on
    }
    void longData()
    {
        QFETCH(QString, data);
        QFETCH(bool, fullAscii);
        QFETCH(QString, barCode);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(fullAscii);
        make(data);
        QCOMPARE(input()->text().size(), data.size());
        QCOMPARE(output()->text(), barCode);
        QCOMPARE(window().previewText(), barCode + "  ");
        QCOMPARE(window().barCodeText(), output()->text());
    }

    void clipboardWarningOncePerRun()
    {
        // Other programs cannot show the bars when the typefaces are only the program's own: the first
        // copy of the run says so, later ones do not.
        const bool warns = !render::BarCodeTypefacesInstalledForOtherPrograms();
        start();
        make("AB");
        int shown = 0;
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, timer, [this, &shown] {
            if (QApplication::activeModalWidget() == &window().clipboardWarning()) {
                ++shown;
                QVERIFY(child<QCheckBox>(&window().clipboardWarning(), "dontWarnAgainBox")->isHidden());
                window().clipboardWarning().close();
            }
        });
        timer->start(10);
        for (int copy = 0; copy < 3; ++copy) {
            control<QPushButton>("copyButton")->click();
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("*AB*  "));
        }
        delete timer;
        QCOMPARE(shown, warns ? 1 : 0);
        QCOMPARE(focused(), input());
    }

    void rtfEscapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family");
        // clang-format off
        QTest::newRow("RTF's own characters") << R"(a\b{c}d)" << kLo;
        QTest::newRow("beyond ASCII, one and two UTF-16 units") << QStringLiteral("é€😀") << kLo;
        QTest::newRow("a family with RTF characters") << "x" << R"(Odd;{Face}\Name)";
        // clang-format on
    }
    void rtfEscapes()
    {
        QFETCH(QString, text);
        QFETCH(QString, family);
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextCharFormat format;
        format.setFontFamilies(QStringList{family});
        format.setFontPointSize(10.5);
        cursor.insertText(text, format);
        cursor.select(QTextCursor::Document);
        QString error;
        QCOMPARE(ParseRtf(RichTextFormat(cursor), &error), (QList<TextRun>{{text, family, 10.5}}));
        QVERIFY(error.isEmpty());
        for (char c : RichTextFormat(cursor))
            QVERIFY(uchar(c) < 0x80);
    }
};

QTEST_MAIN(TestMainWindowCopy)
#include "TestMainWindowCopy.moc"
