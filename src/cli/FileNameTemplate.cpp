#include "FileNameTemplate.h"

#include "Utf8.h"

#include "platform/FileNames.h"

namespace cli {

std::string SafeNamePart(std::string_view data)
{
    // The command's own decoding, so that each stretch of invalid UTF-8 is one U+FFFD, and so one '_'.
    std::u16string buffer;
    const std::u16string_view text = Utf8ToUtf16(data, buffer);
    const QString name = QString::fromUtf16(text.data(), qsizetype(text.size()));
    return platform::SafeFileNamePart(name, kMaxNamePartBytes, platform::NameLength::Utf8Bytes).toStdString();
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

} // namespace cli
