#include "LabelCommand.h"

#include "OffscreenQt.h"
#include "labels/ListReader.h"
#include "labels/PageFiller.h"
#include "labels/ReadBack.h"
#include "labels/ScanWarnings.h"
#include "labels/Sheet.h"
#include "labels/StockLibrary.h"
#include "labels/Zpl.h"
#include "platform/PendingFile.h"
#include "render/BarCodeDrawing.h"

#include <QFile>

#include <cstdio>
#include <optional>

namespace cli {

namespace {

// The rows as they come: DATA, the list file, or standard input read as a list (text or CSV, as a list file is).
class RowInput {
public:
    explicit RowInput(const CommandLine& commandLine) : m_arguments(commandLine.data)
    {
        m_options.column = commandLine.column;
        m_options.header = commandLine.header;
        if (!commandLine.listFile.empty())
            m_file.setFileName(QFile::decodeName(QByteArray::fromStdString(commandLine.listFile)));
    }

    bool open(const Console& console, QString& error)
    {
        if (!m_file.fileName().isEmpty()) {
            if (!labels::OpenListFile(m_file, error))
                return false;
            m_list.emplace(labels::ListFileReader(m_file, m_options));
        } else if (m_arguments.empty()) {
            m_list.emplace(
                [in = console.in](char* to, qint64 most, QString& readError) -> qint64 {
                    const std::size_t got = std::fread(to, 1, std::size_t(most), in);
                    if (got == 0 && std::ferror(in)) {
                        readError = QString::fromUtf8(kCannotReadInput);
                        return -1;
                    }
                    return qint64(got);
                },
                m_options);
        }
        return true;
    }

    bool next(QString& row)
    {
        if (m_list)
            return m_list->next(row);
        if (m_nextArgument >= m_arguments.size())
            return false;
        row = QString::fromStdString(m_arguments[m_nextArgument++]);
        return true;
    }

    // False with the reason when the list, read to its end, proves to be none.
    bool finish(QString& error)
    {
        if (!m_list || m_list->finish())
            return true;
        error = m_list->error();
        return false;
    }

private:
    const std::vector<std::string>& m_arguments;
    labels::ListOptions m_options;
    QFile m_file;
    std::optional<labels::ListReader> m_list;
    std::size_t m_nextArgument = 0;
};

// What the user hears of a run, page after page as it is filled: the rows that failed at once, the warnings and
// the labels that do not read back (with --verify) at the end, in memory that does not grow with the run.
class PageReport {
public:
    PageReport(const Console& console, bool verify, const labels::DrawOptions& draw, int dpi)
        : m_console(console), m_verify(verify), m_draw(draw), m_dpi(dpi)
    {
    }

    void add(const labels::Sheet& page)
    {
        for (const labels::RowFailure& failure : page.failures)
            Complain(m_console.err, QStringLiteral("row %1: %2").arg(failure.row).arg(failure.message));
        m_rowsFailed = m_rowsFailed || !page.failures.isEmpty();
        m_warnings.add(page);
        if (m_verify) {
            const labels::SheetReading reading = labels::ReadSheetBack(page, m_draw, m_dpi);
            m_reading.checked += reading.checked;
            for (const qsizetype label : reading.notRead)
                m_reading.notRead.append(page.labelsBefore + label);
            m_unread += labels::ReadBackProblems(page, reading);
        }
        m_lastPage = page; // its fits cover every length of the run
    }

    bool rowsFailed() const { return m_rowsFailed; }
    bool unreadable() const { return !m_reading.notRead.isEmpty(); }

    void warn() const
    {
        for (const QString& warning : m_warnings.warnings(m_lastPage))
            Complain(m_console.err, QStringLiteral("warning: ") + warning);
    }

