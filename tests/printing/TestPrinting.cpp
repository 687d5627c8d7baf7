#include "MainWindowDriver.h"
#include "app/MainWindow.h"
#include "app/PrintTarget.h"
#include "app/SampleSheet.h"
#include "app/Vendor.h"
#include "platform/Errors.h"
#include "platform/Recorder.h"
#include "support/Files.h"
#include "support/Programs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QXmlStreamReader>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// A word of the PDF's text layer with its box in PDF points from the page's top-left corner.
struct Word {
    QString text;
    double xMin, yMin, xMax, yMax;
};

QList<Word> ReadWords(const QString& pdf, int* pages)
{
    const support::ProgramRun run =
        support::RunProgram(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (run.status != 0)
        return {};
    QList<Word> words;
    *pages = 0;
    QXmlStreamReader xml(run.out);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page"))
            ++*pages;
        if (xml.name() != QLatin1String("word"))
            continue;
        const auto a = xml.attributes();
        Word w{{},
               a.value("xMin").toDouble(),
               a.value("yMin").toDouble(),
               a.value("xMax").toDouble(),
               a.value("yMax").toDouble()};
        w.text = xml.readElementText();
        words.append(w);
    }
    return words;
}

// pdffonts' table of the fonts a PDF uses.
QString ReadFonts(const QString& pdf)
{
    return QString::fromUtf8(support::RunProgram(QStringLiteral("pdffonts"), {pdf}).out);
}

// The page's text lines from the top, words joined by one space.
QStringList ReadLines(const QList<Word>& words)
{
    QMap<int, QStringList> byTop;
    for (const Word& w : words)
        byTop[qRound(w.yMin * 4)].append(w.text);
    QStringList lines;
    for (const QStringList& line : std::as_const(byTop))
        lines.append(line.join(u' '));
    return lines;
}

} // namespace

class TestPrinting : public QObject, private MainWindowDriver {
    Q_OBJECT
private slots:
    void initTestCase() { WindowFixture::initTestCase(); }

    // A fresh HOME per test case: the documents folder is the fallback target of the PDF output.
    void init()
    {
        WindowFixture::init(DataFolder::Missing);
        m_home.setPath(home());
        m_printTarget = {}; // a new run remembers no earlier job
    }

    void cleanup() { WindowFixture::cleanup(); }

    void measures_data()
    {
        QTest::addColumn<int>("dpiX");
        QTest::addColumn<int>("dpiY");
        QTest::addColumn<int>("H");
        QTest::addColumn<int>("U");
        QTest::addColumn<int>("L");
        // clang-format off
        QTest::newRow("600 dpi: a height that is a multiple of 5 gives one less than 6/5 of it") << 600 << 600
            << 100 << 60 << 119;
        QTest::newRow("300 dpi") << 300 << 300 << 50 << 30 << 59;
        QTest::newRow("203 dpi: the tenth of an inch drops its remainder") << 203 << 203 << 34 << 20 << 40;
        QTest::newRow("432 dpi: any other height gives 6/5 of it, fraction dropped") << 432 << 432 << 72 << 43
            << 86;
        QTest::newRow("201 dpi: 33.5 pixels round half up") << 201 << 201 << 34 << 20 << 40;
        QTest::newRow("600 x 300: H follows the vertical, U the horizontal resolution") << 600 << 300 << 50 << 60
            << 59;
        QTest::newRow("300 x 600") << 300 << 600 << 100 << 30 << 119;
        // clang-format on
    }
    void measures()
    {
        QFETCH(int, dpiX);
        QFETCH(int, dpiY);
        QFETCH(int, H);
        QFETCH(int, U);
        QFETCH(int, L);
        const kelm::SheetMeasures m = kelm::MeasureSheet(dpiX, dpiY);
        QCOMPARE(m.H, H);
        QCOMPARE(m.U, U);
        QCOMPARE(m.L, L);
    }

