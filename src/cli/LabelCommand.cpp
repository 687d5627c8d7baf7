#include "LabelCommand.h"

#include "OffscreenQt.h"
#include "RowReader.h"
#include "labels/ReadBack.h"
#include "labels/RowList.h"
#include "labels/Sheet.h"
#include "labels/StockLibrary.h"
#include "labels/Zpl.h"
#include "platform/PendingFile.h"
#include "render/BarCodeDrawing.h"

#include <QFile>

#include <cstdio>

namespace cli {

namespace {

// The rows: DATA, the list file, or standard input read as a list (text or CSV, as a list file is).
bool ReadRows(const CommandLine& commandLine, const Console& console, QStringList& rows, QString& error)
{
    labels::ListOptions list;
    list.column = commandLine.column;
    list.header = commandLine.header;
    if (!commandLine.listFile.empty())
        return labels::ReadListFile(QFile::decodeName(QByteArray::fromStdString(commandLine.listFile)), list, rows,
                                    error);
    if (!commandLine.data.empty()) {
        for (const std::string& row : commandLine.data)
            rows.append(QString::fromStdString(row));
        return true;
    }
    bool readFailed = false;
    const std::string bytes = ReadWhole(console.in, labels::kMaxListBytes, readFailed);
    if (readFailed) {
        error = QString::fromUtf8(kCannotReadInput);
        return false;
    }
    return labels::RowsFromBytes(QByteArray::fromStdString(bytes), list, rows, error);
}

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

    QStringList rows;
    if (!ReadRows(commandLine, console, rows, error)) {
        Complain(console.err, error);
        return 1;
    }
    // An empty list is a mistake (a wrong file, an empty column), not a request for blank sheets.
    if (rows.isEmpty()) {
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
    const labels::Sheet sheet = labels::FillSheet(stock, rows, fill);
    rows = QStringList(); // the sheet holds what the pages need: the rows' memory goes before the pages'
    for (const labels::RowFailure& failure : sheet.failures)
        Complain(console.err, QStringLiteral("row %1: %2").arg(failure.row).arg(failure.message));
    for (const QString& warning : labels::SheetWarnings(sheet))
        Complain(console.err, QStringLiteral("warning: ") + warning);
    if (commandLine.verify) {
        // Labels that will not scan are worth neither the paper nor a file that looks finished.
        const labels::SheetReading reading = labels::ReadSheetBack(sheet, draw, fill.dpi);
        if (!reading.notRead.isEmpty()) {
            for (const QString& problem : labels::ReadBackProblems(sheet, reading))
                Complain(console.err, problem);
            Complain(console.err,
                     NotWritten(commandLine.outputFile, labels::ReadBackSummary(reading).toStdString()));
            return 1;
        }
    }
    if (commandLine.zpl) {
        // Each label is a format of its own: where a sheet would put it on its page does not matter.
        if (std::string message; !WriteZplFile(commandLine.outputFile, sheet, draw, console, message)) {
            Complain(console.err, message);
            return 1;
        }
        return sheet.failures.isEmpty() ? 0 : 1;
    }
    if (const QString offPage = labels::OffPageWarning(stock); !offPage.isEmpty())
        Complain(console.err, QStringLiteral("warning: ") + offPage);

    platform::PendingFile pdf(QFile::decodeName(QByteArray::fromStdString(commandLine.outputFile)));
    if (!pdf.open(error) || !labels::WritePdf(sheet, draw, fill.dpi, pdf.device(), error) || !pdf.commit(error)) {
        Complain(console.err, CannotWrite(commandLine.outputFile, error.toStdString()));
        return 1;
    }
    return sheet.failures.isEmpty() ? 0 : 1;
}

} // namespace cli
