#pragma once
// What the command tells its user on standard error, in every mode: one wording for each message.

#include <QString>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace cli {

// Where the command reads its rows and writes its results and messages.
struct Console {
    std::FILE* in;
    std::FILE* out;
    std::FILE* err;
};

// "code39: <message>" as one line on err, control characters escaped so they cannot act on the terminal.
void Complain(std::FILE* err, std::string_view message);
void Complain(std::FILE* err, const QString& message);
inline void Complain(std::FILE* err, const char* message)
{
    Complain(err, std::string_view(message));
}

// "line N: <reason>": a message about one input row, numbered from 1.
std::string AboutLine(std::uint64_t row, std::string_view reason);

// The reason a row over the row limit gets.
std::string LineTooLong();
// Why reading stopped at input that never breaks its line.
std::string NoLineBreak();
// Why reading stopped when memory ran out.
inline constexpr std::string_view kOutOfMemory = "out of memory, input stopped";
inline constexpr std::string_view kCannotReadInput = "cannot read standard input";
inline constexpr std::string_view kCannotWriteOutput = "cannot write standard output";
// "cannot write <file>: <reason>", the file name shown escaped.
std::string CannotWrite(std::string_view file, std::string_view reason);
// "<file> not written: <reason>": a file the command refuses to write, the name shown escaped.
std::string NotWritten(std::string_view file, std::string_view reason);

} // namespace cli