    void layout_data()
    {
        QTest::addColumn<int>("dpiX");
        QTest::addColumn<int>("dpiY");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<int>("textX");
        QTest::addColumn<int>("barCodeX");
        QTest::addColumn<int>("L");
        QTest::addColumn<QList<int>>("headY"); // company, data, font name
        QTest::addColumn<QList<int>>("rowY");
        // clang-format off
        QTest::newRow("600 dpi, no options: the worked figures") << 600 << 600 << false << false << 300 << 900
            << 119 << QList<int>{238, 2261, 2380} << QList<int>{2618, 2975, 3332, 3808, 4284, 4879};
        QTest::newRow("600 dpi, both options: rows on lines 24, 27, 30, 34, 38, 43") << 600 << 600 << true << true
            << 300 << 900 << 119 << QList<int>{238, 2261, 2380} << QList<int>{2856, 3213, 3570, 4046, 4522, 5117};
        QTest::newRow("600 dpi, checksum only: rows from line 23") << 600 << 600 << true << false << 300 << 900
            << 119 << QList<int>{238, 2261, 2380} << QList<int>{2737, 3094, 3451, 3927, 4403, 4998};
        QTest::newRow("600 dpi, Full ASCII only: rows from line 23") << 600 << 600 << false << true << 300 << 900
            << 119 << QList<int>{238, 2261, 2380} << QList<int>{2737, 3094, 3451, 3927, 4403, 4998};
        QTest::newRow("300 dpi") << 300 << 300 << false << false << 150 << 450 << 59 << QList<int>{118, 1121, 1180}
            << QList<int>{1298, 1475, 1652, 1888, 2124, 2419};
        QTest::newRow("203 dpi") << 203 << 203 << true << true << 100 << 300 << 40 << QList<int>{80, 760, 800}
            << QList<int>{960, 1080, 1200, 1360, 1520, 1720};
        QTest::newRow("600 x 300: columns from the horizontal, lines from the vertical resolution") << 600 << 300
            << false << false << 300 << 900 << 59 << QList<int>{118, 1121, 1180}
            << QList<int>{1298, 1475, 1652, 1888, 2124, 2419};
        // clang-format on
    }
    void layout()
    {
        QFETCH(int, dpiX);
        QFETCH(int, dpiY);
        QFETCH(bool, checksum);
        QFETCH(bool, fullAscii);
        QFETCH(int, textX);
        QFETCH(int, barCodeX);
        QFETCH(int, L);
        QFETCH(QList<int>, headY);
        QFETCH(QList<int>, rowY);

        const QString barCode = QStringLiteral("*AB~C*  ");
        const kelm::SampleSheetContent content{QStringLiteral("ab c"), kLo, checksum, fullAscii, barCode};
        const QList<kelm::SheetLine> lines = kelm::SampleSheetLines(dpiX, dpiY, content);

        // The whole sheet, in drawing order: every text line is Arial at the text column.
        struct Expected {
            int pointSize;
            int y;
            QString text;
        };
        QList<Expected> text{
            {24, headY[0], QString::fromUtf8(kelm::kCompanyName)},
            {14, 4 * L, QString::fromUtf8(kelm::kStreet) + ", " + QString::fromUtf8(kelm::kTown)},
            {12, 5 * L, "Phone: " + QString::fromUtf8(kelm::kPhone) + "  Fax: " + QString::fromUtf8(kelm::kFax)},
            {12, 6 * L, QString::fromUtf8(kelm::kWebAddress)},
            {12, 11 * L,
             "Decoding of a checksum is an optional function of your bar code reader. Your reader must"},
            {12, 12 * L,
             "have its optional checksum feature enabled or the checksum will simply be read as data."},
            {12, 14 * L,
             "Full ASCII decoding is an optional function of your bar code reader. Your reader must have"},
            {12, 15 * L,
             "this option enabled if you want to read any characters other than A-Z, 0-9, or the 7 special"},
            {12, 16 * L,
             "characters that are part of the bar code 3 of 9 character set. Control characters may only be"},
            {12, 17 * L, "used when both our program and your reader have Full ASCII mode enabled."},
            {12, headY[1], "Kelmcode data: ab c"},
            {12, headY[2], "Font name: " + kLo},
        };
        int option = 21;
        if (checksum)
            text.append({12, option++ * L, "Includes checksum"});
        if (fullAscii)
            text.append({12, option++ * L, "Full ASCII encoding"});

        QCOMPARE(lines.size(), text.size() + 2 * rowY.size());
        for (int i = 0; i < text.size(); ++i) {
            const kelm::SheetLine& got = lines[i];
            QCOMPARE(got.text, text[i].text);
            QCOMPARE(got.family, QStringLiteral("Arial"));
            QCOMPARE(got.pointSize, text[i].pointSize);
            QCOMPARE(got.x, textX);
            QCOMPARE(got.y, text[i].y);
        }
        // Each row: the label in Arial 10, then the preview's whole text in the bar-code family beside it.
        for (int k = 0; k < rowY.size(); ++k) {
            const kelm::SheetLine& label = lines[text.size() + 2 * k];
            const kelm::SheetLine& bars = lines[text.size() + 2 * k + 1];
            const int size = 16 + 4 * k;
            QCOMPARE(label.text, QStringLiteral("%1 points:").arg(size));
            QCOMPARE(label.family, QStringLiteral("Arial"));
            QCOMPARE(label.pointSize, 10);
            QCOMPARE(label.x, textX);
            QCOMPARE(label.y, rowY[k]);
            QCOMPARE(bars.text, barCode);
            QCOMPARE(bars.family, kLo);
            QCOMPARE(bars.pointSize, size);
            QCOMPARE(bars.x, barCodeX);
            QCOMPARE(bars.y, rowY[k]);
        }
    }

