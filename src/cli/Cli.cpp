#include "Cli.h"

#include "code39/Code39.h"
#include "code39/Version.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace cli {

namespace {

constexpr std::string_view kUsage =
    "usage: code39 [-c|--checksum] [-f|--full-ascii] [--help] [--version] [--] [DATA ...]";

constexpr std::string_view kHelp =
    "Usage: code39 [OPTION]... [DATA]...\n"
    "Encode DATA for the Code 39 bar-code typeface: one output line per input, \"*...*\", or an\n"
    "empty line where the input cannot be encoded (the reason goes to standard error).\n"
    "Without DATA, every line of standard input (UTF-8, CRLF or LF) is encoded.\n"
    "\n"
    "  -c, --checksum     append the modulo-43 check character\n"
    "  -f, --full-ascii   encode any 7-bit character by the Full ASCII rules; ^0 is NUL,\n"
    "                     ^1 to ^9 are ESC and ^A to ^Z are Ctrl-A to Ctrl-Z\n"
    "  -h, --help         show this help and exit\n"
    "      --version      show the version and exit\n"
    "      --             end of options; every later argument is DATA\n"
    "\n"
    "Picture files: the bar code of DATA drawn into a file instead (one of these):\n"
    "      --png FILE     a PNG image of the typeface's bars, at --dpi\n"
    "      --svg FILE     an SVG drawing: bars as rectangles, text in a monospace face\n"
    "      --pdf FILE     a one-page PDF: bars as paths, selectable text\n"
    "      --size PT      the typeface's size in points, 1 to 1000 (default 22)\n"
    "      --dpi N        the PNG's resolution, 36 to 2400 (default 300)\n"
    "      --text-above   the readable text above the bars instead of below\n"
    "      --no-antialias draw the PNG without antialiasing\n"
    "      --force        let a batch replace files that exist (a single FILE is replaced)\n"
    "  Without DATA and with %n (the row number) or %d (the data, made safe) in FILE,\n"
    "  each line of standard input is drawn into a file of its own; %% is one %.\n"
    "\n"
    "  --labels STOCK --pdf FILE   fill sheets of labels with the rows, one label per row (DATA,\n"
    "                     the lines of standard input, or --list FILE [--column N] [--header] of a\n"
    "                     text or CSV file), each bar code reduced to fit its label, into a PDF;\n"
    "                     with --start N (first label), --copies K (labels per row), --size PT (the\n"
    "                     largest size, default 22), --dpi N (printer, default 300), --text-above,\n"
    "                     --outlines and --offset X,Y (printer nudge in mm). STOCK is a maker and\n"
    "                     part (\"Avery 5160\"), a part only one maker uses, or one of ours (lb167)\n"
    "  --list-stocks [--paper ID] [WORDS]   list the label stocks that match every word: maker,\n"
    "                     part, paper, labels per sheet, label size, description (tab-separated)\n"
    "\n"
    "A line or DATA longer than 1048576 bytes gets an empty line and \"line too long\".\n"
    "Exit status: 0 when every input was encoded, 1 when any failed, 2 on bad usage (or an unknown\n"
    "label stock).\n";

// Output is gathered and written in large blocks; rows never wait on a flush.
constexpr std::size_t kFlushSize = 1 << 20;
constexpr std::size_t kReadSize = 1 << 20;
// Working buffers keep their capacity between rows, but not the capacity of a huge one.
constexpr std::size_t kKeepCapacity = 16u << 20;
// A line that endless input (a device, a binary file) never ends: past this much, reading stops.
constexpr std::uint64_t kMaxSkippedLine = std::uint64_t(4) << 30;

template <typename String> void Recycle(String& s)
{
    if (s.capacity() > kKeepCapacity)
        String().swap(s);
}

void Write(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Encodes rows one by one and keeps the output aligned with them.
class Encoder {
public:
    Encoder(const Options& options, std::FILE* out, std::FILE* err) : m_options(options), m_out(out), m_err(err) {}

    void Encode(std::string_view utf8)
    {
        if (utf8.size() > kMaxRowBytes) {
            RefuseTooLong();
            return;
        }
        ++m_row;
        // Plain 7-bit rows, the bulk of a mail merge, skip the UTF-16 detour.
        const bool encoded =
            (!m_options.fullAscii && code39::BuildPlainBytes(utf8, m_options.checksum, m_result)) ||
            code39::BuildBarCodeData(Utf8ToUtf16(utf8, m_text), m_options.fullAscii, m_options.checksum, m_result);
        if (encoded) {
            const std::string& data = m_result.data;
            char* o = Reserve(data.size() + 3);
            *o++ = '*';
            o = std::copy(data.begin(), data.end(), o);
            *o++ = '*';
            *o++ = '\n';
        } else {
            m_message.clear();
            AppendDiagnosticUtf8(m_message, m_result.error);
            Fail(m_message);
        }
        Recycle(m_text);
        Recycle(m_result.data);
    }

    // The row of a line longer than kMaxRowBytes: empty, with the reason.
    void RefuseTooLong()
    {
        ++m_row;
        Fail("line too long (over " + std::to_string(kMaxRowBytes) + " bytes)");
    }

    // Reports that no more input is read after the current row.
    void Stop(std::string_view reason)
    {
        Flush();
        Write(m_err, "code39: line " + std::to_string(m_row) + ": " + std::string(reason) + "\n");
        m_failed = true;
    }

    // Hands the rows so far to the reader now, before a long wait or a failure.
    void FlushNow()
    {
        Flush();
        std::fflush(m_out);
    }

    // Writes what is left; false when the output could not be written.
    bool Finish()
    {
        Flush();
        return std::fflush(m_out) == 0 && !std::ferror(m_out);
    }

    bool failed() const { return m_failed; }

private:
    // An empty row, and the reason on standard error.
    void Fail(std::string_view reason)
    {
        *Reserve(1) = '\n';
        m_failed = true;
        std::string line = "code39: line " + std::to_string(m_row) + ": ";
        line += reason;
        line += '\n';
        Write(m_err, line);
    }

    // Room for n more bytes at the end of the output buffer, flushing it first when full.
    char* Reserve(std::size_t n)
    {
        if (m_used + n > m_buffer.size()) {
            Flush();
            if (n > m_buffer.size())
                m_buffer.resize(n); // one huge row; given back by the next flush
        }
        char* const at = m_buffer.data() + m_used;
        m_used += n;
        return at;
    }

    void Flush()
    {
        Write(m_out, std::string_view(m_buffer.data(), m_used));
        m_used = 0;
        if (m_buffer.size() > kFlushSize) {
            m_buffer.resize(kFlushSize);
            m_buffer.shrink_to_fit();
        }
    }

    const Options& m_options;
    std::FILE* m_out;
    std::FILE* m_err;
    std::uint64_t m_row = 0;
    bool m_failed = false;
    std::u16string m_text;
    code39::BuildResult m_result;
    std::string m_buffer = std::string(kFlushSize, '\0');
    std::size_t m_used = 0;
    std::string m_message;
};

// A row is the line without its LF and without one trailing CR.
void EncodeLine(Encoder& encoder, std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    encoder.Encode(line);
}

// Reads in large blocks; only a line that spans blocks is copied, and only that line is held, up to
// the row limit: the rest of a longer line is passed over unread, so memory stays bounded whatever
// the input.
bool EncodeLines(Encoder& encoder, std::FILE* in)
{
    std::string block(kReadSize, '\0');
    std::string pending;
    // Room for one trailing CR beyond the row limit: it is not part of the row.
    const std::size_t maxPending = kMaxRowBytes + 1;
    bool tooLong = false;      // the current line is over the limit and being passed over
    std::uint64_t skipped = 0; // bytes of it passed over so far
    std::size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), in)) > 0) {
        const char* p = block.data();
        const char* const end = p + got;
        while (const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
            const char* const newline = static_cast<const char*>(found);
            const auto length = static_cast<std::size_t>(newline - p);
            if (tooLong) {
                encoder.RefuseTooLong();
                tooLong = false;
            } else if (pending.empty()) {
                EncodeLine(encoder, std::string_view(p, length));
            } else if (pending.size() + length > maxPending) {
                encoder.RefuseTooLong();
                pending.clear();
            } else {
                pending.append(p, newline);
                EncodeLine(encoder, pending);
                pending.clear();
            }
            Recycle(pending);
            p = newline + 1;
        }
        const auto rest = static_cast<std::size_t>(end - p);
        if (!tooLong && pending.size() + rest > maxPending) {
            tooLong = true;
            skipped = pending.size();
            pending.clear();
            Recycle(pending);
            encoder.FlushNow();
        }
        if (!tooLong) {
            pending.append(p, end);
        } else if ((skipped += rest) > kMaxSkippedLine) {
            encoder.RefuseTooLong();
            encoder.Stop("no line break in " + std::to_string(kMaxSkippedLine) +
                         " bytes: not text, input stopped");
            return true;
        }
    }
    if (tooLong)
        encoder.RefuseTooLong(); // a last line without its LF
    else if (!pending.empty())
        EncodeLine(encoder, pending);
    return !std::ferror(in);
}

} // namespace

