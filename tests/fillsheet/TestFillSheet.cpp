// The Fill a Sheet window: what it shows for the rows and options given, and what it prints.
#include "WindowFixture.h"
#include "app/FillSheetDialog.h"
#include "app/UserStockDialog.h"
#include "labels/RtfTemplate.h"
#include "platform/Recorder.h"
#include "support/Files.h"
#include "support/Pictures.h"
#include "support/Requirements.h"
#include "support/TemporaryHome.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const labels::StockLibrary& Library()
{
    static const labels::StockLibrary library = [] {
        labels::StockLibrary l;
        l.loadDatabase();
        return l;
    }();
    return library;
}

int StockIndex(const QString& name)
{
    QString error;
    return Library().find(name, error);
}

} // namespace

class TestFillSheet : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<support::TemporaryHome>();
        QVERIFY(m_home->isValid());
    }
    void cleanup() { m_home.reset(); }

    void shows_data()
    {
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QString>("rows"); // empty: the current bar code in every label
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("filled"); // labels holding a bar code, over all pages
        QTest::addColumn<QString>("problems");
        QTest::newRow("the current bar code fills every label") << "lb060"
                                                                << "" << 1 << 1 << "Page 1 of 1" << 30 << "";
        QTest::newRow("from the start label on") << "lb060"
                                                 << "" << 11 << 1 << "Page 1 of 1" << 20 << "";
        QTest::newRow("a failing row is listed with its number and kept blank")
            << "lb060"
            << "A1\nb2\nC3" << 1 << 1 << "Page 1 of 1" << 2
            << "Row 2: Error: input character \"b\" not legal in bar code 3 of 9";
        QTest::newRow("copies of a long list run onto more pages")
            << "lb060"
            << "A1\nA2\nA3\nA4\nA5\nA6\nA7\nA8" << 1 << 4 << "Page 1 of 2" << 32 << "";
        QTest::newRow("tiny labels warn before printing") << "lb167"
                                                          << "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD" << 1 << 1
                                                          << "Page 1 of 1" << 1 << "Bar codes are reduced to";
    }
    void shows()
    {
        QFETCH(QString, stock);
        QFETCH(QString, rows);
        QFETCH(int, start);
        QFETCH(int, copies);
        QFETCH(QString, page);
        QFETCH(int, filled);
        QFETCH(QString, problems);
        FillSheetDialog dialog(Library());
        dialog.setBarCodeData(QStringLiteral("INV-2026-0042"));
        QVERIFY(dialog.selectStock(StockIndex(stock)));
        if (!rows.isEmpty())
            dialog.setRows(rows.split(u'\n'));
        WindowFixture::child<QSpinBox>(&dialog, "startSpin")->setValue(start);
        WindowFixture::child<QSpinBox>(&dialog, "copiesSpin")->setValue(copies);
        QCOMPARE(WindowFixture::child<QLabel>(&dialog, "pageLabel")->text(), page);
        QCOMPARE(dialog.sheet().barTexts.size() - dialog.sheet().barTexts.count(QString()), filled);
        const QString shown = WindowFixture::child<QPlainTextEdit>(&dialog, "problemsEdit")->toPlainText();
        QVERIFY2(problems.isEmpty() ? shown.isEmpty() : shown.contains(problems), qPrintable(shown));
        QCOMPARE(WindowFixture::child<QPushButton>(&dialog, "nextPageButton")->isEnabled(),
                 page.endsWith(QLatin1String("of 2")));
    }

    void search_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("paper"); // index in the paper list
        QTest::addColumn<QString>("first");
        QTest::newRow("a part number") << "L7163" << 0 << "Avery L7163";
        QTest::newRow("one of ours") << "lb163" << 1 << "lb163";
        QTest::newRow("nothing on that paper") << "L7163" << 1 << "";
    }
    void search()
    {
        QFETCH(QString, words);
        QFETCH(int, paper);
        QFETCH(QString, first);
        SKIP_WITHOUT_LABEL_DATABASE();
        FillSheetDialog dialog(Library());
        dialog.setBarCodeData(QStringLiteral("A1"));
        QTest::keyClicks(WindowFixture::child<QLineEdit>(&dialog, "stockSearchEdit"), words);
        WindowFixture::child<QComboBox>(&dialog, "paperCombo")->setCurrentIndex(paper);
        auto* list = WindowFixture::child<QListWidget>(&dialog, "stockList");
        QCOMPARE(list->count() > 0, !first.isEmpty());
        if (!first.isEmpty()) {
            QVERIFY2(list->item(0)->text().startsWith(first + QLatin1String(" - ")),
                     qPrintable(list->item(0)->text()));
            QCOMPARE(dialog.sheet().stock.name(), first);
        } else {
            QVERIFY(dialog.sheet().labels.isEmpty());
        }
    }

    // Print goes through the print dialog; the PDF it writes decodes label by label.
    void print()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        platform::Recorder recorder;
        recorder.printDialogAnswer = true;
        recorder.preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setResolution(300);
        };
        FillSheetDialog dialog(Library());
        QVERIFY(dialog.selectStock(StockIndex(QStringLiteral("lb161"))));
        dialog.setRows({QStringLiteral("ROW-1"), QStringLiteral("ROW-2"), QStringLiteral("ROW-3")});
        QSignalSpy printed(&dialog, &FillSheetDialog::printed);
        QTest::mouseClick(WindowFixture::child<QPushButton>(&dialog, "printButton"), Qt::LeftButton);
        QCOMPARE(recorder.printDialogs, 1);
        QCOMPARE(printed.size(), 1);
        QVERIFY(recorder.warnings.isEmpty());
        // Read back first, at the printer's resolution, and said so.
        QCOMPARE(recorder.progressTexts, QStringList{"Reading every label back at 300 dpi..."});
        QVERIFY(recorder.questions.isEmpty());
        QVERIFY(WindowFixture::child<QPlainTextEdit>(&dialog, "problemsEdit")
                    ->toPlainText()
                    .contains(QLatin1String("Checked before printing at 300 dpi: all 3 labels read back")));

        const QImage page = support::RasterisePdf(pdf, 300);
        QVERIFY(!page.isNull());
        QStringList decoded = support::DecodeImage(page);
        decoded.sort();
        QCOMPARE(decoded, (QStringList{"ROW-1", "ROW-2", "ROW-3"}));
    }

    // Labels that do not read back are named before any paper is used, and print only when the user says so;
    // a cancelled reading prints nothing.
    void readBackBeforePrinting_data()
    {
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("printAnyway"); // the answer to the question, when asked
        QTest::addColumn<QString>("question"); // a part of it; empty: none asked
        QTest::addColumn<bool>("printed");
        // Too long for lb167's labels to scan at 300 dpi, after a short row.
        const QString tiny = QStringLiteral("A\nABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD");
        // clang-format off
        QTest::newRow("all read back: printed without a question")
            << "lb161" << "ROW-1\nROW-2" << false << false << "" << true;
        QTest::newRow("one does not: asked, and No keeps the paper")
            << "lb167" << tiny << false << false
            << "At 300 dpi 1 of 2 labels does not read back:\nlabel 2 (row 2): does not read back\n\nPrint them anyway?"
            << false;
        QTest::newRow("one does not: Yes prints them anyway")
            << "lb167" << tiny << false << true << "label 2 (row 2): does not read back" << true;
        QTest::newRow("cancelled: nothing asked, nothing printed")
            << "lb161" << "ROW-1" << true << true << "" << false;
        // clang-format on
    }
    void readBackBeforePrinting()
    {
        QFETCH(QString, stock);
        QFETCH(QString, rows);
        QFETCH(bool, cancel);
        QFETCH(bool, printAnyway);
        QFETCH(QString, question);
        QFETCH(bool, printed);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        platform::Recorder recorder;
        recorder.printDialogAnswer = true;
        recorder.preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setResolution(300);
        };
        recorder.cancelProgress = cancel;
        recorder.questionAnswer = printAnyway;
        FillSheetDialog dialog(Library());
        QVERIFY(dialog.selectStock(StockIndex(stock)));
        dialog.setRows(rows.split(u'\n'));
        QSignalSpy printedSignal(&dialog, &FillSheetDialog::printed);
        QTest::mouseClick(WindowFixture::child<QPushButton>(&dialog, "printButton"), Qt::LeftButton);
        QCOMPARE(recorder.progressTexts.size(), 1);
        QCOMPARE(recorder.questions.size(), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty()) {
            QVERIFY2(recorder.questions.front().contains(question), qPrintable(recorder.questions.front()));
            // The problems box keeps the list after the question has gone.
            QVERIFY(WindowFixture::child<QPlainTextEdit>(&dialog, "problemsEdit")
                        ->toPlainText()
                        .contains(QLatin1String("label 2 (row 2): does not read back")));
        }
        QCOMPARE(printedSignal.size(), printed ? 1 : 0);
        QCOMPARE(QFileInfo::exists(pdf), printed);
    }

    void cancelledPrintWritesNothing()
    {
        platform::Recorder recorder;
        recorder.printDialogAnswer = false;
        FillSheetDialog dialog(Library());
        dialog.setBarCodeData(QStringLiteral("A1"));
        QSignalSpy printed(&dialog, &FillSheetDialog::printed);
        QTest::mouseClick(WindowFixture::child<QPushButton>(&dialog, "printOutlinesButton"), Qt::LeftButton);
        QCOMPARE(recorder.printDialogs, 1);
        QCOMPARE(printed.size(), 0);
    }

    // custom.rtf from the chosen stock: written when new, replaced only on Yes, refused for a stock a
    // table cannot hold.
    void saveCustomTemplate_data()
    {
        QTest::addColumn<QString>("stock");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("written");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("warnings");
        QTest::newRow("a new file needs no question") << "lb163" << false << false << true << 0 << 0;
        QTest::newRow("an existing file is replaced on Yes") << "lb163" << true << true << true << 1 << 0;
        QTest::newRow("an existing file is kept on No") << "lb163" << true << false << false << 1 << 0;
        QTest::newRow("round labels are refused with a reason")
            << "Avery 3274.2" << false << true << false << 0 << 1;
    }
    void saveCustomTemplate()
    {
        QFETCH(QString, stock);
        QFETCH(bool, exists);
        QFETCH(bool, answer);
        QFETCH(bool, written);
        QFETCH(int, questions);
        QFETCH(int, warnings);
        if (StockIndex(stock) < 0)
            SKIP_WITHOUT_LABEL_DATABASE();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("custom.rtf"));
        const QByteArray old = "{\\rtf1 mine}";
        if (exists)
            QVERIFY(support::WriteFile(path, old));
        platform::Recorder recorder;
        recorder.questionAnswer = answer;
        FillSheetDialog dialog(Library());
        dialog.setDataFolder(folder.path());
        QVERIFY(dialog.selectStock(StockIndex(stock)));
        QTest::mouseClick(WindowFixture::child<QPushButton>(&dialog, "saveTemplateButton"), Qt::LeftButton);
        QCOMPARE(recorder.questions.size(), questions);
        QCOMPARE(recorder.warnings.size(), warnings);
        const QByteArray bytes = support::ReadFile(path);
        // Our template for the stock, byte for byte: the same code wrote the installed lb163.rtf.
        if (written)
            QCOMPARE(bytes, labels::LabelTemplateRtf(dialog.sheet().stock, QStringLiteral("custom")));
        else
            QCOMPARE(bytes, exists ? old : QByteArray());
    }

    // A PDF from the print dialog: a new file in the documents folder, or in the folder named, under the
    // stock's name, never over a file that exists; a file named in the dialog is written as named.
    void pdfFileName_data()
    {
        QTest::addColumn<QString>("chosen");       // the dialog's file name: "<docs>" the documents folder
        QTest::addColumn<QStringList>("existing"); // "<nodocs>": no documents folder
        QTest::addColumn<QString>("written");
        // clang-format off
        QTest::newRow("no name: the documents folder, after the stock") << "" << QStringList{}
            << "<docs>/lb161 labels.pdf";
        QTest::newRow("a file of that name is kept: the next free name") << ""
            << QStringList{"<docs>/lb161 labels.pdf", "<docs>/lb161 labels (2).pdf"}
            << "<docs>/lb161 labels (3).pdf";
        QTest::newRow("a folder for a name: a new file in it") << "<home>" << QStringList{}
            << "<home>/lb161 labels.pdf";
        QTest::newRow("a file named in the dialog is written as named") << "<home>/mine.pdf" << QStringList{}
            << "<home>/mine.pdf";
        QTest::newRow("the name offered in a documents folder not made yet") << "<docs>/lb161 labels.pdf"
            << QStringList{"<nodocs>"} << "<docs>/lb161 labels.pdf";
        // clang-format on
    }
    void pdfFileName()
    {
        QFETCH(QString, chosen);
        QFETCH(QStringList, existing);
        QFETCH(QString, written);
        // The test case's own HOME: a documents folder of the row's own.
        const QString docs = m_home->filePath(QStringLiteral("Documents"));
        const auto path = [&](QString text) {
            return text.replace(QLatin1String("<docs>"), docs).replace(QLatin1String("<home>"), m_home->path());
        };
        if (existing.removeAll(QStringLiteral("<nodocs>")) == 0)
            QVERIFY(QDir().mkpath(docs));
        for (const QString& name : existing)
            QVERIFY(support::WriteFile(path(name), "old"));
        platform::Recorder recorder;
        recorder.printDialogAnswer = true;
        QString offered;
        recorder.preparePrinter = [&](QPrinter& printer) {
            offered = printer.outputFileName();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path(chosen));
        };
        FillSheetDialog dialog(Library());
        QVERIFY(dialog.selectStock(StockIndex(QStringLiteral("lb161"))));
        dialog.setRows({QStringLiteral("A1")});
        dialog.print();
        // With no printer installed the dialog itself starts on a new file in the documents folder.
        if (existing.isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty())
            QCOMPARE(offered, path(QStringLiteral("<docs>/lb161 labels.pdf")));
        QVERIFY(support::ReadFile(path(written)).startsWith("%PDF"));
        for (const QString& name : existing)
            QCOMPARE(support::ReadFile(path(name)), QByteArray("old"));
    }

    // The offset a print uses: the one remembered for the printer chosen, unless typed since.
    void offsetForPrinter_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QPointF>("used");
        QTest::newRow("a printer's own offset") << "Home" << false << QPointF(0, 2);
        QTest::newRow("another printer's own offset") << "Office" << false << QPointF(1.5, -0.5);
        QTest::newRow("a printer without one keeps the boxes") << "New" << false << QPointF(0, 0);
        QTest::newRow("typed in the boxes wins") << "Office" << true << QPointF(-1, 1);
    }
    void offsetForPrinter()
    {
        QFETCH(QString, printer);
        QFETCH(bool, typed);
        QFETCH(QPointF, used);
        FillSheetDialog dialog(Library());
        dialog.setPrinterOffsets(
            {{QStringLiteral("Home"), QPointF(0, 2)}, {QStringLiteral("Office"), QPointF(1.5, -0.5)}});
        if (typed) {
            WindowFixture::child<QDoubleSpinBox>(&dialog, "offsetXSpin")->setValue(-1);
            WindowFixture::child<QDoubleSpinBox>(&dialog, "offsetYSpin")->setValue(1);
        }
        QCOMPARE(dialog.offsetForPrinter(printer), used);
        QCOMPARE(dialog.printerOffset(), used);
    }

    // The stock editor keeps itself open with the reason until the values make a stock.
    void stockEditor_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("labelWidth");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("problem");
        QTest::newRow("a stock that fits the page") << "Mine" << 40.0 << true << "";
        QTest::newRow("no name") << " " << 40.0 << false << "the stock has no name";
        QTest::newRow("a name another stock has, in any case")
            << "TAKEN" << 40.0 << false << "Another stock is already called \"TAKEN\".";
        QTest::newRow("labels that overlap") << "Mine" << 60.0 << false << "This stock cannot be printed on:";
    }
    void stockEditor()
    {
        QFETCH(QString, name);
        QFETCH(double, labelWidth);
        QFETCH(bool, accepted);
        QFETCH(QString, problem);
        UserStockDialog editor;
        labels::UserStockInput input{name, false, 100, 50, labelWidth, 20, 2, 2, 5, 5, 50, 25};
        editor.setInput(input, {QStringLiteral("taken")});
        editor.show();
        QTest::mouseClick(WindowFixture::child<QPushButton>(&editor, "okButton"), Qt::LeftButton);
        QCOMPARE(editor.result() == QDialog::Accepted, accepted);
        QCOMPARE(editor.isVisible(), !accepted);
        const QString shown = WindowFixture::child<QLabel>(&editor, "problemLabel")->text();
        QVERIFY2(problem.isEmpty() ? shown.isEmpty() : shown.contains(problem), qPrintable(shown));
        if (accepted)
            QCOMPARE(labels::UserStockValue(editor.input()), QStringLiteral("mm 100 50 40 20 2 2 5 5 50 25"));
    }

private:
    std::unique_ptr<support::TemporaryHome> m_home;
};

QTEST_MAIN(TestFillSheet)
#include "TestFillSheet.moc"
