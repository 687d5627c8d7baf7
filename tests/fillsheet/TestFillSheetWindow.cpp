// The Fill a Sheet window as the main window opens it: from Ctrl+P and from the label dialog, before
// and after Make; what it keeps in the settings file (the user's stocks, the printer offsets, the last
// stock); and a printed sheet decoded label by label.
#include "WindowFixture.h"
#include "app/FillSheetDialog.h"
#include "app/LabelDialog.h"
#include "app/Settings.h"
#include "app/UserStockDialog.h"
#include "labels/Stock.h"
#include "support/Modal.h"
#include "support/Pictures.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

namespace {

// A settings file whose first run is over: opening and closing windows writes nothing to it by itself.
const QByteArray kSettled = "[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nCount=1\r\n";
// One stock of the user's as the file keeps it: 100 x 50 mm, two by two labels of 40 x 20 mm.
const QByteArray kStockValue = "mm 100 50 40 20 2 2 5 5 50 25";

// Types the stock into the editor and presses OK.
void TypeStock(UserStockDialog* editor, const QString& name, const QList<double>& values)
{
    WindowFixture::child<QLineEdit>(editor, "nameEdit")->setText(name);
    WindowFixture::child<QComboBox>(editor, "unitCombo")->setCurrentIndex(0);
    const char* lengths[] = {"pageWidthSpin", "pageHeightSpin", "labelWidthSpin", "labelHeightSpin"};
    for (int i = 0; i < 4; ++i)
        WindowFixture::child<QDoubleSpinBox>(editor, lengths[i])->setValue(values[i]);
    WindowFixture::child<QSpinBox>(editor, "columnsSpin")->setValue(int(values[4]));
    WindowFixture::child<QSpinBox>(editor, "rowsSpin")->setValue(int(values[5]));
    const char* corner[] = {"leftSpin", "topSpin", "pitchXSpin", "pitchYSpin"};
    for (int i = 0; i < 4; ++i)
        WindowFixture::child<QDoubleSpinBox>(editor, corner[i])->setValue(values[6 + i]);
    WindowFixture::click(editor, "okButton");
}

QStringList UserStockNames(const FillSheetDialog& dialog)
{
    QStringList names;
    for (const labels::UserStockInput& stock : dialog.userStocks())
        names.append(stock.name);
    return names;
}

} // namespace

class TestFillSheetWindow : public QObject, private WindowFixture {
    Q_OBJECT
private slots:
    void init() { WindowFixture::init(DataFolder::Created); }
    void cleanup() { WindowFixture::cleanup(); }

    // Both ways in, before and after Make: the window gets the bar code as Make made it (a later edit of
    // the data is not a bar code yet), or offers the list only.
    void reachable_data()
    {
        QTest::addColumn<bool>("fromLabelDialog");
        QTest::addColumn<QString>("made"); // typed and made; empty: no Make
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<QString>("firstLabel"); // the bar code in label 1; empty: a list is offered
        // clang-format off
        QTest::newRow("Ctrl+P before any Make offers a list") << false << "" << false << "";
        QTest::newRow("Ctrl+P after Make fills every label with the bar code") << false << "INV-2026-0042" << false
            << "*INV-2026-0042*";
        QTest::newRow("the check character of Make comes along") << false << "ABCD4567" << true << "*ABCD4567P*";
        QTest::newRow("a failed Make leaves no bar code to fill with") << false << "abc" << false << "";
        QTest::newRow("the label dialog's button after Make") << true << "INV-2026-0042" << false
            << "*INV-2026-0042*";
        // clang-format on
    }
    void reachable()
    {
        QFETCH(bool, fromLabelDialog);
        QFETCH(QString, made);
        QFETCH(bool, checksum);
        QFETCH(QString, firstLabel);
        writeSettings(kSettled);
        start();
        control<QCheckBox>("checksumBox")->setChecked(checksum);
        if (!made.isEmpty()) {
            control<QLineEdit>("dataEdit")->setText(made);
            click(&window(), "makeButton");
            // Typed after Make, not made: the window must not take it.
            control<QLineEdit>("dataEdit")->setText(QStringLiteral("LATER"));
        }
        bool seen = false;
        support::OnNextModal<FillSheetDialog>([&](FillSheetDialog* dialog) {
            seen = true;
            QVERIFY(dialog->selectStockNamed(QStringLiteral("lb163")));
            const bool current = !firstLabel.isEmpty();
            QCOMPARE(child<QRadioButton>(dialog, "currentRadio")->isEnabled(), current);
            QCOMPARE(child<QRadioButton>(dialog, "listRadio")->isChecked(), !current);
            if (current) {
                QCOMPARE(dialog->sheet().barTexts.value(0), firstLabel);
                QCOMPARE(dialog->sheet().barTexts.count(firstLabel), dialog->sheet().stock.labelCount());
            }
            dialog->reject();
        });
        if (fromLabelDialog) {
            execWhile(&window().labelDialog(),
                      [this] { return click(&window().labelDialog(), "fillSheetButton"), true; });
            QVERIFY(!window().labelDialog().isVisible());
        } else {
            QTest::keyClick(&window(), Qt::Key_P, Qt::ControlModifier);
        }
        QTRY_VERIFY(seen);
        QVERIFY(recorder().errors.isEmpty());
        // Nothing chosen that the file did not have: the window left the settings alone.
        QVERIFY(settingsBytes().startsWith(kSettled));
    }

