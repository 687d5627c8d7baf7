#pragma once
// The rows every mode of the command works on: its DATA arguments, or the lines of standard input.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A row (a line without its line break, or an argument) longer than this many bytes is refused: it gets
// "line too long" and the rows after it go on. Far beyond any bar code that scans, and it keeps memory
// bounded whatever the input.
inline constexpr std::size_t kMaxRowBytes = std::size_t(1) << 20;
// A line that endless input (a device, a binary file) never ends: past this much, reading stops.
inline constexpr std::uint64_t kMaxUnbrokenBytes = std::uint64_t(4) << 30;

// What a mode does with each row, in input order.
class RowConsumer {
public:
    virtual ~RowConsumer() = default;
    // A row of at most kMaxRowBytes: a line without its LF and without one trailing CR, or an argument.
    virtual void Row(std::string_view row) = 0;
    // A row over kMaxRowBytes, passed over unread.
    virtual void RowTooLong() = 0;
    // The next read may wait long, behind a huge line: hand on what is ready.
    virtual void BeforeLongRead() {}
};

enum class ReadEnd {
    AllRead,
    ReadFailed,  // standard input could not be read: rows may be missing
    NoLineBreak, // kMaxUnbrokenBytes without a line break, which got its RowTooLong(); reading stopped
};

// Hands each line of in to consumer. Reads in large blocks and holds only the current line, up to the
// row limit; the rest of a longer line is passed over unread.
ReadEnd ReadLines(std::FILE* in, RowConsumer& consumer);

// Hands each argument to consumer as a row.
void ReadArguments(const std::vector<std::string>& data, RowConsumer& consumer);

} // namespace cli
