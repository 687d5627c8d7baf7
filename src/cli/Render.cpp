#include "Render.h"

#include "Cli.h"
#include "Drawing.h"
#include "code39/Code39.h"
#include "platform/FileWriter.h"
#include "render/BarCodeFiles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <future>
#include <optional>
#include <vector>

namespace cli {

namespace {

enum class Format { Png, Svg, Pdf };

struct FormatOption {
    std::string_view option;
    Format format;
};
constexpr FormatOption kFormats[] = {{"--png", Format::Png}, {"--svg", Format::Svg}, {"--pdf", Format::Pdf}};

constexpr std::string_view kImageUsage = "usage: code39 --png|--svg|--pdf FILE [--size PT] [--dpi N] "
                                         "[--text-above] [--force] [-c] [-f] [DATA ...]";
// A row longer than this is refused unread: far beyond any bar code a scanner could read.
constexpr std::size_t kMaxRowBytes = 1 << 20;

struct Job {
    Format format = Format::Png;
    std::string name;
    bool isTemplate = false;
    bool force = false;
    render::BarCodeLook look;
    int dpi = 300;
    bool checksum = false;
    bool fullAscii = false;
};

// A file name as it may be shown: control characters escaped, invalid UTF-8 as U+FFFD.
std::string Shown(std::string_view name)
{
    std::u16string buffer;
    std::string shown;
    AppendDiagnosticUtf8(shown, Utf8ToUtf16(name, buffer));
    return shown;
}

// The file's bytes, or nothing with the reason; tooLarge tells a size the user chose from other failures.
QByteArray DrawFile(const Job& job, const QString& barText, const QString& title, QString& error, bool& tooLarge)
{
    tooLarge = false;
    if (job.format == Format::Svg)
        return render::BarCodeSvg(barText, job.look, title, &error);
    if (job.format == Format::Pdf)
        return render::BarCodePdf(barText, job.look, title, &error);
    const render::BarCodeImage drawn = render::DrawBarCodeImage(barText, job.look, job.dpi);
    if (drawn.image.isNull()) {
        error = drawn.error;
        tooLarge = drawn.failure == render::BarCodeImage::TooLarge;
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !drawn.image.save(&buffer, "PNG"))
        error = QStringLiteral("the PNG image could not be made");
    return bytes;
}

// Draws rows into their files and reports each row's outcome in input order. Every file is synced to
// disk before it replaces anything, and a sync is a wait for the disk: a batch keeps a few writes in
// flight so that their waits overlap, while rows are encoded and drawn here, one after the other.
class RowDrawer {
public:
    explicit RowDrawer(const Job& job) : m_job(job) {}
    ~RowDrawer() { Finish(); }

    void Draw(unsigned long long row, std::string_view data)
    {
        const std::string where = m_job.isTemplate ? "line " + std::to_string(row) + ": " : std::string();
        std::u16string buffer;
        code39::BuildResult built;
        if (!code39::BuildBarCodeData(Utf8ToUtf16(data, buffer), m_job.fullAscii, m_job.checksum, built)) {
            std::string message = where;
            AppendDiagnosticUtf8(message, built.error);
            return Done(1, message);
        }
        const std::string file = m_job.isTemplate ? ExpandName(m_job.name, row, data) : m_job.name;
        const QString path = QFile::decodeName(QByteArray::fromStdString(file));
        if (m_job.isTemplate) {
            // A file still being written counts as existing; with --force it is finished first.
            const auto writing = [&] {
                return std::any_of(m_rows.begin(), m_rows.end(), [&](const Row& r) { return r.path == path; });
            };
            const QFileInfo existing(path);
            if (!m_job.force && (writing() || existing.exists() || existing.isSymLink()))
                return Done(1, where + Shown(file) + " exists; --force replaces it");
            while (writing())
                ReportFirst();
        }
        QString error;
        bool tooLarge = false;
        const QByteArray bytes = DrawFile(m_job, QString::fromStdString(code39::BarCodeString(built.data)),
                                          QString::fromUtf8(data), error, tooLarge);
        if (bytes.isEmpty())
            return Done(tooLarge && !m_job.isTemplate ? 2 : 1, where + error.toStdString());
        Row r;
        r.path = path;
        r.failure = where + "cannot write " + Shown(file) + ": ";
        r.write = std::async(std::launch::async, [path, bytes] {
            QString reason;
            return platform::WriteWholeFile(path, bytes, &reason) ? QString() : reason;
        });
        Add(std::move(r));
    }

