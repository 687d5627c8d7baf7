#include "RowReader.h"

#include <cstring>

namespace cli {

namespace {

constexpr std::size_t kReadSize = 1 << 20;
// A held line keeps its capacity between rows, but not the capacity of a huge one.
constexpr std::size_t kKeepCapacity = 16u << 20;

// A line without its LF: the row is the line without one trailing CR, refused when still too long.
void HandLine(RowConsumer& consumer, std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.size() > kMaxRowBytes)
        consumer.RowTooLong();
    else
        consumer.Row(line);
}

} // namespace

ReadEnd ReadLines(std::FILE* in, RowConsumer& consumer)
{
    std::string block(kReadSize, '\0');
    std::string pending; // the start of a line that spans blocks
    // Room for one trailing CR beyond the row limit: it is not part of the row.
    const std::size_t maxPending = kMaxRowBytes + 1;
    bool tooLong = false;      // the current line is over the limit and being passed over
    std::uint64_t skipped = 0; // bytes of it passed over so far
    const auto recycle = [&] {
        if (pending.capacity() > kKeepCapacity)
            std::string().swap(pending);
    };
    std::size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), in)) > 0) {
        const char* p = block.data();
        const char* const end = p + got;
        while (const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
            const char* const newline = static_cast<const char*>(found);
            const auto length = static_cast<std::size_t>(newline - p);
            if (tooLong) {
                consumer.RowTooLong();
                tooLong = false;
            } else if (pending.empty()) {
                HandLine(consumer, std::string_view(p, length));
            } else if (pending.size() + length > maxPending) {
                consumer.RowTooLong();
                pending.clear();
            } else {
                pending.append(p, newline);
                HandLine(consumer, pending);
                pending.clear();
            }
            recycle();
            p = newline + 1;
        }
        const auto rest = static_cast<std::size_t>(end - p);
        if (!tooLong && pending.size() + rest > maxPending) {
            tooLong = true;
            skipped = pending.size();
            pending.clear();
            recycle();
            consumer.BeforeLongRead();
        }
        if (!tooLong) {
            pending.append(p, end);
        } else if ((skipped += rest) > kMaxUnbrokenBytes) {
            consumer.RowTooLong();
            return ReadEnd::NoLineBreak;
        }
    }
    if (tooLong) {
        consumer.RowTooLong(); // a last line without its LF
    } else if (!pending.empty()) {
        HandLine(consumer, pending); // a last line without its LF
    }
    return std::ferror(in) ? ReadEnd::ReadFailed : ReadEnd::AllRead;
}

void ReadArguments(const std::vector<std::string>& data, RowConsumer& consumer)
{
    for (const std::string& row : data) {
        if (row.size() > kMaxRowBytes)
            consumer.RowTooLong();
        else
            consumer.Row(row);
    }
}

} // namespace cli
