#include "TextCommand.h"

#include "RowReader.h"
#include "Utf8.h"
#include "code39/Code39.h"

#include <algorithm>
#include <new>

namespace cli {

namespace {

// Output is gathered and written in large blocks; rows never wait on a flush.
constexpr std::size_t kFlushSize = 1 << 20;
// Working buffers keep their capacity between rows, but not the capacity of a huge one.
constexpr std::size_t kKeepCapacity = 16u << 20;

template <typename String> void Recycle(String& s)
{
    if (s.capacity() > kKeepCapacity)
        String().swap(s);
}

// Encodes rows one by one and keeps the output aligned with them.
class Encoder : public RowConsumer {
public:
    Encoder(const CommandLine& commandLine, const Console& console)
        : m_checksum(commandLine.checksum), m_fullAscii(commandLine.fullAscii), m_console(console)
    {
    }

    void Row(std::string_view utf8) override
    {
        ++m_row;
        // Plain 7-bit rows, the bulk of a mail merge, skip the UTF-16 detour.
        const bool encoded =
            (!m_fullAscii && code39::BuildPlainBytes(utf8, m_checksum, m_result)) ||
            code39::BuildBarCodeData(Utf8ToUtf16(utf8, m_text), m_fullAscii, m_checksum, m_result);
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

    void RowTooLong() override
    {
        ++m_row;
        Fail(LineTooLong());
    }

    // Hands the rows so far to the reader now, before a long wait.
    void BeforeLongRead() override
    {
        Flush();
        std::fflush(m_console.out);
    }

    // Reports that no more input is read after the current row.
    void Stop(std::string_view reason)
    {
        Flush();
        Complain(m_console.err, AboutLine(m_row, reason));
        m_failed = true;
    }

    // Writes what is left; false when the output could not be written.
    bool Finish()
    {
        Flush();
        return std::fflush(m_console.out) == 0 && !std::ferror(m_console.out);
    }

    bool failed() const { return m_failed; }

private:
    // An empty row, and the reason on standard error.
    void Fail(std::string_view reason)
    {
        *Reserve(1) = '\n';
        m_failed = true;
        Complain(m_console.err, AboutLine(m_row, reason));
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
        std::fwrite(m_buffer.data(), 1, m_used, m_console.out);
        m_used = 0;
        if (m_buffer.size() > kFlushSize) {
            m_buffer.resize(kFlushSize);
            m_buffer.shrink_to_fit();
        }
    }

    const bool m_checksum;
    const bool m_fullAscii;
    const Console& m_console;
    std::uint64_t m_row = 0;
    bool m_failed = false;
    std::u16string m_text;
    code39::BuildResult m_result;
    std::string m_buffer = std::string(kFlushSize, '\0');
    std::size_t m_used = 0;
    std::string m_message;
};

} // namespace

int RunText(const CommandLine& commandLine, const Console& console)
{
    Encoder encoder(commandLine, console);
    bool readOk = true;
    try {
        if (commandLine.data.empty()) {
            const ReadEnd end = ReadLines(console.in, encoder);
            readOk = end != ReadEnd::ReadFailed;
            if (end == ReadEnd::NoLineBreak)
                encoder.Stop(NoLineBreak());
        } else {
            ReadArguments(commandLine.data, encoder);
        }
    } catch (const std::bad_alloc&) {
        // Memory is bounded by the row limit, so this is a machine already out of it: keep the rows made.
        encoder.Stop(kOutOfMemory);
    }
    const bool writeOk = encoder.Finish();
    // A short read or write would lose rows: say so, and never report success.
    if (!readOk)
        Complain(console.err, kCannotReadInput);
    if (!writeOk)
        Complain(console.err, kCannotWriteOutput);
    return encoder.failed() || !readOk || !writeOk ? 1 : 0;
}

} // namespace cli