    // An opening fills the sheet once, however much it sets: the bar code and its options, the user's stocks
    // and the offsets from the file. Every fill rewrites the problems box, so its changes count the fills.
    void openingFillsOnce_data()
    {
        QTest::addColumn<QByteArray>("sections"); // after the settled file's
        QTest::addColumn<QString>("made");        // made between the first opening and the next; empty: none
        // clang-format off
        QTest::newRow("no Make: a list") << QByteArray() << "";
        QTest::newRow("a Make since: the bar code in every label") << QByteArray() << "INV-2026-0042";
        QTest::newRow("the user's stocks and offsets read from the file")
            << QByteArray("[UserStocks]\r\nMine=" + kStockValue + "\r\n[PrinterOffsets]\r\nHome=0 2\r\n")
            << "INV-2026-0042";
        // clang-format on
    }
    void openingFillsOnce()
    {
        QFETCH(QByteArray, sections);
        QFETCH(QString, made);
        writeSettings(kSettled + sections);
        start();
        support::OnNextModal<FillSheetDialog>([](FillSheetDialog* dialog) { dialog->reject(); });
        window().fillSheet();
        QVERIFY(window().fillSheetDialog());
        if (!made.isEmpty()) {
            control<QLineEdit>("dataEdit")->setText(made);
            click(&window(), "makeButton");
        }
        QSignalSpy fills(child<QPlainTextEdit>(window().fillSheetDialog(), "problemsEdit"),
                         &QPlainTextEdit::textChanged);
        qsizetype fillsWhenShown = -1;
        support::OnNextModal<FillSheetDialog>([&](FillSheetDialog* dialog) {
            fillsWhenShown = fills.count();
            QCOMPARE(dialog->sheet().barTexts.value(0), made.isEmpty() ? QString() : "*" + made + "*");
            dialog->reject();
        });
        window().fillSheet();
        QCOMPARE(fillsWhenShown, 1);
        QVERIFY(recorder().errors.isEmpty());
    }