bool ParseArguments(int argc, char** argv, Options& options, std::string& error)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        // A lone "-" is data: the minus sign is a Code 39 character.
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.data.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--checksum") {
            options.checksum = true;
        } else if (arg == "--full-ascii") {
            options.fullAscii = true;
        } else if (arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg.starts_with("--")) {
            error = "unknown option " + std::string(arg);
            return false;
        } else {
            for (const char flag : arg.substr(1)) { // a cluster such as -cf
                if (flag == 'c') {
                    options.checksum = true;
                } else if (flag == 'f') {
                    options.fullAscii = true;
                } else if (flag == 'h') {
                    options.help = true;
                } else {
                    error = "unknown option -" + std::string(1, flag);
                    return false;
                }
            }
        }
    }
    return true;
}

std::u16string_view Utf8ToUtf16(std::string_view bytes, std::u16string& buffer)
{
    // Never more UTF-16 units than bytes: a four-byte sequence gives two units, anything else one.
    if (buffer.size() < bytes.size())
        buffer.resize(bytes.size());
    char16_t* const o = buffer.data();
    std::size_t n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        // A run of 7-bit text is found a word at a time and widened in a loop the compiler vectorises.
        const auto* run = p;
        for (std::uint64_t word; end - run >= 8; run += 8) {
            std::memcpy(&word, run, sizeof word);
            if (word & 0x8080808080808080u)
                break;
        }
        while (run < end && *run < 0x80)
            ++run;
        for (const auto* q = p; q < run; ++q)
            o[n++] = *q;
        p = run;
        if (p == end)
            break;
        const unsigned lead = *p++;
        if (lead < 0x80) {
            o[n++] = static_cast<char16_t>(lead);
            continue;
        }
        // The allowed range of the first continuation byte excludes overlong forms, surrogates
        // and code points beyond U+10FFFF.
        int follow;
        unsigned low = 0x80, high = 0xBF;
        char32_t c;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            c = lead & 0x0F;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            c = lead & 0x07;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            o[n++] = 0xFFFD;
            continue;
        }
        for (; follow > 0; --follow) {
            if (p == end || *p < low || *p > high)
                break; // the byte that broke the sequence starts the next character
            c = (c << 6) | (*p++ & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        if (follow > 0) {
            o[n++] = 0xFFFD;
        } else if (c >= 0x10000) {
            c -= 0x10000;
            o[n++] = static_cast<char16_t>(0xD800 + (c >> 10));
            o[n++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            o[n++] = static_cast<char16_t>(c);
        }
    }
    return {o, n};
}

void AppendDiagnosticUtf8(std::string& out, std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            AppendUtf8(out, c);
        }
    }
}

