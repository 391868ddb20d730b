// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/UserNumbers.h"

#include "common/DazoError.h"
#include "signal/uconst.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace dazo {
namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t SkipDigits(std::string_view s, std::size_t& pos)
{
    const std::size_t begin = pos;
    while (pos < s.size() && IsDigit(s[pos]))
        ++pos;
    return pos - begin;
}

// The number in s ([sign] digits [separator digits] [e [sign] digits]) as a
// text from_chars reads, or none when s is not such a number.
std::optional<std::string> NormalisedNumber(std::string_view s, char separator)
{
    std::string out;
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        if (s[pos] == '-')
            out += '-';
        ++pos;
    }
    std::size_t begin = pos;
    std::size_t digits = SkipDigits(s, pos);
    out.append(s.substr(begin, pos - begin));
    if (pos < s.size() && s[pos] == separator) {
        out += '.';
        begin = ++pos;
        digits += SkipDigits(s, pos);
        out.append(s.substr(begin, pos - begin));
    }
    if (digits == 0)
        return std::nullopt;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        out += 'e';
        ++pos;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-'))
            out += s[pos++];
        begin = pos;
        if (SkipDigits(s, pos) == 0)
            return std::nullopt;
        out.append(s.substr(begin, pos - begin));
    }
    if (pos != s.size())
        return std::nullopt;
    return out;
}

std::string WithSeparator(std::string text, FormatSettings format)
{
    for (char& c : text)
        if (c == '.')
            c = format.decimalSeparator;
    return text;
}

} // namespace

double UserTextToFloat(std::string_view text, FormatSettings format)
{
    const std::optional<std::string> number = NormalisedNumber(Trim(text), format.decimalSeparator);
    double value = 0;
    if (!number || std::from_chars(number->data(), number->data() + number->size(), value).ec != std::errc()
        || !std::isfinite(value))
        FailWith("'%s' ist kein gültiger Gleitkommawert", text);
    return value;
}

std::optional<long long> TextToWholeNumber(std::string_view text)
{
    std::string_view s = Trim(text);
    if (s.size() > 1 && s[0] == '+' && s[1] != '-')
        s.remove_prefix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

std::string UserFloatToText(double x, FormatSettings format)
{
    return WithSeparator(FloatToText(x), format);
}

std::string UserFixedText(double x, int decimals, FormatSettings format)
{
    char buffer[400];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
    return WithSeparator(std::string(buffer, written.ptr), format);
}

} // namespace dazo
