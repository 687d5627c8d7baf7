// The Fill a Sheet window: what it shows for the rows and options given, and what it prints.
#include "WindowFixture.h"
#include "app/FillSheetDialog.h"
#include "app/UserStockDialog.h"
#include "labels/RtfTemplate.h"
#include "labels/Stock.h"
#include "labels/Zpl.h"
#include "platform/Recorder.h"
#include "render/OutputLimits.h"
#include "support/Files.h"
#include "support/Pictures.h"
#include "support/Requirements.h"
#include "support/TemporaryHome.h"
#include "support/ZplReader.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegion>
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

// The print dialog confirms a PDF file of 300 dpi, as the PDF printer's own choice would.
void PrintToPdf(platform::Recorder& recorder, const QString& pdf)
{
    recorder.printDialogAnswer = true;
    recorder.preparePrinter = [pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(300);
    };
}

// What the ZPL writer makes of the sheet with that offset; empty with its reason when it makes nothing.
QByteArray ExpectedZpl(const labels::Sheet& sheet, const QPointF& offsetMm, QString& error)
{
    labels::DrawOptions options;
    options.offsetMm = offsetMm;
    QByteArray zpl;
    QBuffer buffer(&zpl);
    buffer.open(QIODevice::WriteOnly);
    return labels::WriteZpl(sheet, options, buffer, error) ? zpl : QByteArray();
}