    // A row refused before it was drawn.
    void Refuse(std::string message) { Done(1, std::move(message)); }

    // Waits for every write and reports what is left; returns the worst status.
    int Finish()
    {
        while (!m_rows.empty())
            ReportFirst();
        return m_status;
    }

private:
    struct Row {
        QString path;               // being written, when write is valid
        std::future<QString> write; // the writer's reason on failure, empty on success
        int status = 0;
        std::string failure; // the message, or its beginning when the write fails
    };
    static constexpr std::size_t kWritesInFlight = 8;

    void Done(int status, std::string message)
    {
        Row r;
        r.status = status;
        r.failure = std::move(message);
        Add(std::move(r));
    }

    void Add(Row&& r)
    {
        m_rows.push_back(std::move(r));
        while (m_rows.size() > kWritesInFlight)
            ReportFirst();
    }

    void ReportFirst()
    {
        Row& r = m_rows.front();
        if (r.write.valid()) {
            const QString reason = r.write.get();
            if (!reason.isEmpty()) {
                r.status = 1;
                r.failure += reason.toStdString();
            }
        }
        if (r.status != 0)
            Complain(r.failure);
        m_status = std::max(m_status, r.status);
        m_rows.pop_front();
    }

    const Job& m_job;
    std::deque<Row> m_rows;
    int m_status = 0;
};

// Each line of standard input (without its LF and one CR) as a row; a line beyond kMaxRowBytes is
// refused without being held. Returns the worst status.
int DrawLines(const Job& job)
{
    RowDrawer drawer(job);
    int status = 0;
    unsigned long long row = 0;
    std::string line;
    bool tooLong = false;
    const auto finish = [&] {
        ++row;
        if (tooLong) {
            drawer.Refuse("line " + std::to_string(row) + ": line too long (over " + std::to_string(kMaxRowBytes) +
                          " bytes)");
        } else {
            std::string_view text = line;
            if (!text.empty() && text.back() == '\r')
                text.remove_suffix(1);
            drawer.Draw(row, text);
        }
        line.clear();
        tooLong = false;
    };
    for (int c; (c = std::getc(stdin)) != EOF;) {
        if (c == '\n') {
            finish();
        } else if (line.size() < kMaxRowBytes) {
            line += char(c);
        } else {
            tooLong = true;
        }
    }
    if (!line.empty() || tooLong)
        finish(); // a last line without its LF
    status = std::max(status, drawer.Finish());
    if (std::ferror(stdin)) {
        Complain("cannot read standard input");
        status = std::max(status, 1);
    }
    return status;
}

} // namespace

bool WantsImage(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            return false;
        for (const FormatOption& f : kFormats) {
            if (arg == f.option ||
                (arg.starts_with(f.option) && arg.size() > f.option.size() && arg[f.option.size()] == '='))
                return true;
        }
    }
    return false;
}

std::string SafeNamePart(std::string_view data)
{
    std::u16string buffer;
    const std::u16string_view text = Utf8ToUtf16(data, buffer);
    std::u16string safe;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        const bool pair =
            c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (pair) {
            safe += c;
            safe += text[++i];
            continue;
        }
        static constexpr std::u16string_view kForbidden = u"/\\:*?\"<>|";
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFD ||
            kForbidden.find(c) != std::u16string_view::npos || (c == u'.' && (i == 0 || text[i - 1] == u'.')))
            c = u'_';
        safe += c;
    }
    std::string out;
    AppendDiagnosticUtf8(out, safe); // nothing left to escape: plain UTF-8
    if (out.size() > kMaxNamePartBytes) {
        std::size_t cut = kMaxNamePartBytes;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
            --cut;
        out.resize(cut);
    }
    return out;
}