    // The user's stocks in their own section: added, edited, removed in the window, read back at the
    // next opening; a value that makes no stock is left out with a note.
    void userStocks_data()
    {
        QTest::addColumn<QByteArray>("stocks"); // the [UserStocks] lines before
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("after"); // the [UserStocks] lines after
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("note");
        // clang-format off
        QTest::newRow("a new stock gets a section of its own") << QByteArray() << "add Mine" << false
            << QByteArray("Mine=" + kStockValue + "\r\n") << QStringList{"Mine"} << "";
        QTest::newRow("a name the file's grammar would misread is escaped") << QByteArray() << "add ;A=B Größe"
            << false << QByteArray("%3BA%3DB Gr%C3%B6%C3%9Fe=" + kStockValue + "\r\n") << QStringList{";A=B Größe"}
            << "";
        QTest::newRow("an edit in place keeps the key") << QByteArray("Old=mm 1 1 1 1 1 1 0 0 1 1\r\n")
            << "edit Old" << false << QByteArray("Old=" + kStockValue + "\r\n") << QStringList{"Old"} << "";
        QTest::newRow("an edit under a new name empties the old key")
            << QByteArray("Old=mm 1 1 1 1 1 1 0 0 1 1\r\n") << "edit New" << false
            << QByteArray("Old=\r\nNew=" + kStockValue + "\r\n") << QStringList{"New"} << "";
        QTest::newRow("remove on Yes empties the key") << QByteArray("Old=" + kStockValue + "\r\n") << "remove"
            << true << QByteArray("Old=\r\n") << QStringList{} << "";
        QTest::newRow("a key escaped otherwise is edited in place") << QByteArray("Ol%64=mm 1 1 1 1 1 1 0 0 1 1\r\n")
            << "edit Old" << false << QByteArray("Ol%64=" + kStockValue + "\r\n") << QStringList{"Old"} << "";
        QTest::newRow("a key escaped otherwise is removed, with its twin") << QByteArray("Ol%64=" + kStockValue + "\r\nOLD=" + kStockValue + "\r\n")
            << "remove" << true << QByteArray("Ol%64=\r\nOLD=\r\n") << QStringList{} << "";
        QTest::newRow("a name holding a NUL is no stock") << QByteArray("A%00=" + kStockValue + "\r\n") << ""
            << false << QByteArray("A%00=" + kStockValue + "\r\n") << QStringList{} << "";
        QTest::newRow("remove on No keeps it") << QByteArray("Old=" + kStockValue + "\r\n") << "remove" << false
            << QByteArray("Old=" + kStockValue + "\r\n") << QStringList{"Old"} << "";
        QTest::newRow("an empty value is a removed stock") << QByteArray("Gone=\r\nGood=" + kStockValue + "\r\n")
            << "" << false << QByteArray("Gone=\r\nGood=" + kStockValue + "\r\n") << QStringList{"Good"} << "";
        QTest::newRow("a bad value is left out with a note")
            << QByteArray("Bad=mm 1 2\r\nGood=" + kStockValue + "\r\n") << "" << false
            << QByteArray("Bad=mm 1 2\r\nGood=" + kStockValue + "\r\n") << QStringList{"Good"}
            << "Your stock \"Bad\" in the settings file was left out";
        QTest::newRow("labels off the page are left out with a note")
            << QByteArray("Wide=mm 10 10 40 20 1 1 0 0 40 20\r\n") << "" << false
            << QByteArray("Wide=mm 10 10 40 20 1 1 0 0 40 20\r\n") << QStringList{} << "\"Wide\"";
        // clang-format on
    }
    void userStocks()
    {
        QFETCH(QByteArray, stocks);
        QFETCH(QString, action);
        QFETCH(bool, yes);
        QFETCH(QByteArray, after);
        QFETCH(QStringList, listed);
        QFETCH(QString, note);
        const QByteArray section = stocks.isEmpty() ? QByteArray() : "[UserStocks]\r\n" + stocks;
        writeSettings(kSettled + section);
        start();
        recorder().questionAnswer = yes;
        const QString verb = action.section(u' ', 0, 0);
        const QString name = action.section(u' ', 1);
        const QList<double> values = {100, 50, 40, 20, 2, 2, 5, 5, 50, 25};
        support::OnNextModal<FillSheetDialog>([&](FillSheetDialog* dialog) {
            if (verb == u"add") {
                support::OnNextModal<UserStockDialog>(
                    [&](UserStockDialog* editor) { TypeStock(editor, name, values); });
                QVERIFY(dialog->addUserStock());
            } else if (verb == u"edit") {
                QVERIFY(dialog->selectStockNamed(QStringLiteral("Old")));
                support::OnNextModal<UserStockDialog>(
                    [&](UserStockDialog* editor) { TypeStock(editor, name, values); });
                QVERIFY(dialog->editUserStock());
            } else if (verb == u"remove") {
                QVERIFY(dialog->selectStockNamed(QStringLiteral("Old")));
                QCOMPARE(dialog->removeUserStock(), yes);
            }
            dialog->reject();
        });
        window().fillSheet();
        const QByteArray afterSection = after.isEmpty() ? QByteArray() : "[UserStocks]\r\n" + after;
        QVERIFY(settingsBytes().startsWith(kSettled + afterSection));
        QCOMPARE(recorder().warnings.size(), note.isEmpty() ? 0 : 1);
        if (!note.isEmpty())
            QVERIFY2(recorder().warnings[0].text.contains(note), qPrintable(recorder().warnings[0].text));

        // The next opening reads them from the file; the note is not repeated.
        QStringList shown;
        support::OnNextModal<FillSheetDialog>([&](FillSheetDialog* dialog) {
            shown = UserStockNames(*dialog);
            dialog->reject();
        });
        window().fillSheet();
        QCOMPARE(shown, listed);
        QCOMPARE(recorder().warnings.size(), note.isEmpty() ? 0 : 1);
        QVERIFY(recorder().errors.isEmpty());
    }

