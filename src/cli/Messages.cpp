#include "Messages.h"

#include "RowReader.h"
#include "Utf8.h"

namespace cli {

void Complain(std::FILE* err, std::string_view message)
{
    std::string line = "code39: " + Shown(message);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), err);
}

void Complain(std::FILE* err, const QString& message)
{
    Complain(err, std::string_view(message.toStdString()));
}

std::string AboutLine(std::uint64_t row, std::string_view reason)
{
    return "line " + std::to_string(row) + ": " + std::string(reason);
}

std::string LineTooLong()
{
    return "line too long (over " + std::to_string(kMaxRowBytes) + " bytes)";
}

std::string NoLineBreak()
{
    return "no line break in " + std::to_string(kMaxUnbrokenBytes) + " bytes: not text, input stopped";
}

std::string CannotWrite(std::string_view file, std::string_view reason)
{
    return "cannot write " + Shown(file) + ": " + std::string(reason);
}

std::string NotWritten(std::string_view file, std::string_view reason)
{
    return Shown(file) + " not written: " + std::string(reason);
}

} // namespace cli
