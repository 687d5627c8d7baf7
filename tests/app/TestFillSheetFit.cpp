// The Fill a Sheet window and the stock editor as a keyboard user meets them on a 1366 x 768 screen at
// scale 2: on the screen with every button, a mnemonic for every field, Tab leaving the typed list, long
// stock names cut short with the whole name as a tip, the label dialog's stock offered first, and a short
// note after a save or a print.
#include "WindowFixture.h"
#include "app/FillSheetDialog.h"
#include "app/LabelDialog.h"
#include "app/UserStockDialog.h"
#include "render/Typefaces.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

namespace {

// The letter after a single '&', lower case; none for a text without one.
QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] == u'&') {
                ++i;
                continue;
            }
            return text[i + 1].toLower();
        }
    }
    return {};
}

// Every field has a label whose mnemonic reaches it, and no two controls share a letter.
void VerifyMnemonics(const QWidget* dialog)
{
    QHash<QChar, QString> letters;
    for (const QWidget* w : dialog->findChildren<QWidget*>()) {
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            text = label->text();
            if (text.endsWith(u':'))
                QVERIFY2(label->buddy(), qPrintable(w->objectName() + " has no buddy"));
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            text = button->text();
        }
        const QChar letter = Mnemonic(text);
        if (letter.isNull())
            continue;
        QVERIFY2(
            !letters.contains(letter),
            qPrintable(
                QStringLiteral("%1 and %2 share Alt+%3").arg(letters.value(letter), w->objectName(), letter)));
        letters.insert(letter, w->objectName());
    }
}

} // namespace

class TestFillSheetFit : public QObject {
    Q_OBJECT

    WindowFixture m_fixture;
    MainWindow& window() const { return m_fixture.window(); }