bool IsNameTemplate(std::string_view name)
{
    for (std::size_t i = 0; i + 1 < name.size(); ++i) {
        if (name[i] != '%')
            continue;
        if (name[i + 1] == 'n' || name[i + 1] == 'd')
            return true;
        if (name[i + 1] == '%')
            ++i;
    }
    return false;
}

std::string ExpandName(std::string_view name, unsigned long long row, std::string_view data)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char next = i + 1 < name.size() ? name[i + 1] : '\0';
        if (name[i] != '%' || (next != 'n' && next != 'd' && next != '%')) {
            out += name[i];
            continue;
        }
        ++i;
        if (next == '%') {
            out += '%';
        } else {
            const std::string part = next == 'd' ? SafeNamePart(data) : std::string();
            out += part.empty() ? std::to_string(row) : part;
        }
    }
    return out;
}

int RunImage(int argc, char** argv)
{
    Job job;
    std::optional<std::string_view> output; // the output option given, to refuse a second one
    // What is not ours goes to the encoder's own parser (-c, -f, --, DATA).
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::string value;
        if (arg == "--") {
            rest.insert(rest.end(), argv + i, argv + argc);
            break;
        }
        bool format = false;
        for (const FormatOption& f : kFormats) {
            if (!TakeValue(argc, argv, i, f.option, value))
                continue;
            format = true;
            if (output) {
                Complain("one output file at a time: " + std::string(*output) + " and " + std::string(f.option) +
                         "; " + std::string(kImageUsage));
                return 2;
            }
            if (value.empty()) {
                Complain(std::string(f.option) + " needs a file name; " + std::string(kImageUsage));
                return 2;
            }
            output = f.option;
            job.format = f.format;
            job.name = value;
        }
        if (format)
            continue;
        if (TakeValue(argc, argv, i, "--size", value)) {
            if (!ParseNumber(value, kMinPointSize, kMaxPointSize, false, job.look.pointSize)) {
                Complain("--size needs a point size from 1 to 1000, not \"" + value + "\"");
                return 2;
            }
        } else if (TakeValue(argc, argv, i, "--dpi", value)) {
            double dpi = 0;
            if (!ParseNumber(value, kMinDpi, kMaxDpi, true, dpi)) {
                Complain("--dpi needs a whole resolution from 36 to 2400, not \"" + value + "\"");
                return 2;
            }
            job.dpi = int(dpi);
        } else if (arg == "--text-above") {
            job.look.textAbove = true;
        } else if (arg == "--no-antialias") {
            job.look.antialias = false;
        } else if (arg == "--force") {
            job.force = true;
        } else {
            rest.push_back(argv[i]);
        }
    }
    Options options;
    std::string error;
    if (!output || !ParseArguments(int(rest.size()), rest.data(), options, error)) {
        Complain((output ? error + "; " : std::string()) + std::string(kImageUsage));
        return 2;
    }
    if (options.help || options.version) {
        rest.erase(rest.begin() + 1, rest.end());
        rest.push_back(const_cast<char*>(options.help ? "--help" : "--version"));
        return RunCli(int(rest.size()), rest.data(), stdin, stdout, stderr);
    }
    job.isTemplate = IsNameTemplate(job.name);
    job.checksum = options.checksum;
    job.fullAscii = options.fullAscii;
    if (!job.isTemplate && options.data.size() != 1) {
        Complain(std::string(*output) +
                 " draws exactly one DATA, or one file per row when the file name holds %n or %d; " +
                 std::string(kImageUsage));
        return 2;
    }

    const auto qt = StartOffscreenQt(argv[0]);

    if (options.data.empty())
        return DrawLines(job);
    RowDrawer drawer(job);
    unsigned long long row = 0;
    for (const std::string& data : options.data)
        drawer.Draw(++row, data);
    return drawer.Finish();
}

} // namespace cli