    // A real page at 600 dpi through the printer, read back with poppler: positions are PDF points
    // (pixels x 72 / 600) from the printable area's corner.
    void pdfPage()
    {
        const QString pdf = m_home.filePath(QStringLiteral("sheet.pdf"));
        QRectF printable;
        platform::Recorder& recorder = WindowFixture::recorder();
        recorder.printDialogAnswer = true;
        recorder.preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFileName(pdf);
            printer.setResolution(600);
            printable = printer.pageRect(QPrinter::Point);
        };
        const QString barCode = QStringLiteral("*+A+B+CR*  ");
        QVERIFY(kelm::PrintSampleSheet(nullptr, {QStringLiteral("abc"), kLo, true, true, barCode}, m_printTarget));
        QCOMPARE(recorder.printDialogs, 1);

        int pages = 0;
        const QList<Word> words = ReadWords(pdf, &pages);
        QCOMPARE(pages, 1);
        QVERIFY(!words.isEmpty());
        const double left = printable.left(), top = printable.top();
        auto at = [&](const Word& w, double xPx, double yPx) {
            const double dx = w.xMin - (left + xPx * 72 / 600), dy = w.yMin - (top + yPx * 72 / 600);
            if (std::abs(dx) < 0.3 && std::abs(dy) < 0.3)
                return true;
            qWarning() << w.text << "off by" << dx << dy << "points";
            return false;
        };

        auto find = [&](const QString& text) {
            for (const Word& w : words)
                if (w.text == text)
                    return w;
            return Word{};
        };
        QVERIFY(at(find(QStringLiteral("Kelmcode")), 300, 2261));
        QVERIFY(at(find(QStringLiteral("Includes")), 300, 21 * 119));
        QVERIFY(at(find(QStringLiteral("Full")), 300, 14 * 119));

