#include "Labels.h"

#include "Cli.h"
#include "Drawing.h"
#include "labels/RowList.h"
#include "labels/Sheet.h"
#include "labels/StockLibrary.h"
#include "platform/FileWriter.h"
#include "render/BarCodeDrawing.h"

#include <QTextStream>

#include <cstdio>
#include <string>
#include <string_view>

namespace cli {

namespace {

constexpr char kLabelsUsage[] =
    "usage: code39 --labels STOCK --pdf FILE [--start N] [--copies K] [--size PT] [--text-above] [-c] [-f]\n"
    "              [--dpi N] [--outlines] [--offset X,Y] [--list FILE [--column N] [--header]] [DATA ...]\n"
    "       code39 --list-stocks [--paper ID] [WORDS ...]";

// The resolution the fit rounds to and the scan warning assumes when none is given: a common printer's.
constexpr int kDefaultDpi = 300;

int BadUsage(const QString& message)
{
    Complain(message);
    std::fprintf(stderr, "%s\n", kLabelsUsage);
    return 2;
}

struct LabelsOptions {
    bool list = false; // --list-stocks
    QString stock;
    QString pdf;
    QString paper;
    QString listFile;
    labels::ListOptions listOptions;
    labels::FillOptions fill;
    labels::DrawOptions draw;
    bool haveStock = false;
    bool havePdf = false;
    bool help = false; // --help or --version: the encoder answers
    bool version = false;
    QStringList words; // DATA, or the search words
};

// Fills options from argv; an empty result means success, otherwise the message for bad usage.
QString Parse(int argc, char** argv, LabelsOptions& o)
{
    Options encoder; // -c, -f and the encoder's own rules for "--" and clusters
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            rest.insert(rest.end(), argv + i, argv + argc);
            break;
        }
        // "--name VALUE" or "--name=VALUE".
        QString value;
        const auto takes = [&](std::string_view name) {
            if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
                value = QString::fromLocal8Bit(arg.substr(name.size() + 1));
                return true;
            }
            if (arg != name)
                return false;
            value = i + 1 < argc ? QString::fromLocal8Bit(argv[++i]) : QString();
            return true;
        };
        double number = 0;
        if (arg == "--list-stocks") {
            o.list = true;
        } else if (takes("--labels")) {
            o.stock = value;
            o.haveStock = true;
        } else if (takes("--pdf")) {
            if (value.isEmpty())
                return QStringLiteral("--pdf needs a file name");
            o.pdf = value;
            o.havePdf = true;
        } else if (takes("--paper")) {
            o.paper = value;
        } else if (takes("--start")) {
            if (!ParseNumber(value, 1, labels::kMaxLabels, true, number))
                return QStringLiteral("--start needs a label number from 1, not \"%1\"").arg(value);
            o.fill.start = int(number);
        } else if (takes("--copies")) {
            if (!ParseNumber(value, 1, labels::kMaxCopies, true, number))
                return QStringLiteral("--copies needs a number from 1 to %1, not \"%2\"")
                    .arg(labels::kMaxCopies)
                    .arg(value);
            o.fill.copies = int(number);
        } else if (takes("--size")) {
            if (!ParseNumber(value, 1, 1000, false, number))
                return QStringLiteral("--size needs a point size from 1 to 1000, not \"%1\"").arg(value);
            o.fill.look.pointSize = number;
        } else if (takes("--dpi")) {
            if (!ParseNumber(value, 36, 2400, true, number))
                return QStringLiteral("--dpi needs a whole resolution from 36 to 2400, not \"%1\"").arg(value);
            o.fill.dpi = int(number);
        } else if (takes("--offset")) {
            const QStringList xy = value.split(u',');
            double x = 0, y = 0;
            if (xy.size() != 2 || !ParseNumber(xy[0], -50, 50, false, x) || !ParseNumber(xy[1], -50, 50, false, y))
                return QStringLiteral("--offset needs X,Y in millimetres from -50 to 50, not \"%1\"").arg(value);
            o.draw.offsetMm = QPointF(x, y);
        } else if (takes("--list")) {
            if (value.isEmpty())
                return QStringLiteral("--list needs a file name");
            o.listFile = value;
        } else if (takes("--column")) {
            if (!ParseNumber(value, 1, 1000, true, number))
                return QStringLiteral("--column needs a column number from 1, not \"%1\"").arg(value);
            o.listOptions.column = int(number);
        } else if (arg == "--header") {
            o.listOptions.header = true;
        } else if (arg == "--text-above") {
            o.fill.look.textAbove = true;
        } else if (arg == "--outlines") {
            o.draw.outlines = true;
        } else {
            rest.push_back(argv[i]);
        }
    }
    std::string error;
    if (!ParseArguments(int(rest.size()), rest.data(), encoder, error))
        return QString::fromStdString(error);
    o.help = encoder.help || encoder.version;
    o.version = !encoder.help && encoder.version;
    o.fill.checksum = encoder.checksum;
    o.fill.fullAscii = encoder.fullAscii;
    for (const std::string& word : encoder.data)
        o.words.append(QString::fromUtf8(word.data(), qsizetype(word.size())));
    if (o.help)
        return {};
    if (o.list == o.haveStock)
        return QStringLiteral("give either --labels STOCK or --list-stocks");
    if (o.haveStock && (o.stock.trimmed().isEmpty() || !o.havePdf))
        return o.havePdf ? QStringLiteral("--labels needs a stock") : QStringLiteral("--labels needs --pdf FILE");
    if (!o.listFile.isEmpty() && !o.words.isEmpty())
        return QStringLiteral("give rows either as DATA or with --list, not both");
    return {};
}