    // Offsets are kept per printer name; a PDF (no printer name) keeps none; the last stock is chosen
    // again at the next run.
    void printerOffsetsAndLastStock()
    {
        // A PDF resolution the window does not offer reads as the default.
        for (const auto& [stored, read] :
             {std::pair{"203", 203}, {"250", 300}, {"x", 300}, {"99999999999", 300}}) {
            writeSettings(kSettled + "[FillSheet]\r\nPdfDpi=" + stored + "\r\n");
            QCOMPARE(kelm::SettingsFile(settingsFile()).pdfDpi(), read);
        }
        // A key with no printer name is no printer's: a PDF never takes its offset.
        writeSettings(kSettled + "[PrinterOffsets]\r\nBroken=left\r\n=3 3\r\nHome=0 2\r\n");
        const auto offsets = kelm::SettingsFile(settingsFile()).printerOffsets();
        QCOMPARE(offsets.size(), 1);
        QCOMPARE(offsets[0].first, QStringLiteral("Home"));
        start();
        support::OnNextModal<FillSheetDialog>([&](FillSheetDialog* dialog) {
            QVERIFY(dialog->selectStockNamed(QStringLiteral("lb163")));
            QCOMPARE(dialog->offsetForPrinter(QStringLiteral("Home")), QPointF(0, 2));
            QCOMPARE(dialog->pdfDpi(), 300);
            dialog->setPdfDpi(600);
            emit dialog->printed(QStringLiteral("Office"), QPointF(1.5, -0.5));
            emit dialog->printed(QStringLiteral("Home"), QPointF(0.25, 2));
            emit dialog->printed(QString(), QPointF(3, 3));
            dialog->reject();
        });
        window().fillSheet();
        QCOMPARE(settingsBytes(),
                 kSettled + "[PrinterOffsets]\r\nBroken=left\r\n=3 3\r\nHome=0.25 2\r\nOffice=1.5 -0.5\r\n"
                            "[FillSheet]\r\nStock=lb163\r\nPdfDpi=600\r\n");

        // A new run: the window made afresh reads them back; a resolution it does not offer is not taken.
        cleanup();
        init();
        writeSettings(kSettled +
                      "[PrinterOffsets]\r\nOffice=1.5 -0.5\r\n[FillSheet]\r\nStock=lb163\r\nPdfDpi=600\r\n");
        start();
        support::OnNextModal<FillSheetDialog>([&](FillSheetDialog* dialog) {
            QCOMPARE(dialog->stockName(), QStringLiteral("lb163"));
            QCOMPARE(dialog->pdfDpi(), 600);
            QCOMPARE(dialog->offsetForPrinter(QStringLiteral("Office")), QPointF(1.5, -0.5));
            dialog->reject();
        });
        window().fillSheet();
        QVERIFY(recorder().errors.isEmpty() && recorder().warnings.isEmpty());
    }