        // The labels in order from the top, each with the bar code at its size on the same line.
        const QList<int> rowLines{24, 27, 30, 34, 38, 43};
        QFont barFont;
        barFont.setFamilies({kLo});
        barFont.setPixelSize(1000);
        QCOMPARE(QFontInfo(barFont).family(), kLo);
        const QFontMetricsF barMetrics(barFont);
        const double extent = (barMetrics.ascent() + barMetrics.descent()) / 1000;
        QList<Word> labels, bars;
        for (int i = 1; i < words.size(); ++i)
            if (words[i].text == QLatin1String("points:"))
                labels.append(words[i - 1]);
        for (const Word& w : words)
            if (w.text == barCode.trimmed())
                bars.append(w);
        QCOMPARE(labels.size(), 6);
        QCOMPARE(bars.size(), 6);
        for (int k = 0; k < 6; ++k) {
            QCOMPARE(labels[k].text, QString::number(16 + 4 * k));
            QVERIFY(at(labels[k], 300, rowLines[k] * 119));
            QVERIFY(at(bars[k], 900, rowLines[k] * 119));
            // A word's box is as tall as its font size times the font's extent (ascent + descent per point).
            const double height = bars[k].yMax - bars[k].yMin;
            QVERIFY2(std::abs(height / ((16 + 4 * k) * extent) - 1) < 0.02,
                     qPrintable(QStringLiteral("row %1: %2 points tall").arg(k).arg(height)));
        }
        // The bar codes are set in the bar-code family itself (embedded), not in a substitute.
        QVERIFY2(ReadFonts(pdf).contains(QLatin1String("TamroskStripe39dLo")), qPrintable(ReadFonts(pdf)));
    }

    // With no printer the job writes a PDF file; when the dialog leaves no usable file name the sheet
    // goes into a new file, never over an existing one.
    // A PDF that cannot be written whole (a full disk; here a file-size limit) leaves the file that was there,
    // or none, and says why; nothing is left beside it. Every print job to a file goes through this target.
    void pdfOnFullDisk_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("a new file: none is left") << false;
        QTest::newRow("a file chosen to be replaced: kept byte for byte") << true;
    }
    void pdfOnFullDisk()
    {
#ifdef Q_OS_UNIX
        QFETCH(bool, existing);
        QDir folder = m_home;
        QVERIFY(folder.mkpath(QStringLiteral("out")) && folder.cd(QStringLiteral("out")));
        const QString file = folder.filePath(QStringLiteral("old.pdf"));
        if (existing)
            QVERIFY(support::WriteFile(file, "keep"));
        platform::Recorder& recorder = WindowFixture::recorder();
        recorder.printDialogAnswer = true;
        recorder.preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
        };
        kelm::PrintTarget target({QStringLiteral("Labels"), true, std::nullopt}, &m_printTarget);
        QCOMPARE(target.choose(nullptr), kelm::PrintOutcome::Printed);

        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit before{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &before), 0);
        rlimit limited = before;
        limited.rlim_cur = 1000;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const kelm::PrintOutcome outcome =
            target.print(2, [](QPainter& painter, int) { painter.fillRect(QRect(0, 0, 500, 500), Qt::black); });
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(outcome, kelm::PrintOutcome::NotWritten);
        QVERIFY(!target.writeError().isEmpty());
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), existing ? QStringList{"old.pdf"} : QStringList{});
        if (existing)
            QCOMPARE(support::ReadFile(file), QByteArray("keep"));
#else
        QSKIP("a file-size limit stands in for a full disk on POSIX only");
