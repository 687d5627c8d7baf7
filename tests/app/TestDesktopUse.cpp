// The main window as a desktop user meets it: keystrokes that stay in the field they were typed for, a
// window restored wholly on a screen and first shown where it was saved, its dialogs there before any use,
// a message for whatever cannot start, one close on a full disk.
#include "WindowFixture.h"
#include "app/AboutDialog.h"
#include "app/ClipboardWarning.h"
#include "app/DesktopOpener.h"
#include "app/LabelDialog.h"
#include "app/MainWindow.h"
#include "app/SizeTypingFollower.h"
#include "app/TipDialog.h"
#include "app/Vendor.h"
#include "app/WindowPlacement.h"
#include "render/Typefaces.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>
#include <cmath>
#include <csignal>
#include <limits>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

class TestDesktopUse : public QObject {
    Q_OBJECT

    WindowFixture m_fixture;

    MainWindow& window() const { return m_fixture.window(); }
    template <typename T> T* control(const char* name) const { return m_fixture.control<T>(name); }
    QComboBox* pointSize() const { return control<QComboBox>("pointSizeBox"); }

    // Each key goes where the keyboard focus is at that moment, as a user's keystrokes do.
    static void typeAsUser(const QString& text)
    {
        for (const QChar c : text) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            QTest::keyClick(focus, c.toLatin1());
        }
    }

    // How many of each dialog exist, in the order the window makes them.
    static QList<int> DialogCounts()
    {
        QList<int> counts(4, 0);
        for (const QWidget* w : QApplication::topLevelWidgets()) {
            counts[0] += qobject_cast<const ClipboardWarning*>(w) != nullptr;
            counts[1] += qobject_cast<const TipDialog*>(w) != nullptr;
            counts[2] += qobject_cast<const AboutDialog*>(w) != nullptr;
            counts[3] += qobject_cast<const LabelDialog*>(w) != nullptr;
        }
        return counts;
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        render::RegisterBarCodeTypefaces();
    }
    void init() { m_fixture.init(WindowFixture::DataFolder::Missing); }
    void cleanup() { m_fixture.cleanup(); }

    // ---- The window set ------------------------------------------------------------------------------

    // The dialogs do not hold up the window's first frame, yet whatever reaches one first (the first
    // activation, or a click before the window has even been shown) finds the whole set made, once.
    void dialogsBeforeTheirFirstUse_data()
    {
        QTest::addColumn<QString>("first"); // "activation", or the button clicked before the window shows
        QTest::addColumn<QString>("shows"); // the class of the dialog that comes up
        // clang-format off
        QTest::newRow("the first activation makes the set") << "activation" << "";
        QTest::newRow("About clicked before the window shows") << "aboutButton" << "AboutDialog";
        QTest::newRow("Tips clicked before the window shows") << "tipsButton" << "TipDialog";
        QTest::newRow("Print labels after Make, before the window shows") << "printLabelsButton" << "LabelDialog";
        // clang-format on
    }
    void dialogsBeforeTheirFirstUse()
    {
        QFETCH(QString, first);
        QFETCH(QString, shows);
        QCOMPARE(DialogCounts(), (QList<int>{0, 0, 0, 0}));
        QWidget* shown = nullptr;
        if (first == "activation") {
            QVERIFY(window().windowIcon().isNull());
            window().show();
            QVERIFY(QTest::qWaitForWindowActive(&window()));
            // The icon follows the first frame as well, in every size installed.
            QTRY_COMPARE(window().windowIcon().availableSizes().size(), 7);
        } else {
            if (first == "printLabelsButton") {
                control<QLineEdit>("dataEdit")->setText(QStringLiteral("AB"));
                control<QPushButton>("makeButton")->click();
                QVERIFY(window().barCodeMade());
            }
            WindowFixture::closeNextModal([&shown](QWidget* modal) { shown = modal; });
            control<QAbstractButton>(first.toLatin1())->click();
            QVERIFY(shown);
            QCOMPARE(QString::fromLatin1(shown->metaObject()->className()), shows);
        }
        QCOMPARE(DialogCounts(), (QList<int>{1, 1, 1, 1}));
        // Every later use meets the same windows.
        const QList<QWidget*> made = {&window().clipboardWarning(), &window().tipDialog(), &window().aboutDialog(),
                                      &window().labelDialog()};
        QCOMPARE(DialogCounts(), (QList<int>{1, 1, 1, 1}));
        QVERIFY(!shown || made.contains(shown));
    }

    // ---- Typing a point size ---------------------------------------------------------------------

    void typedSizeKeepsTheData_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pauseBeforeLast");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("data");
        // clang-format off
        QTest::newRow("200: applied at 20, the 0 follows to the size") << "200" << false << 200 << "HUGE1";
        QTest::newRow("500: applied at 50, the 0 follows to the size") << "500" << false << 500 << "HUGE1";
        QTest::newRow("1000: applied at 100, two digits follow") << "1000" << false << 1000 << "HUGE1";
        QTest::newRow("22: applied, the focus in the data") << "22" << false << 22 << "HUGE1";
        QTest::newRow("after a pause a digit is the user's data") << "247" << true << 24 << "HUGE17";
        // clang-format on
    }
    void typedSizeKeepsTheData()
    {
        QFETCH(QString, typed);
        QFETCH(bool, pauseBeforeLast);
        QFETCH(int, size);
        QFETCH(QString, data);
        m_fixture.start();
        auto* dataEdit = control<QLineEdit>("dataEdit");
        dataEdit->setText("HUGE1");
        control<QPushButton>("makeButton")->click();
        pointSize()->setFocus();
        pointSize()->clearEditText();
        typeAsUser(pauseBeforeLast ? typed.chopped(1) : typed);
        if (pauseBeforeLast) {
            QTest::qWait(kelm::SizeTypingFollower::kTypingPauseMs + 100);
            dataEdit->deselect();
            typeAsUser(typed.right(1));
        }
        QCOMPARE(dataEdit->text(), data);
        QCOMPARE(pointSize()->currentText(), typed.left(QString::number(size).size()));
        QCOMPARE(window().pointSize(), size);
        QCOMPARE(QApplication::focusWidget(), dataEdit);
        // The preview carries the size typed.
        QTextCursor first(control<QTextEdit>("preview")->document());
        first.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        QCOMPARE(first.charFormat().fontPointSize(), double(size));
    }

    // ---- Placement on the screens ----------------------------------------------------------------

    void restoredPosition_data()
    {
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<int>("titleBar");
        QTest::addColumn<QPoint>("placed");
        // 1366 x 768 at scale 2 (the window is taller than the screen); the same at scale 1; a wide
        // screen with a smaller one left of it and lower; two screens side by side.
        const QList<QRect> scaled{QRect(0, 0, 683, 384)};
        const QList<QRect> plain{QRect(0, 0, 1366, 740)};
        const QList<QRect> pair{QRect(0, 0, 1920, 1040), QRect(-1024, 200, 1024, 728)};
        const QList<QRect> sideBySide{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1280, 1024)};
        const QSize size(467, 442);
        constexpr int kMax = std::numeric_limits<int>::max();
        constexpr int kMin = std::numeric_limits<int>::min();
        // clang-format off
        QTest::newRow("plain: on the screen, as it stands") << plain << QRect(QPoint(40, 30), size) << 0 << QPoint(40, 30);
        QTest::newRow("plain: 1500,900 comes back wholly into the corner") << plain << QRect(QPoint(1500, 900), size) << 0 << QPoint(899, 298);
        QTest::newRow("plain: partly off at the right: wholly on") << plain << QRect(QPoint(1000, 100), size) << 0 << QPoint(899, 100);
        QTest::newRow("plain: -7000,5000 into the lower left corner") << plain << QRect(QPoint(-7000, 5000), size) << 0 << QPoint(0, 298);
        QTest::newRow("plain: above: down to the top, title bar included") << plain << QRect(QPoint(40, -10), size) << 24 << QPoint(40, 24);
        QTest::newRow("plain: int maximum") << plain << QRect(kMax - 500, kMax - 500, 467, 442) << 0 << QPoint(899, 298);
        QTest::newRow("plain: int minimum") << plain << QRect(QPoint(kMin, kMin), size) << 0 << QPoint(0, 0);
        QTest::newRow("scaled: too tall: at the top, wholly across") << scaled << QRect(QPoint(1500, 900), size) << 0 << QPoint(216, 0);
        QTest::newRow("scaled: too tall with a title bar to come") << scaled << QRect(QPoint(300, 200), size) << 24 << QPoint(216, 24);
        QTest::newRow("pair: on the left screen") << pair << QRect(QPoint(-900, 300), size) << 0 << QPoint(-900, 300);
        QTest::newRow("pair: mostly on the left screen: wholly onto it") << pair << QRect(QPoint(-400, 700), size) << 0 << QPoint(-467, 486);
        QTest::newRow("pair: left of both: onto the left screen") << pair << QRect(QPoint(-6000, 500), size) << 0 << QPoint(-1024, 486);
        QTest::newRow("pair: below both, at the right: onto the wide screen") << pair << QRect(QPoint(1000, 3000), size) << 0 << QPoint(1000, 598);
        QTest::newRow("side by side: across the seam, more on the right") << sideBySide << QRect(QPoint(1200, 100), size) << 0 << QPoint(1280, 100);
        QTest::newRow("side by side: across the seam, more on the left") << sideBySide << QRect(QPoint(1000, 100), size) << 0 << QPoint(813, 100);
        QTest::newRow("no screen: as it stands") << QList<QRect>{} << QRect(QPoint(-5000, -5000), size) << 0 << QPoint(-5000, -5000);
        // clang-format on
    }
    void restoredPosition()
    {
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, frame);
        QFETCH(int, titleBar);
        QFETCH(QPoint, placed);
        QCOMPARE(kelm::RestoredFramePosition(frame, screens, titleBar), placed);
    }

    // Whatever else the file holds, the window is at its saved place before it is first shown.
    void firstFrameAtTheSavedPlace_data()
    {
        QTest::addColumn<QByteArray>("settings");
        // clang-format off
        QTest::newRow("a plain file") << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nLeft=40\r\nTop=30\r\n");
        QTest::newRow("a size letter other than D") << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nLeft=40\r\nTop=30\r\nFontSize=A\r\n");
        QTest::newRow("the tip ring and tips") << QByteArray("[TipoftheDay]\r\nEnabled=0\r\nPosition=0\r\nMaximum=0\r\n[Tips]\r\n0=A tip\r\n[Settings]\r\nLeft=40\r\nTop=30\r\n");
        // clang-format on
    }
    void firstFrameAtTheSavedPlace()
    {
        QFETCH(QByteArray, settings);
        m_fixture.writeSettings(settings);
        window().show();
        // Before any event is handled: what the platform maps first.
        QCOMPARE(window().frameGeometry().topLeft(), QPoint(40, 30));
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        QTRY_VERIFY(control<QWidget>("dataEdit")->hasFocus());
        QCOMPARE(window().frameGeometry().topLeft(), QPoint(40, 30));
    }

    // ---- What cannot start says so ---------------------------------------------------------------

    void nothingToOpenWith_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("message");
        const QString help = kelm::NotStartedMessage(kelm::Handler::HelpViewer, "zovod.chm");
        const QString page =
            kelm::NotStartedMessage(kelm::Handler::WebBrowser, QString::fromLatin1(kelm::kTypefacePage));
        // clang-format off
        QTest::newRow("F1 in the data field") << "F1" << help;
        QTest::newRow("the Help button") << "helpButton" << help;
        QTest::newRow("Alt+W, the web page") << "Alt+W" << page;
        QTest::newRow("Print Labels: the word processor") << "printLabels" << kelm::NotStartedMessage(kelm::Handler::WordProcessor, "lb167.rtf");
        // clang-format on
    }
    void nothingToOpenWith()
    {
        QFETCH(QString, action);
        QFETCH(QString, message);
        m_fixture.writeSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nCount=1\r\n");
        m_fixture.start();
        m_fixture.recorder().shellFinds = false;
        auto* dataEdit = control<QLineEdit>("dataEdit");
        if (action == "F1") {
            QTest::keyClick(dataEdit, Qt::Key_F1);
        } else if (action == "Alt+W") {
            QTest::keySequence(&window(), QKeySequence(QStringLiteral("Alt+W")));
        } else if (action == "printLabels") {
            QFile rtf(m_fixture.dataFolder() + "/lb167.rtf");
            QVERIFY(rtf.open(QIODevice::WriteOnly));
            rtf.write("{\\rtf1}");
            rtf.close();
            dataEdit->setText("ABC");
            control<QPushButton>("makeButton")->click();
            auto* list = WindowFixture::child<QComboBox>(&window().labelDialog(), "labelSizeList");
            list->addItem("first stock");
            list->setCurrentIndex(0);
            WindowFixture::child<QCheckBox>(&window().labelDialog(), "explainPasteBox")->setChecked(false);
            WindowFixture::execWhile(&window().labelDialog(), [this] {
                WindowFixture::click(&window().labelDialog(), "printLabelsButton");
                return true;
            });
        } else {
            control<QPushButton>(qPrintable(action))->click();
        }
        QCOMPARE(m_fixture.recorder().shellCalls.size(), 1);
        QCOMPARE(m_fixture.recorder().warnings.size(), 1);
        QCOMPARE(m_fixture.recorder().warnings.first().text, message);
        QCOMPARE(m_fixture.recorder().warnings.first().topLeft, window().pos() + kelm::kWarningOffset);
        // A word processor that could not start leaves no busy cursor behind.
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // While a word processor starts the cursor says so; it goes with the start.
    void busyWhileAWordProcessorStarts()
    {
        m_fixture.start();
        kelm::OpenWithDesktop(&window(), kelm::Handler::WordProcessor, "open", "lb167.rtf", m_fixture.home());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        kelm::OpenWithDesktop(&window(), kelm::Handler::WebBrowser, "open", "https://example.org", QString());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor); // only the word processor's
        m_fixture.cleanup(); // the window goes, and its busy cursor with it
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        m_fixture.init(WindowFixture::DataFolder::Missing);
    }

    // ---- Dark palettes ----------------------------------------------------------------------------

    // Every text of every window stands out from what is behind it under a dark palette: the most common
    // colour of a text's picture is its background, and some pixel differs from it by a contrast ratio
    // of 3 or more (white on white is 1).
    void textsStandOutUnderADarkPalette_data()
    {
        QTest::addColumn<QString>("windowName");
        QTest::newRow("the main window") << "main";
        QTest::newRow("About") << "about";
        QTest::newRow("the label dialog") << "labels";
        QTest::newRow("the clipboard warning") << "clipboard";
    }
    void textsStandOutUnderADarkPalette()
    {
        QFETCH(QString, windowName);
        const QPalette before = QApplication::palette();
        QPalette dark;
        for (auto [role, colour] : {std::pair{QPalette::Window, QColor(0x2b, 0x2b, 0x2b)},
                                    {QPalette::WindowText, QColor(Qt::white)},
                                    {QPalette::Base, QColor(0x1e, 0x1e, 0x1e)},
                                    {QPalette::AlternateBase, QColor(0x35, 0x35, 0x35)},
                                    {QPalette::Text, QColor(Qt::white)},
                                    {QPalette::Button, QColor(0x35, 0x35, 0x35)},
                                    {QPalette::ButtonText, QColor(Qt::white)}})
            dark.setColor(role, colour);
        QApplication::setPalette(dark);
        m_fixture.start();
        QWidget* shown = &window();
        if (windowName == "about")
            shown = &window().aboutDialog();
        else if (windowName == "labels")
            shown = &window().labelDialog();
        else if (windowName == "clipboard")
            shown = reinterpret_cast<QWidget*>(&window().clipboardWarning());
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QStringList faint;
        const auto luminance = [](QRgb rgb) {
            const auto channel = [](int c) {
                const double v = c / 255.0;
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
        };
        for (QWidget* w : shown->findChildren<QWidget*>()) {
            QString text;
            if (auto* label = qobject_cast<QLabel*>(w); label && label->pixmap().isNull())
                text = label->text();
            else if (auto* button = qobject_cast<QAbstractButton*>(w))
                text = button->text();
            if (text.trimmed().isEmpty() || !w->isVisible() || w->width() < 4 || w->height() < 4)
                continue;
            const QImage picture = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QHash<QRgb, int> counts;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    ++counts[picture.pixel(x, y)];
            QRgb background = 0;
            int most = 0;
            for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                if (it.value() > most)
                    most = it.value(), background = it.key();
            double best = 1;
            for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
                const double a = luminance(it.key()) + 0.05, b = luminance(background) + 0.05;
                best = std::max(best, std::max(a, b) / std::min(a, b));
            }
            if (best < 3)
                faint.append(QStringLiteral("%1 (%2)").arg(w->objectName()).arg(best, 0, 'f', 2));
        }
        shown->hide();
        QApplication::setPalette(before);
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(", ")));
    }

    // ---- Short notes after a copy or a save ---------------------------------------------------------

    void notesAfterCopyAndSave()
    {
        m_fixture.start();
        auto* dataEdit = control<QLineEdit>("dataEdit");
        dataEdit->setText("ABCD4567");
        control<QPushButton>("makeButton")->click();
        const QRect copyAt = control<QPushButton>("copyButton")->geometry();
        WindowFixture::closeNextModal(); // the clipboard warning, where it comes
        control<QPushButton>("copyButton")->click();
        QCOMPARE(m_fixture.recorder().notes,
                 QStringList{QStringLiteral("Copied ABCD4567 \u2014 paste it into your word processor")});
        QCOMPARE(control<QPushButton>("copyButton")->geometry(), copyAt); // nothing moves for a note
        const QString file = m_fixture.home() + "/ABCD4567.png";
        m_fixture.recorder().saveFileName = file;
        window().saveBarCodeAs();
        QCOMPARE(m_fixture.recorder().notes.value(1), "Saved " + QDir::toNativeSeparators(file));
        QVERIFY(QFile::exists(file));
        // A cancelled save says nothing.
        m_fixture.recorder().saveFileName.clear();
        window().saveBarCodeAs();
        QCOMPARE(m_fixture.recorder().notes.size(), 2);
    }

    // ---- The close on a full disk ----------------------------------------------------------------

    // A file-size limit stands in for a full disk: the file cannot grow by the keys the close adds. One
    // close shows one message, closes the window and leaves every byte of the file, also of the keys
    // that would have fitted (Left changes in place before Type is added).
    void closeOnAFullDisk()
    {
#ifdef Q_OS_UNIX
        const QByteArray settings =
            "[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nLeft=40\r\nTop=30\r\nData=OLD\r\n";
        m_fixture.writeSettings(settings);
        m_fixture.start();
        window().move(41, 30);
        control<QLineEdit>("dataEdit")->setText("NEW");
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        rlimit full = before;
        full.rlim_cur = rlim_t(settings.size());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
        const bool closed = window().close();
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &before), 0);
        QVERIFY(closed);
        QVERIFY(!window().isVisible());
        QCOMPARE(m_fixture.recorder().errors,
                 QStringList{QStringLiteral("Unable to write to %1.").arg(m_fixture.settingsFile())});
        QCOMPARE(m_fixture.settingsBytes(), settings);
#else
        QSKIP("file-size limits are those of POSIX");
#endif
    }
};

QTEST_MAIN(TestDesktopUse)
#include "TestDesktopUse.moc"