    // Opens the window with Ctrl+P and hands it to inspect, then closes it.
    void withFillSheet(const std::function<void(FillSheetDialog*)>& inspect)
    {
        bool seen = false;
        WindowFixture::closeNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<FillSheetDialog*>(modal);
            QVERIFY(dialog);
            seen = true;
            inspect(dialog);
        });
        QTest::keySequence(&window(), QKeySequence(QStringLiteral("Ctrl+P")));
        QVERIFY(seen);
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        render::RegisterBarCodeTypefaces();
    }
    void init()
    {
        m_fixture.init(WindowFixture::DataFolder::Created);
        m_fixture.writeSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nCount=1\r\n");
        m_fixture.start();
    }
    void cleanup() { m_fixture.cleanup(); }

    void theScreenIsSmall()
    {
        // 1366 x 768 at scale 2.
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(683, 384));
    }

    // The window fits the screen's available area, and every button is on it: the row along the bottom
    // and the page buttons at once, those among the settings once scrolled to.
    void fitsWithEveryButtonVisible()
    {
        withFillSheet([](FillSheetDialog* dialog) {
            const QRect screen = dialog->screen()->availableGeometry();
            QVERIFY2(screen.contains(dialog->frameGeometry()),
                     qPrintable(QStringLiteral("%1,%2 %3x%4")
                                    .arg(dialog->frameGeometry().x())
                                    .arg(dialog->frameGeometry().y())
                                    .arg(dialog->frameGeometry().width())
                                    .arg(dialog->frameGeometry().height())));
            auto* scroll = dialog->findChild<QScrollArea*>("settingsScroll");
            QVERIFY(scroll);
            // The settings are never cut at their right edge: they scroll up and down only.
            QVERIFY2(scroll->widget()->width() <= scroll->viewport()->width(),
                     qPrintable(QStringLiteral("settings %1 wide in a view of %2")
                                    .arg(scroll->widget()->width())
                                    .arg(scroll->viewport()->width())));
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (scroll->isAncestorOf(button))
                    scroll->ensureWidgetVisible(button);
                QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
                const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
                QVERIFY2(screen.contains(onScreen), qPrintable(button->objectName()));
                QVERIFY2(dialog->geometry().contains(onScreen), qPrintable(button->objectName()));
                if (scroll->isAncestorOf(button)) {
                    const QRect inView(button->mapTo(scroll->viewport(), QPoint(0, 0)), button->size());
                    QVERIFY2(scroll->viewport()->rect().contains(inView), qPrintable(button->objectName()));
                }
                // Nothing cuts a caption short.
                QVERIFY2(button->width() >= button->minimumSizeHint().width(), qPrintable(button->objectName()));
            }
        });
    }

    // Resized, the preview takes or gives the space; the settings keep their width.
    void thePreviewTakesTheSpace()
    {
        withFillSheet([](FillSheetDialog* dialog) {
            QWidget* preview = dialog->findChild<QWidget*>("preview");
            QWidget* settings = dialog->findChild<QWidget*>("settingsScroll");
            QApplication::processEvents(); // the layout as shown, settled
            const QSize previewBefore = preview->size();
            const int settingsBefore = settings->width();
            const QSize dialogBefore = dialog->size();
            dialog->resize(dialog->size() - QSize(60, 40));
            QApplication::processEvents();
            const QSize given = dialogBefore - dialog->size();
            QVERIFY(given.width() > 0 && given.height() > 0);
            QCOMPARE(preview->size(), previewBefore - given);
            QCOMPARE(settings->width(), settingsBefore);
        });
    }

    void keyboard()
    {
        withFillSheet([](FillSheetDialog* dialog) {
            VerifyMnemonics(dialog);
            // Tab leaves the typed list and the stock list without typing into them.
            for (const char* name : {"listEdit", "stockList"}) {
                QWidget* field = dialog->findChild<QWidget*>(name);
                field->setFocus(Qt::TabFocusReason);
                QCOMPARE(dialog->focusWidget(), field);
                QTest::keyClick(field, Qt::Key_Tab);
                QVERIFY2(dialog->focusWidget() != field, name);
            }
            QVERIFY(!dialog->findChild<QPlainTextEdit*>("listEdit")->toPlainText().contains(u'\t'));
            // A field further down comes into view when its mnemonic reaches it.
            auto* scroll = dialog->findChild<QScrollArea*>("settingsScroll");
            QWidget* size = dialog->findChild<QWidget*>("sizeSpin");
            scroll->ensureVisible(0, 0);
            QApplication::setActiveWindow(dialog);
            size->setFocus(Qt::ShortcutFocusReason);
            const QRect inView(size->mapTo(scroll->viewport(), QPoint(0, 0)), size->size());
            QVERIFY(scroll->viewport()->rect().contains(inView));
        });
        UserStockDialog editor(&window());
        VerifyMnemonics(&editor);
    }

    // A stock name longer than the list is wide is cut short, never scrolled sideways, and its tip shows
    // it whole.
    void longStockNames()
    {
        withFillSheet([](FillSheetDialog* dialog) {
            auto* list = dialog->findChild<QListWidget*>("stockList");
            QCOMPARE(list->textElideMode(), Qt::ElideRight);
            QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            QVERIFY(list->count() > 0);
            for (int i = 0; i < list->count(); ++i)
                QCOMPARE(list->item(i)->toolTip(), list->item(i)->text());
        });
    }

    // Saving the custom template and printing to a PDF file each leave a short note.
    void notesAfterSavingAndPrinting()
    {
        QTemporaryDir dir;
        m_fixture.recorder().printDialogAnswer = true;
        m_fixture.recorder().preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("sheet.pdf"));
        };
        withFillSheet([](FillSheetDialog* dialog) {
            dialog->setRows({"A-1"});
            WindowFixture::click(dialog, "saveTemplateButton");
            WindowFixture::click(dialog, "printButton");
        });
        QCOMPARE(m_fixture.recorder().notes,
                 (QStringList{"Saved " + QDir::toNativeSeparators(m_fixture.dataFolder() + "/custom.rtf"),
                              "Saved the labels as a PDF file"}));
        QVERIFY(QFile::exists(dir.filePath("sheet.pdf")));
    }

    // The label dialog's stock is the one the Fill a Sheet window offers first.
    void theLabelDialogsStockFirst()
    {
        auto* sizes = WindowFixture::child<QComboBox>(&window().labelDialog(), "labelSizeList");
        for (int i = 0; i < 8; ++i)
            sizes->addItem(QStringLiteral("stock %1").arg(i));
        sizes->setCurrentIndex(3);
        QString offered;
        WindowFixture::closeNextModal([&](QWidget*) {
            WindowFixture::closeNextModal([&](QWidget* modal) {
                if (auto* dialog = qobject_cast<FillSheetDialog*>(modal))
                    offered = dialog->stockName();
            });
            WindowFixture::click(&window().labelDialog(), "fillSheetButton");
        });
        window().labelDialog().exec();
        QTRY_VERIFY(!offered.isEmpty());
        QCOMPARE(offered, LabelDialog::StockName(3));
    }
};

int main(int argc, char** argv)
{
    // A 1366 x 768 screen at scale 2, set before the application reads them.
    QTemporaryFile screens;
    if (!screens.open())
        return 1;
    screens.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestFillSheetFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestFillSheetFit.moc"