int RunCli(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err)
{
    Options options;
    std::string error;
    if (!ParseArguments(argc, argv, options, error)) {
        Write(err, "code39: " + error + "; " + std::string(kUsage) + "\n");
        return 2;
    }
    if (options.help) {
        Write(out, kHelp);
        return std::fflush(out) == 0 ? 0 : 1;
    }
    if (options.version) {
        Write(out, std::string(kelm::kVersion) + "\n");
        return std::fflush(out) == 0 ? 0 : 1;
    }

    Encoder encoder(options, out, err);
    bool readOk = true;
    try {
        if (options.data.empty()) {
            readOk = EncodeLines(encoder, in);
        } else {
            for (const std::string& data : options.data)
                encoder.Encode(data);
        }
    } catch (const std::bad_alloc&) {
        // Memory is bounded by the row limit, so this is a machine already out of it: keep the rows made.
        encoder.Stop("out of memory, input stopped");
    }
    const bool writeOk = encoder.Finish();
    // A short read or write would lose rows: say so, and never report success.
    if (!readOk)
        Write(err, "code39: cannot read standard input\n");
    if (!writeOk)
        Write(err, "code39: cannot write standard output\n");
    return encoder.failed() || !readOk || !writeOk ? 1 : 0;
}

} // namespace cli
