// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Encoding.h"

#include <array>
#include <cstdint>

namespace dazo {
namespace {

// Code points of the bytes 0x80..0x9F; 0 marks the five undefined bytes.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CodePointOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char32_t cp = kHighControls[byte - 0x80];
        return cp ? cp : 0xFFFD;
    }
    return byte;
}

char ByteOf(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == cp)
            return static_cast<char>(0x80 + i);
    return '?';
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string Ansi(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = lead;
        if (lead >= 0xF0) { extra = 3; cp = lead & 0x07; }
        else if (lead >= 0xE0) { extra = 2; cp = lead & 0x0F; }
        else if (lead >= 0xC0) { extra = 1; cp = lead & 0x1F; }
        else if (lead >= 0x80) { out += '?'; ++i; continue; }
        if (i + extra >= utf8.size()) { out += '?'; break; }
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) { valid = false; break; }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) { out += '?'; ++i; continue; }
        out += ByteOf(cp);
        i += extra + 1;
    }
    return out;
}

std::string Utf8(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 8);
    for (const char c : ansi)
        AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
    return out;
}

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

} // namespace dazo