void ChooseData(QComboBox* combo, const QVariant& data)
{
    const int index = combo->findData(data);
    QVERIFY2(index >= 0, qPrintable(data.toString()));
    combo->setCurrentIndex(index);
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
        QTest::newRow("tiny labels warn before printing")
            << "lb167"
            << "ABCDEFGHIJKLM" << 1 << 1 << "Page 1 of 1" << 1
            << "The bar codes of row 1 (15 characters with start and stop) will not scan";
        QTest::newRow("a bar code too long for its label at one dot a bar is listed and kept blank")
            << "lb167"
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD" << 1 << 1 << "Page 1 of 1" << 0
            << "Row 1: the bar code is too long to fit the label";
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
        // Short enough to scan on a 2.625 in label at 300 dpi (3 dots a narrow bar).
        dialog.setBarCodeData(QStringLiteral("INV-26-42"));
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

    // Print goes through the print dialog; the PDF it writes decodes label by label, its bars set on the dots
    // of the resolution chosen for a PDF file (which the preview shows too), whatever the PDF printer's own.
    void print_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::newRow("the default, 300 dpi") << 300;
        QTest::newRow("a label printer's 203 dpi") << 203;
        QTest::newRow("600 dpi") << 600;
    }
    void print()
    {
        QFETCH(int, dpi);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        platform::Recorder recorder;
        PrintToPdf(recorder, pdf);
        FillSheetDialog dialog(Library());
        QVERIFY(dialog.selectStock(StockIndex(QStringLiteral("lb161"))));
        dialog.setRows({QStringLiteral("ROW-1"), QStringLiteral("ROW-2"), QStringLiteral("ROW-3")});
        auto* dpiCombo = WindowFixture::child<QComboBox>(&dialog, "dpiCombo");
        dpiCombo->setCurrentIndex(dpiCombo->findData(dpi));
        QCOMPARE(dialog.sheet().dpi, dpi);
        QSignalSpy printed(&dialog, &FillSheetDialog::printed);
        QTest::mouseClick(WindowFixture::child<QPushButton>(&dialog, "printButton"), Qt::LeftButton);
        QCOMPARE(recorder.printDialogs, 1);
        QCOMPARE(printed.size(), 1);
        QVERIFY(recorder.warnings.isEmpty());
        // Read back first, on the dots the PDF is drawn for, and said so.
        QCOMPARE(recorder.progressTexts,
                 QStringList{QStringLiteral("Reading every label back at %1 dpi...").arg(dpi)});
        QVERIFY(recorder.questions.isEmpty());
        QVERIFY(
            WindowFixture::child<QPlainTextEdit>(&dialog, "problemsEdit")
                ->toPlainText()
                .contains(QStringLiteral("Checked before printing at %1 dpi: all 3 labels read back").arg(dpi)));

        const QImage page = support::RasterisePdf(pdf, dpi);
        QVERIFY(!page.isNull());
        QStringList decoded = support::DecodeImage(page);
        decoded.sort();
        QCOMPARE(decoded, (QStringList{"ROW-1", "ROW-2", "ROW-3"}));
    }

    // The print dialog puts a standard paper in (the printer's default, here US Letter upright), as the real
    // one does: the job still prints on the stock's own page, whole size, turned when it is wide, with every
    // label's ink inside that label. Read back by poppler, not by our own code.
    void printsStockPage_data()
    {
        QTest::addColumn<QString>("stock");           // a library stock, or "mm W H" for one of the user's
        QTest::addColumn<QList<double>>("labelGrid"); // the user's: label W H, columns, rows, left, top, pitch X Y
        QTest::addColumn<QSizeF>("pageMm");           // as the PDF shows it
        // clang-format off
        QTest::newRow("a single label of a roll: Dymo 11353, its own small page") << "Dymo 11353" << QList<double>{}
            << QSizeF();
        QTest::newRow("a user's 104 x 30 mm label: wide, so turned") << "mm 104 30"
            << QList<double>{100, 26, 1, 1, 2, 2, 0, 0} << QSizeF(104, 30);
        QTest::newRow("a large sheet, 323 x 222 mm: the fourth column on the page") << "mm 323 222"
            << QList<double>{76, 105, 4, 2, 6, 6, 79, 108} << QSizeF(323, 222);
        QTest::newRow("a US Letter sheet of ours") << "lb161" << QList<double>{} << QSizeF(215.9, 279.4);
        // clang-format on
    }
    void printsStockPage()
    {
        QFETCH(QString, stock);
        QFETCH(QList<double>, labelGrid);
        QFETCH(QSizeF, pageMm);
        FillSheetDialog dialog(Library());
        if (stock.startsWith(QLatin1String("mm "))) {
            const QStringList size = stock.split(u' ');
            const labels::UserStockInput input{
                QStringLiteral("Mine"), false,        size[1].toDouble(), size[2].toDouble(),
                labelGrid[0],           labelGrid[1], int(labelGrid[2]),  int(labelGrid[3]),
                labelGrid[4],           labelGrid[5], labelGrid[6],       labelGrid[7]};
            dialog.setUserStocks({input});
            QVERIFY(dialog.selectStockNamed(QStringLiteral("Mine")));
        } else {
            if (StockIndex(stock) < 0)
                SKIP_WITHOUT_LABEL_DATABASE();
            QVERIFY(dialog.selectStock(StockIndex(stock)));
        }
        const labels::Stock& chosen = dialog.sheet().stock;
        // The list counts the labels in words that agree with the number: "1 label", "20 labels".
        const QString item = WindowFixture::child<QListWidget>(&dialog, "stockList")->currentItem()->text();
        const QString count = chosen.labelCount() == 1 ? QStringLiteral(", 1 label, ")
                                                       : QStringLiteral(", %1 labels, ").arg(chosen.labelCount());
        QVERIFY2(item.contains(count), qPrintable(item));
        if (!pageMm.isValid())
            pageMm = chosen.page / labels::kPointsPerMm;
        const int labelCount = chosen.labelCount();
        QStringList rows;
        for (int i = 1; i <= labelCount; ++i)
            rows.append(QStringLiteral("A%1").arg(i));
        dialog.setRows(rows);

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        platform::Recorder recorder;
        recorder.printDialogAnswer = true;
        recorder.preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setResolution(300);
            printer.setPageLayout(
                QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18)));
        };
        QSignalSpy printed(&dialog, &FillSheetDialog::printed);
        QTest::mouseClick(WindowFixture::child<QPushButton>(&dialog, "printButton"), Qt::LeftButton);
        QCOMPARE(printed.size(), 1);

        const QList<QSizeF> pages = support::PdfPageSizes(pdf);
        QCOMPARE(pages.size(), 1);
        const QSizeF pagePoints = pageMm * labels::kPointsPerMm;
        QVERIFY2(qAbs(pages[0].width() - pagePoints.width()) < 1 &&
                     qAbs(pages[0].height() - pagePoints.height()) < 1,
                 qPrintable(QStringLiteral("%1 x %2 pt").arg(pages[0].width()).arg(pages[0].height())));

        // Every label holds ink, and there is none outside the labels: each at its place, none cut off.
        constexpr int kDpi = 100;
        const QImage page = support::RasterisePdf(pdf, kDpi);
        QVERIFY(!page.isNull());
        const double scale = kDpi / 72.0;
        QRegion labelArea;
        for (const QRectF& label : labels::LabelRects(chosen)) {
            const QRect pixels = QRectF(label.topLeft() * scale, label.size() * scale).toAlignedRect();
            labelArea += pixels.adjusted(-1, -1, 1, 1);
            bool inked = false;
            for (int y = pixels.top(); y <= pixels.bottom() && !inked; ++y)
                for (int x = pixels.left(); x <= pixels.right() && !inked; ++x)
                    inked = page.valid(x, y) && qGray(page.pixel(x, y)) < 128;
            QVERIFY2(inked,
                     qPrintable(QStringLiteral("no ink in the label at %1, %2 pt").arg(label.x()).arg(label.y())));
        }
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128 && !labelArea.contains(QPoint(x, y)))
                    QFAIL(qPrintable(QStringLiteral("ink outside the labels at %1, %2 px").arg(x).arg(y)));
    }

    // Re-reading a list file follows every change of its column and header row, not only the first.
    void listFileFollowsColumnAndHeader()
    {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("parts.csv"));
        QVERIFY(support::WriteFile(csv, "code,name,alt\nA-1,B-1,C-1\nA-2,B-2,C-2\n"));
        FillSheetDialog dialog(Library());
        QVERIFY(dialog.selectStock(StockIndex(QStringLiteral("lb161"))));
        auto* column = WindowFixture::child<QSpinBox>(&dialog, "columnSpin");
        auto* header = WindowFixture::child<QCheckBox>(&dialog, "headerCheck");
        auto* list = WindowFixture::child<QPlainTextEdit>(&dialog, "listEdit");
        column->setValue(1);
        header->setChecked(true);
        QVERIFY(dialog.loadListFile(csv));
        QCOMPARE(list->toPlainText(), QStringLiteral("A-1\nA-2"));
        const QList<std::pair<int, QString>> steps{
            {2, "B-1\nB-2"}, {3, "C-1\nC-2"}, {1, "A-1\nA-2"}, {2, "B-1\nB-2"}};
        for (const auto& [value, rows] : steps) {
            column->setValue(value);
            QCOMPARE(list->toPlainText(), rows);
        }
        header->setChecked(false);
        QCOMPARE(list->toPlainText(), QStringLiteral("name\nB-1\nB-2"));
        header->setChecked(true);
        QCOMPARE(list->toPlainText(), QStringLiteral("B-1\nB-2"));
        column->setValue(3);
        QCOMPARE(list->toPlainText(), QStringLiteral("C-1\nC-2"));
    }

    // Print with nothing to print says so and never reaches the print dialog; outlines alone still print.
    void nothingToPrint()
    {
        platform::Recorder recorder;
        recorder.printDialogAnswer = false;
        FillSheetDialog dialog(Library());
        QVERIFY(dialog.selectStock(StockIndex(QStringLiteral("lb161"))));
        dialog.setRows({});
        QTest::mouseClick(WindowFixture::child<QPushButton>(&dialog, "printButton"), Qt::LeftButton);
        QCOMPARE(recorder.printDialogs, 0);
        QCOMPARE(recorder.warnings.size(), 1);
        QCOMPARE(recorder.warnings[0].text,
                 QStringLiteral("There are no bar codes to print: the list has no rows."));
        QTest::mouseClick(WindowFixture::child<QPushButton>(&dialog, "printOutlinesButton"), Qt::LeftButton);
        QCOMPARE(recorder.printDialogs, 1);
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
        // Too long for lb167's labels after a short row: the row fails before anything is read back.
        const QString tiny = QStringLiteral("A\nABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD");
        // clang-format off
        QTest::newRow("all read back: printed without a question")
            << "lb161" << "ROW-1\nROW-2" << false << false << "" << true;
        QTest::newRow("a row too long: its label is blank, the others read back")
            << "lb167" << tiny << false << false << "" << true;
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
        PrintToPdf(recorder, pdf);
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

    // The labels as ZPL for a label printer: saved through the Save As dialog, or sent raw to the queue chosen.
    // Either way the bytes are the writer's for the sheet filled at the label printer's resolution (not the
    // PDF's), the offset in the boxes included, read back first at that resolution; a failure says why and
    // leaves nothing behind.
    void labelPrinterJob_data()
    {
        QTest::addColumn<QString>("action");  // "save" or "send"
        QTest::addColumn<int>("dpi");         // the label printer's
        QTest::addColumn<QString>("fault");   // "": none; "cancel" the reading; "refuse" the queue; "folder"
                                              // gone; "no file" chosen; "no queue" offered; "nudge" off the label
        QTest::addColumn<QString>("problem"); // a part of the warning; "<writer>" ends with the writer's reason
        // clang-format off
        QTest::newRow("saved at 203 dpi, the sheet refilled on those dots") << "save" << 203 << "" << "";
        QTest::newRow("saved at 300 dpi") << "save" << 300 << "" << "";
        QTest::newRow("sent to the queue chosen at 300 dpi") << "send" << 300 << "" << "";
        QTest::newRow("sent at 600 dpi") << "send" << 600 << "" << "";
        QTest::newRow("a cancelled reading saves nothing and asks nothing") << "save" << 203 << "cancel" << "";
        QTest::newRow("a cancelled reading sends nothing") << "send" << 203 << "cancel" << "";
        QTest::newRow("a queue that refuses the job: why, and no job kept") << "send" << 203 << "refuse"
            << "The labels could not be sent to the printer Thermal: the printer is switched off.";
        QTest::newRow("an offset the printer cannot draw: the writer's reason, no job") << "send" << 203 << "nudge"
            << "The labels could not be sent to the printer Thermal: <writer>";
        QTest::newRow("an offset the printer cannot draw: no file") << "save" << 300 << "nudge"
            << "The labels could not be saved to the file ";
        QTest::newRow("a folder that is gone: why, and no file") << "save" << 203 << "folder"
            << "The labels could not be saved to the file ";
        QTest::newRow("Save As cancelled: nothing read back, nothing written") << "save" << 203 << "no file" << "";
        QTest::newRow("no print queue: how to set one up") << "send" << 203 << "no queue"
            << "There is no print queue to send the labels to.";
        // clang-format on
    }
    void labelPrinterJob()
    {
        QFETCH(QString, action);
        QFETCH(int, dpi);
        QFETCH(QString, fault);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString file =
            dir.filePath(fault == u"folder" ? QStringLiteral("gone/labels.zpl") : QStringLiteral("labels.zpl"));
        platform::Recorder recorder;
        recorder.printerNames = {QStringLiteral("Office"), QStringLiteral("Thermal")};
        if (fault == u"no queue")
            recorder.printerNames.clear();
        recorder.saveFileName = fault == u"no file" ? QString() : file;
        recorder.cancelProgress = fault == u"cancel";
        if (fault == u"refuse")
            recorder.rawPrintError = QStringLiteral("the printer is switched off");
        FillSheetDialog dialog(Library());
        QVERIFY(dialog.selectStock(StockIndex(QStringLiteral("lb161"))));
        const QStringList rows{QStringLiteral("ROW-1"), QStringLiteral("ROW-2"), QStringLiteral("ROW-3")};
        dialog.setRows(rows);
        // Well past the label's foot for a nudge, a printer's usual shift otherwise.
        const QPointF offset = fault == u"nudge" ? QPointF(0, render::kMaxOffsetMm) : QPointF(1.5, -0.5);
        WindowFixture::child<QDoubleSpinBox>(&dialog, "offsetXSpin")->setValue(offset.x());
        WindowFixture::child<QDoubleSpinBox>(&dialog, "offsetYSpin")->setValue(offset.y());
        // The oracle's sheet: the rows filled as the command line fills them for a label printer of that dpi.
        // The window shows another dpi, which must not leak into the labels.
        labels::FillOptions fill;
        fill.look.pointSize = WindowFixture::child<QDoubleSpinBox>(&dialog, "sizeSpin")->value();
        fill.dpi = dpi;
        const labels::Sheet sheet = labels::FillSheet(dialog.sheet().stock, rows, labels::ForZpl(fill));
        ChooseData(WindowFixture::child<QComboBox>(&dialog, "dpiCombo"), dpi == 300 ? 600 : 300);
        QVERIFY(dialog.sheet().dpi != dpi);
        QString writerError;
        const QByteArray expected = ExpectedZpl(sheet, offset, writerError);
        QVERIFY2(expected.isEmpty() == (fault == u"nudge"), qPrintable(writerError));
        problem.replace(QLatin1String("<writer>"), writerError);
        auto* queues = WindowFixture::child<QComboBox>(&dialog, "labelPrinterCombo");
        queues->setCurrentIndex(queues->findText(QStringLiteral("Thermal")));
        ChooseData(WindowFixture::child<QComboBox>(&dialog, "labelDpiCombo"), dpi);
        QSignalSpy used(&dialog, &FillSheetDialog::labelPrinterUsed);
        QSignalSpy printed(&dialog, &FillSheetDialog::printed);
        QTest::mouseClick(
            WindowFixture::child<QPushButton>(&dialog, action == u"save" ? "saveZplButton" : "sendZplButton"),
            Qt::LeftButton);

        const bool done = fault.isEmpty();
        const bool read =
            done || fault == u"cancel" || fault == u"refuse" || fault == u"folder" || fault == u"nudge";
        QCOMPARE(recorder.progressTexts,
                 read ? QStringList{QStringLiteral("Reading every label back at %1 dpi...").arg(dpi)}
                      : QStringList());
        QVERIFY(recorder.questions.isEmpty());
        QCOMPARE(recorder.warnings.size(), problem.isEmpty() ? 0 : 1);
        if (!problem.isEmpty())
            QVERIFY2(recorder.warnings[0].text.contains(problem), qPrintable(recorder.warnings[0].text));
        // What a printer would read from the writer's bytes: the rows in order, on the label printer's dots.
        if (done) {
            const support::ZplReading reading = support::ReadZpl(expected);
            QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
            QByteArrayList data;
            for (const support::ZplLabel& label : reading.labels) {
                for (const support::ZplBarCode& barCode : label.barCodes)
                    data.append(barCode.data);
            }
            QCOMPARE(data, (QByteArrayList{"ROW-1", "ROW-2", "ROW-3"}));
        }
        QCOMPARE(recorder.saveFileCalls.size(), action == u"save" ? 1 : 0);
        if (action == u"save") {
            QCOMPARE(recorder.saveFileCalls[0].filters, QStringLiteral("ZPL labels (*.zpl);;All files (*)"));
            QVERIFY(recorder.saveFileCalls[0].startPath.endsWith(QLatin1String("lb161 labels.zpl")));
            QCOMPARE(support::ReadFile(file), done ? expected : QByteArray());
            QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     done ? QStringList{QStringLiteral("labels.zpl")} : QStringList());
            QCOMPARE(recorder.notes,
                     done ? QStringList{QStringLiteral("Saved %1").arg(QDir::toNativeSeparators(file))}
                          : QStringList());
            QCOMPARE(used.size() + printed.size(), 0);
        } else {
            QCOMPARE(recorder.rawPrintJobs.size(), done ? 1 : 0);
            if (done) {
                QCOMPARE(recorder.rawPrintJobs[0].queue, QStringLiteral("Thermal"));
                QCOMPARE(recorder.rawPrintJobs[0].jobName, QStringLiteral("lb161 labels"));
                QCOMPARE(recorder.rawPrintJobs[0].bytes, expected);
                QCOMPARE(used.value(0), (QVariantList{QStringLiteral("Thermal"), dpi}));
                QCOMPARE(printed.value(0), (QVariantList{QStringLiteral("Thermal"), offset}));
            }
            QCOMPARE(used.size(), done ? 1 : 0);
            QCOMPARE(printed.size(), done ? 1 : 0);
        }
    }

    // The label printer list offers the queue last sent to first, and each queue with its own resolution.
    void labelPrinterChoice_data()
    {
        QTest::addColumn<QStringList>("queues"); // as the print system lists them
        QTest::addColumn<QString>("lastUsed");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QList<int>>("dpis"); // shown as each listed queue is chosen
        // clang-format off
        QTest::newRow("the last one used first, each with its own resolution")
            << QStringList{"Office", "Shelf", "Thermal"} << "Thermal" << QStringList{"Thermal", "Office", "Shelf"}
            << QList<int>{300, 203, 600};
        QTest::newRow("none used yet: the print system's order, 203 dpi where none is kept")
            << QStringList{"Office", "Shelf"} << "" << QStringList{"Office", "Shelf"} << QList<int>{203, 600};
        QTest::newRow("a queue used last that is gone is not offered")
            << QStringList{"Office"} << "Gone" << QStringList{"Office"} << QList<int>{203};
        QTest::newRow("no queues: nothing chosen") << QStringList{} << "Thermal" << QStringList{} << QList<int>{};
        // clang-format on
    }
    void labelPrinterChoice()
    {
        QFETCH(QStringList, queues);
        QFETCH(QString, lastUsed);
        QFETCH(QStringList, listed);
        QFETCH(QList<int>, dpis);
        platform::Recorder recorder;
        recorder.printerNames = queues;
        FillSheetDialog dialog(Library());
        dialog.setLabelPrinters({{"Thermal", 300}, {"Shelf", 600}, {"Gone", 300}}, lastUsed);
        auto* combo = WindowFixture::child<QComboBox>(&dialog, "labelPrinterCombo");
        auto* dpiCombo = WindowFixture::child<QComboBox>(&dialog, "labelDpiCombo");
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown.append(combo->itemText(i));
        QCOMPARE(shown, listed);
        QCOMPARE(combo->currentIndex(), listed.isEmpty() ? -1 : 0);
        for (int i = 0; i < listed.size(); ++i) {
            combo->setCurrentIndex(i);
            QCOMPARE(dpiCombo->currentData().toInt(), dpis[i]);
        }
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