    // Each label printer keeps its resolution, with its offset, and the one last sent to is offered first:
    // sent from the window, written to the settings file, read back by the window of the next run.
    void labelPrinters_data()
    {
        QTest::addColumn<QByteArray>("before"); // sections after the settled file's
        QTest::addColumn<QString>("sent");      // "queue dpi" chosen and sent to; empty: nothing sent
        QTest::addColumn<QByteArray>("after");  // the same, after the window is closed
        QTest::addColumn<QString>("offered");   // "queue dpi" first in the next run's list
        // clang-format off
        QTest::newRow("a new printer: its resolution kept, offered first next time") << QByteArray() << "Shelf 600"
            << QByteArray("[PrinterOffsets]\r\nShelf=0 0\r\n[LabelPrinters]\r\nShelf=600\r\n"
                          "[FillSheet]\r\nLabelPrinter=Shelf\r\nStock=lb161\r\n") << "Shelf 600";
        QTest::newRow("a printer sent to at another resolution: changed in place, now the last")
            << QByteArray("[LabelPrinters]\r\nThermal=300\r\nShelf=600\r\n[FillSheet]\r\nLabelPrinter=Shelf\r\n")
            << "Thermal 203"
            << QByteArray("[LabelPrinters]\r\nThermal=203\r\nShelf=600\r\n[FillSheet]\r\nLabelPrinter=Thermal\r\n"
                          "Stock=lb161\r\n[PrinterOffsets]\r\nThermal=0 0\r\n") << "Thermal 203";
        QTest::newRow("a resolution no label printer has is not used")
            << QByteArray("[LabelPrinters]\r\nThermal=250\r\n[FillSheet]\r\nLabelPrinter=Thermal\r\n") << ""
            << QByteArray("[LabelPrinters]\r\nThermal=250\r\n[FillSheet]\r\nLabelPrinter=Thermal\r\nStock=lb161\r\n")
            << "Thermal 203";
        // clang-format on
    }
    void labelPrinters()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, sent);
        QFETCH(QByteArray, after);
        QFETCH(QString, offered);
        const QStringList queues{QStringLiteral("Office"), QStringLiteral("Shelf"), QStringLiteral("Thermal")};
        writeSettings(kSettled + before);
        start();
        recorder().printerNames = queues;
        support::OnNextModal<FillSheetDialog>([&](FillSheetDialog* dialog) {
            QVERIFY(dialog->selectStockNamed(QStringLiteral("lb161")));
            if (!sent.isEmpty()) {
                dialog->setRows({QStringLiteral("A-1")});
                auto* queue = child<QComboBox>(dialog, "labelPrinterCombo");
                queue->setCurrentIndex(queue->findText(sent.section(u' ', 0, 0)));
                auto* dpi = child<QComboBox>(dialog, "labelDpiCombo");
                dpi->setCurrentIndex(dpi->findData(sent.section(u' ', 1).toInt()));
                click(dialog, "sendZplButton");
            }
            dialog->reject();
        });
        window().fillSheet();
        QCOMPARE(recorder().rawPrintJobs.size(), sent.isEmpty() ? 0 : 1);
        QCOMPARE(settingsBytes(), kSettled + after);

        // A new run on the file as it was left: the window made afresh offers the printer last used, at its
        // resolution.
        const QByteArray kept = settingsBytes();
        cleanup();
        init();
        writeSettings(kept);
        start();
        recorder().printerNames = queues;
        QString shown;
        support::OnNextModal<FillSheetDialog>([&](FillSheetDialog* dialog) {
            shown = child<QComboBox>(dialog, "labelPrinterCombo")->currentText() + u' ' +
                    child<QComboBox>(dialog, "labelDpiCombo")->currentData().toString();
            dialog->reject();
        });
        window().fillSheet();
        QCOMPARE(shown, offered);
        QVERIFY(recorder().errors.isEmpty() && recorder().warnings.isEmpty());
    }

    // A sheet printed to PDF through the print dialog, rasterised and decoded label by label, in order:
    // each label's rectangle holds its row's bar code, or nothing.
    void printedSheetDecodes_data()
    {
        QTest::addColumn<QString>("rows"); // empty: the made bar code in every label
        QTest::addColumn<int>("startLabel");
        QTest::addColumn<QStringList>("labels");
        // clang-format off
        QTest::newRow("the made bar code from label 7 on") << "" << 7
            << QStringList{"", "", "", "", "", "", "INV-2026-0042", "INV-2026-0042", "INV-2026-0042",
                           "INV-2026-0042"};
        QTest::newRow("a list from label 3, its failing row left blank") << "A-1\nb-2\nC-3\nD-4" << 3
            << QStringList{"", "", "A-1", "", "C-3", "D-4", "", "", "", ""};
        // clang-format on
    }
    void printedSheetDecodes()
    {
        QFETCH(QString, rows);
        QFETCH(int, startLabel);
        QFETCH(QStringList, labels);
        writeSettings(kSettled);
        start();
        control<QLineEdit>("dataEdit")->setText(QStringLiteral("INV-2026-0042"));
        click(&window(), "makeButton");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        recorder().printDialogAnswer = true;
        recorder().preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setResolution(300);
        };
        labels::Stock stock;
        support::OnNextModal<FillSheetDialog>([&](FillSheetDialog* dialog) {
            QVERIFY(dialog->selectStockNamed(QStringLiteral("lb163")));
            if (!rows.isEmpty())
                dialog->setRows(rows.split(u'\n'));
            child<QSpinBox>(dialog, "startSpin")->setValue(startLabel);
            stock = dialog->sheet().stock;
            click(dialog, "printButton");
            dialog->reject();
        });
        window().fillSheet();
        QCOMPARE(recorder().printDialogs, 1);

        const int dpi = 300;
        const QImage page = support::RasterisePdf(pdf, dpi);
        QVERIFY(!page.isNull());
        const QList<QRectF> rects = labels::LabelRects(stock);
        QCOMPARE(rects.size(), labels.size());
        for (int i = 0; i < rects.size(); ++i) {
            const QRectF& r = rects[i];
            const QRect pixels(qRound(r.x() * dpi / 72), qRound(r.y() * dpi / 72), qRound(r.width() * dpi / 72),
                               qRound(r.height() * dpi / 72));
            QCOMPARE(support::DecodeImage(page, pixels).join(u'\n'), labels[i]);
        }
    }
};

QTEST_MAIN(TestFillSheetWindow)
#include "TestFillSheetWindow.moc"