    void listUnreadable(const std::string& outputFile) const
    {
        for (const QString& problem : m_unread)
            Complain(m_console.err, problem);
        Complain(m_console.err, NotWritten(outputFile, labels::ReadBackSummary(m_reading).toStdString()));
    }

private:
    const Console& m_console;
    const bool m_verify;
    const labels::DrawOptions m_draw;
    const int m_dpi;
    bool m_rowsFailed = false;
    labels::ScanWarnings m_warnings;
    labels::Sheet m_lastPage;
    labels::SheetReading m_reading; // the labels that do not read back, counted over the run
    QStringList m_unread;
};

// The sheet as ZPL into file, or to standard output for "-"; a file only when all of it is written. False
// with the line that says why in message.
bool WriteZplFile(const std::string& file, const labels::Sheet& sheet, const labels::DrawOptions& draw,
                  const Console& console, std::string& message)
{
    QString error;
    if (file == "-") {
        QFile out;
        if (!out.open(console.out, QIODevice::WriteOnly) || !labels::WriteZpl(sheet, draw, out, error) ||
            !out.flush() || out.error() != QFileDevice::NoError || std::fflush(console.out) != 0) {
            message = std::string(kCannotWriteOutput) + (error.isEmpty() ? "" : ": " + error.toStdString());
            return false;
        }
        return true;
    }
    platform::PendingFile zpl(QFile::decodeName(QByteArray::fromStdString(file)));
    if (zpl.open(error) && labels::WriteZpl(sheet, draw, zpl.device(), error) && zpl.commit(error))
        return true;
    message = CannotWrite(file, error.toStdString());
    return false;
}

} // namespace

int RunLabels(const CommandLine& commandLine, const Console& console, char* programName)
{
    const QString stockName = QString::fromLocal8Bit(commandLine.stock);
    if (stockName.trimmed().isEmpty()) {
        Complain(console.err, WithUsage(NeedsValue("labels"), Mode::Labels));
        return 2;
    }
    if (!commandLine.listFile.empty() && !commandLine.data.empty()) {
        Complain(console.err, WithUsage("give rows either as DATA or with --list, not both", Mode::Labels));
        return 2;
    }

    const auto qt = StartOffscreenQt(programName);
    labels::StockLibrary library;
    library.loadDatabase();
    QString error;
    const int index = library.find(stockName, error);
    if (index < 0) {
        Complain(console.err, error + QStringLiteral(" (code39 --list-stocks WORDS lists them)"));
        // Without the database only our own stocks are known: say why the maker's part is not.
        for (const QString& note : library.notes()) {
            if (!library.templatesSeen())
                Complain(console.err, note);
        }
        return 2;
    }
    const labels::Stock& stock = library.stocks()[index];
    if (commandLine.start > stock.labelCount()) {
        Complain(console.err, QStringLiteral("--start %1: %2 has %3 per sheet")
                                  .arg(QString::number(commandLine.start), stock.name(),
                                       labels::LabelCountText(stock.labelCount())));
        return 2;
    }

    RowInput input(commandLine);
    if (!input.open(console, error)) {
        Complain(console.err, error);
        return 1;
    }
    QString firstRow;
    bool firstRowWaits = input.next(firstRow);
    if (!firstRowWaits) {
        if (!input.finish(error)) {
            Complain(console.err, error);
            return 1;
        }
        // An empty list is a mistake (a wrong file, an empty column), not a request for blank sheets.
        Complain(console.err, "no rows to print");
        return 1;
    }
    labels::FillOptions fill;
    fill.start = commandLine.start;
    fill.copies = commandLine.copies;
    fill.checksum = commandLine.checksum;
    fill.fullAscii = commandLine.fullAscii;
    fill.look.pointSize = commandLine.pointSize;
    fill.look.textAbove = commandLine.textAbove;
    fill.dpi = commandLine.dpi;
    fill.barHeightMm = commandLine.barHeightMm;
    fill.rotation = commandLine.rotation;
    if (commandLine.zpl)
        fill = labels::ForZpl(fill);
    labels::DrawOptions draw;
    draw.outlines = commandLine.outlines;
    draw.offsetMm = QPointF(commandLine.offsetXMm, commandLine.offsetYMm);

    if (!render::BarCodeTypefaceAvailable(fill.look)) {
        Complain(console.err, "the bar-code typeface is not available");
        return 1;
    }
    labels::PageFiller filler(stock, fill, [&](QString& row) {
        if (!firstRowWaits)
            return input.next(row);
        row = firstRow;
        firstRowWaits = false;
        return true;
    });
    PageReport report(console, commandLine.verify, draw, fill.dpi);
    // Once every row is read: the list was one to the end, the warnings said, and every label reads back.
    const auto wholeRunGood = [&] {
        if (QString listError; !input.finish(listError)) {
            Complain(console.err, listError);
            return false;
        }
        report.warn();
        // Labels that will not scan are worth neither the paper nor a file that looks finished.
        if (report.unreadable()) {
            report.listUnreadable(commandLine.outputFile);
            return false;
        }
        return true;
    };
    if (commandLine.zpl) {
        // One sheet for the whole run: a row's copies become one format however the stock's pages would
        // part them, and nothing reaches the printer before every label has been checked.
        const labels::Sheet sheet = filler.rest();
        report.add(sheet);
        if (!wholeRunGood())
            return 1;
        if (std::string message; !WriteZplFile(commandLine.outputFile, sheet, draw, console, message)) {
            Complain(console.err, message);
            return 1;
        }
        return report.rowsFailed() ? 1 : 0;
    }

    // Page by page: each is filled, reported, read back and written before the next is filled, so that a list
    // of any length takes the memory of one page. The file replaces the old one only at the end, when all is well.
    platform::PendingFile pdf(QFile::decodeName(QByteArray::fromStdString(commandLine.outputFile)));
    if (!pdf.open(error)) {
        Complain(console.err, CannotWrite(commandLine.outputFile, error.toStdString()));
        return 1;
    }
    const bool written = labels::WritePdf(
        filler, draw, fill.dpi, pdf.device(), [&](const labels::Sheet& page) { report.add(page); }, error);
    if (!wholeRunGood())
        return 1;
    if (const QString offPage = labels::OffPageWarning(stock); !offPage.isEmpty())
        Complain(console.err, QStringLiteral("warning: ") + offPage);
    if (!written || !pdf.commit(error)) {
        Complain(console.err, CannotWrite(commandLine.outputFile, error.toStdString()));
        return 1;
    }
    return report.rowsFailed() ? 1 : 0;
}

} // namespace cli
