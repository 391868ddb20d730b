// SPDX-License-Identifier: GPL-3.0-or-later
#include "signal/uconst.h"

#include "common/DazoError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace dazo {
namespace {

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Advances pos over decimal digits; returns how many there were.
std::size_t SkipDigits(std::string_view s, std::size_t& pos)
{
    const std::size_t begin = pos;
    while (pos < s.size() && IsDigit(s[pos]))
        ++pos;
    return pos - begin;
}

// The byte the pair "%code" stands for, or -1 when code makes no pair.
int EscapedByte(char code)
{
    switch (code) {
    case '%': return '%';
    case '0': return '\0';
    case 'c': return '\r';
    case 'n': return '\n';
    default: return -1;
    }
}

} // namespace

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlankOrControl(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlankOrControl(s.back()))
        s.remove_suffix(1);
    return s;
}

KeyValue SplitKeyValue(std::string_view line, char separator)
{
    const auto at = line.find(separator);
    if (at == std::string_view::npos)
        return {};
    return {std::string(Trim(line.substr(0, at))), std::string(Trim(line.substr(at + 1)))};
}

std::string FloatToText(double x)
{
    if (std::isnan(x))
        return "NAN";
    if (std::isinf(x))
        return x < 0 ? "-INF" : "INF";
    if (x == 0)
        return "0";

    // The largest doubles would round up past the double's range at 15
    // digits, and such a text reads back as no number at all: they are written
    // as the largest 15-digit value instead.
    constexpr double kLargestText = 1.79769313486231e308;
    // Scientific text with 15 significant digits: "-d.dddddddddddddde-XX".
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::min(std::fabs(x), kLargestText),
                                       std::chars_format::scientific, 14);
    const std::string_view scientific(buffer, written.ptr - buffer);
    const auto ePos = scientific.find('e');
    std::string digits(1, scientific[0]);
    digits += scientific.substr(2, ePos - 2);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string_view exponentText = scientific.substr(ePos + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    // The value is 0.d1d2... * 10^E.
    const int e = exponent + 1;
    const auto count = static_cast<int>(digits.size());
    std::string text = x < 0 ? "-" : "";
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            text += "0.";
            text.append(-e, '0');
            text += digits;
        } else if (count <= e) {
            text += digits;
            text.append(e - count, '0');
        } else {
            text.append(digits, 0, e);
            text += '.';
            text.append(digits, e);
        }
    } else {
        text += digits[0];
        if (count > 1) {
            text += '.';
            text.append(digits, 1);
        }
        text += 'E';
        text += std::to_string(e - 1);
    }
    return text;
}

double TextToFloat(std::string_view s)
{
    std::size_t pos = 0;
    while (pos < s.size() && IsBlankOrControl(s[pos]))
        ++pos;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }
    const std::size_t begin = pos;
    std::size_t mantissaDigits = SkipDigits(s, pos);
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        mantissaDigits += SkipDigits(s, pos);
    }
    if (mantissaDigits == 0)
        return 0;
    std::size_t end = pos;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        std::size_t exponentPos = pos + 1;
        if (exponentPos < s.size() && (s[exponentPos] == '+' || s[exponentPos] == '-'))
            ++exponentPos;
        if (SkipDigits(s, exponentPos) > 0)
            end = exponentPos;
    }
    double value = 0;
    // Out of the double's range: no usable value, so 0 like any other non-number.
    if (std::from_chars(s.data() + begin, s.data() + end, value).ec != std::errc())
        return 0;
    return negative ? -value : value;
}

std::string EscapeText(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        switch (c) {
        case '\0': out += "%0"; break;
        case '\n': out += "%n"; break;
        case '\r': out += "%c"; break;
        case '%': out += "%%"; break;
        default: out += c;
        }
    }
    return out;
}

std::string UnescapeText(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 1 < s.size()) {
            if (const int decoded = EscapedByte(s[i + 1]); decoded >= 0) {
                out += static_cast<char>(decoded);
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

std::optional<int32_t> ParseInteger(std::string_view s)
{
    if (s.size() > 1 && s.front() == '+' && s[1] != '-')
        s.remove_prefix(1);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

int32_t TextToInteger(std::string_view s)
{
    const auto value = ParseInteger(s);
    if (!value)
        FailWith("'%s' ist kein gültiger Integerwert", s);
    return *value;
}

} // namespace dazo
