#include "FileNameTemplate.h"

#include "Utf8.h"

namespace cli {

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

} // namespace cli