#endif
    }

    void pdfFallback_data()
    {
        QTest::addColumn<bool>("offerFolder");
        QTest::addColumn<int>("existing");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("no file name: the documents folder") << false << 0 << "Documents/Sample sheet.pdf";
        QTest::newRow("an earlier sheet is kept") << false << 2 << "Documents/Sample sheet (3).pdf";
        QTest::newRow("the dialog left a folder: a file in it") << true << 0 << "out/Sample sheet.pdf";
        // clang-format on
    }
    void pdfFallback()
    {
        QFETCH(bool, offerFolder);
        QFETCH(int, existing);
        QFETCH(QString, expected);
        QDir home = m_home;
        QVERIFY(home.mkpath(QStringLiteral("Documents")) && home.mkpath(QStringLiteral("out")));
        for (int i = 1; i <= existing; ++i) {
            QVERIFY(support::WriteFile(
                home.filePath(i == 1 ? QStringLiteral("Documents/Sample sheet.pdf")
                                     : QStringLiteral("Documents/Sample sheet (%1).pdf").arg(i)),
                "keep"));
        }
        platform::Recorder& recorder = WindowFixture::recorder();
        recorder.printDialogAnswer = true;
        recorder.preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(offerFolder ? home.filePath(QStringLiteral("out")) : QString());
            printer.setOutputFormat(QPrinter::PdfFormat);
        };
        QVERIFY(kelm::PrintSampleSheet(nullptr, {QStringLiteral("A"), kLo, false, false, QStringLiteral("*A*  ")},
                                       m_printTarget));

        QVERIFY(support::ReadFile(home.filePath(expected)).startsWith("%PDF-"));
        if (existing)
            QCOMPARE(support::ReadFile(home.filePath(QStringLiteral("Documents/Sample sheet.pdf"))),
                     QByteArray("keep"));
    }

    // With no printer installed the dialog starts on a file that does not exist yet: in the documents
    // folder at first, then beside the one chosen last in the run.
    void offeredFile_data()
    {
        QTest::addColumn<QStringList>("existing"); // files in HOME before the first job
        QTest::addColumn<QString>("firstChoice");  // what the user chooses in the first dialog
        QTest::addColumn<QString>("removeFolder"); // a folder taken away between the jobs
        QTest::addColumn<QStringList>("offered");  // what the two dialogs offer
        // clang-format off
        QTest::newRow("documents folder, made when missing") << QStringList{} << "" << ""
            << QStringList{"Documents/Sample sheet.pdf", "Documents/Sample sheet (2).pdf"};
        QTest::newRow("an earlier sheet is never offered") << QStringList{"Documents/Sample sheet.pdf"} << "" << ""
            << QStringList{"Documents/Sample sheet (2).pdf", "Documents/Sample sheet (3).pdf"};
        QTest::newRow("the file chosen last, under the next free name") << QStringList{} << "out/parts.pdf" << ""
            << QStringList{"Documents/Sample sheet.pdf", "out/parts (2).pdf"};
        QTest::newRow("a numbered choice counts on") << QStringList{"out/Sample sheet.pdf"}
            << "out/Sample sheet (2).pdf" << ""
            << QStringList{"Documents/Sample sheet.pdf", "out/Sample sheet (3).pdf"};
        QTest::newRow("the folder chosen last is gone: documents again") << QStringList{} << "gone/x.pdf" << "gone"
            << QStringList{"Documents/Sample sheet.pdf", "Documents/Sample sheet.pdf"};
        // clang-format on
    }
    void offeredFile()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, firstChoice);
        QFETCH(QString, removeFolder);
        QFETCH(QStringList, offered);
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer is installed: the dialog starts on it");
        QDir home = m_home;
        QVERIFY(home.mkpath(QStringLiteral("out")) && home.mkpath(QStringLiteral("gone")));
        for (const QString& name : existing)
            QVERIFY(home.mkpath(QFileInfo(name).path()) && support::WriteFile(home.filePath(name), "keep"));
        platform::Recorder& recorder = WindowFixture::recorder();
        recorder.printDialogAnswer = true;
        QStringList seen;
        QString choice = firstChoice;
        recorder.preparePrinter = [&](QPrinter& printer) {
            seen << home.relativeFilePath(printer.outputFileName());
            QVERIFY(QFileInfo(printer.outputFileName()).dir().exists());
            if (!choice.isEmpty())
                printer.setOutputFileName(home.filePath(std::exchange(choice, QString())));
        };
        const kelm::SampleSheetContent content{QStringLiteral("A"), kLo, false, false, QStringLiteral("*A*  ")};
        QVERIFY(kelm::PrintSampleSheet(nullptr, content, m_printTarget));
        if (!removeFolder.isEmpty())
            QVERIFY(QDir(home.filePath(removeFolder)).removeRecursively());
        QVERIFY(kelm::PrintSampleSheet(nullptr, content, m_printTarget));
        QCOMPARE(seen, offered);
        for (const QString& name : existing)
            QCOMPARE(support::ReadFile(home.filePath(name)), QByteArray("keep"));
    }

    // ---- "&Print Sample" in the main window ---------------------------------------------------------

    // The sheet reads the controls when it prints: edits after Make show on it.
    void printSample_data()
    {
        QTest::addColumn<bool>("checksumAtMake");
        QTest::addColumn<bool>("fullAsciiAtMake");
        QTest::addColumn<QString>("change"); // what the user does between Make and Print Sample
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::addColumn<int>("firstRowLine");
        // clang-format off
        QTest::newRow("as made") << false << false << ""
            << QStringList{"Kelmcode data: ABCD4567", "Font name: " + kLo}
            << QStringList{"Includes checksum", "Full ASCII encoding"} << 22;
        QTest::newRow("data edited after Make: the data line shows the edit") << false << false << "edit"
            << QStringList{"Kelmcode data: EDITED 1"} << QStringList{"Kelmcode data: ABCD4567"} << 22;
        QTest::newRow("both boxes ticked after Make") << false << false << "tick"
            << QStringList{"Includes checksum", "Full ASCII encoding"} << QStringList{} << 24;
        QTest::newRow("both boxes cleared after Make") << true << true << "untick" << QStringList{}
            << QStringList{"Includes checksum", "Full ASCII encoding"} << 22;
        QTest::newRow("style changed after Make: the other family") << false << false << "style"
            << QStringList{"Font name: Tamrosk Stripe 39 d Up"} << QStringList{} << 22;
        // clang-format on
    }
    void printSample()
    {
        QFETCH(bool, checksumAtMake);
        QFETCH(bool, fullAsciiAtMake);
        QFETCH(QString, change);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        QFETCH(int, firstRowLine);

        platform::Recorder& recorder = WindowFixture::recorder();
        start();
        control<QCheckBox>("checksumBox")->setChecked(checksumAtMake);
        control<QCheckBox>("fullAsciiBox")->setChecked(fullAsciiAtMake);
        input()->setText(QStringLiteral("ABCD4567"));
        control<QPushButton>("makeButton")->click();
        QCOMPARE(window().barCodeMade(), true);
        const QString barCode = preview()->toPlainText();

        if (change == QLatin1String("edit"))
            input()->setText(QStringLiteral("EDITED 1"));
        if (change == QLatin1String("tick") || change == QLatin1String("untick")) {
            control<QCheckBox>("checksumBox")->setChecked(change == QLatin1String("tick"));
            control<QCheckBox>("fullAsciiBox")->setChecked(change == QLatin1String("tick"));
        }
        if (change == QLatin1String("style"))
            control<QRadioButton>("textAboveButton")->click();

        const QString pdf = m_home.filePath(QStringLiteral("sheet.pdf"));
        QRectF printable;
        recorder.printDialogAnswer = true;
        recorder.preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFileName(pdf);
            printer.setResolution(600);
            printable = printer.pageRect(QPrinter::Point);
        };
        control<QCheckBox>("checksumBox")->setFocus();
        control<QPushButton>("printSampleButton")->click();
        QCOMPARE(recorder.printDialogs, 1);
        QCOMPARE(recorder.errors, QStringList());
        QCOMPARE(window().focusWidget(), input());

        int pages = 0;
        const QList<Word> words = ReadWords(pdf, &pages);
        QCOMPARE(pages, 1);
        const QStringList lines = ReadLines(words);
        for (const QString& line : present)
            QVERIFY2(lines.contains(line), qPrintable(line));
        for (const QString& line : absent)
            QVERIFY2(!lines.contains(line), qPrintable(line));
        // The bar code is the preview's text at Make, and the first row stands where the options put it.
        const auto first = std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == "16"; });
        QVERIFY(first != words.end());
        QVERIFY(std::abs(first->yMin - (printable.top() + firstRowLine * 119 * 72.0 / 600)) < 0.3);
        QCOMPARE(
            std::count_if(words.begin(), words.end(), [&](const Word& w) { return w.text == barCode.trimmed(); }),
            6);
    }

    // Without a bar code the button shows the notice and never reaches the print dialog.
    void printSampleWithoutBarCode_data()
    {
        QTest::addColumn<QString>("data"); // made first, unless empty
        // clang-format off
        QTest::newRow("no Make yet") << QString();
        QTest::newRow("the last Make failed") << QStringLiteral("abc");
        // clang-format on
    }
    void printSampleWithoutBarCode()
    {
        QFETCH(QString, data);
        platform::Recorder& recorder = WindowFixture::recorder();
        recorder.printDialogAnswer = true;
        start();
        if (!data.isEmpty()) {
            input()->setText(data);
            control<QPushButton>("makeButton")->click();
            QCOMPARE(window().barCodeMade(), false);
        }
        const int beeps = recorder.beeps;
        control<QCheckBox>("checksumBox")->setFocus();
        control<QPushButton>("printSampleButton")->click();
        QCOMPARE(recorder.printDialogs, 0);
        QCOMPARE(preview()->toPlainText(), QStringLiteral("Must click \"Make a bar code\" before printing"));
        QCOMPARE(control<QLineEdit>("barCodeString")->text(), QString());
        QCOMPARE(recorder.beeps, beeps + 1);
        QCOMPARE(window().barCodeMade(), false);
        QCOMPARE(window().focusWidget(), input());
    }

    // Cancelling prints nothing and leaves the focus; a failing job reaches the standard error report.
    void printSampleCancelledOrFailing_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("reported");
        // clang-format off
        QTest::newRow("cancelled") << false << "sheet.pdf" << false;
        QTest::newRow("the file cannot be written") << true << "missing/sheet.pdf" << true;
        // clang-format on
    }
    void printSampleCancelledOrFailing()
    {
        QFETCH(bool, answer);
        QFETCH(QString, target);
        QFETCH(bool, reported);
        platform::Recorder& recorder = WindowFixture::recorder();
        start();
        input()->setText(QStringLiteral("ABCD4567"));
        control<QPushButton>("makeButton")->click();
        recorder.printDialogAnswer = answer;
        recorder.preparePrinter = [&](QPrinter& printer) { printer.setOutputFileName(m_home.filePath(target)); };
        QWidget* before = control<QCheckBox>("checksumBox");
        before->setFocus();
        control<QPushButton>("printSampleButton")->click();
        QCOMPARE(recorder.printDialogs, 1);
        // The reason after the colon is the system's.
        const QString error = "The sample sheet could not be saved to the file " + m_home.filePath(target) + ": ";
        QCOMPARE(recorder.errors.size(), reported ? 1 : 0);
        if (reported)
            QVERIFY2(recorder.errors[0].startsWith(error), qPrintable(recorder.errors[0]));
        QCOMPARE(window().focusWidget(), before);
        QVERIFY(!QFileInfo::exists(m_home.filePath(target)));
        QCOMPARE(window().barCodeMade(), true);
    }

private:
    QDir m_home;
    kelm::PrintTargetMemory m_printTarget;
};

QTEST_MAIN(TestPrinting)
#include "TestPrinting.moc"
