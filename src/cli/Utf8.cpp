#include "Utf8.h"

#include <cstdint>
#include <cstring>

namespace cli {

namespace {

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

} // namespace

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

std::string Shown(std::string_view bytes)
{
    std::u16string buffer;
    std::string shown;
    AppendDiagnosticUtf8(shown, Utf8ToUtf16(bytes, buffer));
    return shown;
}

} // namespace cli