QByteArray ReadStandardInput()
{
    QByteArray bytes;
    char buffer[1 << 16];
    std::size_t n = 0;
    // One byte beyond the limit is enough for the list reader to refuse it.
    while (bytes.size() <= labels::kMaxListBytes && (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        bytes.append(buffer, qsizetype(n));
    return bytes;
}

int ListStocks(const LabelsOptions& o)
{
    labels::StockLibrary library;
    library.loadDatabase();
    const QList<int> found = library.search(o.words.join(u' '), o.paper);
    QString text;
    QTextStream out(&text);
    for (int i : found) {
        const labels::Stock& s = library.stocks()[i];
        out << (s.brand.isEmpty() ? QStringLiteral("-") : s.brand) << '\t' << s.part << '\t' << s.paperName << '\t'
            << s.labelCount() << '\t' << labels::LabelSizeText(s) << '\t' << s.description << '\n';
    }
    out.flush();
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    if (found.isEmpty()) {
        Complain(QStringLiteral("no label stock matches \"%1\"").arg(o.words.join(u' ')));
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int FillLabels(LabelsOptions& o)
{
    labels::StockLibrary library;
    library.loadDatabase();
    QString error;
    const int index = library.find(o.stock, error);
    if (index < 0) {
        Complain(error);
        // Without the database only our own stocks are known: say why the maker's part is not.
        for (const QString& note : library.notes()) {
            if (!library.templatesSeen())
                Complain(note);
        }
        return 2;
    }
    const labels::Stock& stock = library.stocks()[index];
    if (o.fill.start > stock.labelCount()) {
        Complain(QStringLiteral("--start %1: %2 has %3 labels per sheet")
                     .arg(o.fill.start)
                     .arg(stock.name())
                     .arg(stock.labelCount()));
        return 2;
    }

    QStringList rows = o.words;
    if (!o.listFile.isEmpty()) {
        if (!labels::ReadListFile(o.listFile, o.listOptions, rows, error)) {
            Complain(error);
            return 1;
        }
    } else if (rows.isEmpty() && !labels::RowsFromBytes(ReadStandardInput(), o.listOptions, rows, error)) {
        Complain(error);
        return 1;
    }

    if (!render::BarCodeTypefaceAvailable(o.fill.look)) {
        Complain(QStringLiteral("the bar-code typeface is not available"));
        return 1;
    }
    const labels::Sheet sheet = labels::FillSheet(stock, rows, o.fill);
    for (const labels::RowFailure& failure : sheet.failures)
        Complain(QStringLiteral("row %1: %2").arg(failure.row).arg(failure.message));
    for (const QString& warning : labels::SheetWarnings(sheet, o.fill.dpi))
        Complain(QStringLiteral("warning: ") + warning);

    QByteArray pdf;
    if (!labels::WritePdf(sheet, o.draw, o.fill.dpi, pdf, error) ||
        !platform::WriteWholeFile(o.pdf, pdf, &error)) {
        Complain(QStringLiteral("cannot write %1: %2").arg(o.pdf, error));
        return 1;
    }
    return sheet.failures.isEmpty() ? 0 : 1;
}

} // namespace

bool WantsLabels(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            return false;
        if (arg == "--labels" || arg.starts_with("--labels=") || arg == "--list-stocks")
            return true;
    }
    return false;
}

int RunLabels(int argc, char** argv)
{
    const auto qt = StartOffscreenQt(argv[0]);

    LabelsOptions options;
    options.fill.dpi = kDefaultDpi;
    const QString usage = Parse(argc, argv, options);
    if (!usage.isEmpty())
        return BadUsage(usage);
    if (options.help) {
        char help[] = "--help", version[] = "--version";
        char* encoder[] = {argv[0], options.version ? version : help, nullptr};
        return RunCli(2, encoder, stdin, stdout, stderr);
    }
    return options.list ? ListStocks(options) : FillLabels(options);
}

} // namespace cli
