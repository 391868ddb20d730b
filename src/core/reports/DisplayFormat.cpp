// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/DisplayFormat.h"

#include "reports/ResultsFiles.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace dazo {
namespace {

struct Section {
    std::string prefix; // text before the first digit
    std::string suffix; // text after it
    bool hasDigits = false;
    bool thousands = false;
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
};

std::vector<std::string_view> SplitSections(std::string_view format)
{
    std::vector<std::string_view> sections;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

Section ParseSection(std::string_view text)
{
    Section section;
    bool afterPoint = false;
    const auto literal = [&](char c) { (section.hasDigits ? section.suffix : section.prefix) += c; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            for (++i; i < text.size() && text[i] != c; ++i)
                literal(text[i]);
        } else if (c == '0' || c == '#') {
            section.hasDigits = true;
            if (afterPoint) {
                ++section.maxDecimals;
                if (c == '0')
                    section.minDecimals = section.maxDecimals;
            } else if (c == '0') {
                ++section.minIntegerDigits;
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
            section.hasDigits = true;
        } else if (c == ',') {
            section.thousands = section.thousands || !afterPoint;
        } else {
            literal(c);
        }
    }
    return section;
}

// The magnitude rounded to the section's decimals, as "123.45".
std::string FixedDigits(double magnitude, int decimals)
{
    char buffer[400];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, decimals).ptr;
    return std::string(buffer, end);
}

bool AllZero(std::string_view digits)
{
    return digits.find_first_not_of("0.") == std::string_view::npos;
}

std::string Apply(const Section& section, double magnitude, const NumberDisplaySettings& settings)
{
    if (!section.hasDigits)
        return section.prefix + section.suffix;
    const std::string digits = FixedDigits(magnitude, section.maxDecimals);
    const auto point = digits.find('.');
    std::string integer = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : digits.substr(point + 1);
    while (static_cast<int>(fraction.size()) > section.minDecimals && fraction.back() == '0')
        fraction.pop_back();
    if (integer == "0" && section.minIntegerDigits == 0)
        integer.clear();
    if (static_cast<int>(integer.size()) < section.minIntegerDigits)
        integer.insert(0, static_cast<std::size_t>(section.minIntegerDigits) - integer.size(), '0');
    if (section.thousands)
        for (auto at = integer.size(); at > 3; at -= 3)
            integer.insert(at - 3, 1, settings.thousandsSeparator);
    std::string text = section.prefix + integer;
    if (!fraction.empty())
        text += settings.decimalSeparator + fraction;
    return text + section.suffix;
}

} // namespace

std::string FormatDisplayNumber(double value, std::string_view format, const NumberDisplaySettings& settings)
{
    if (!std::isfinite(value))
        return {};
    if (format.empty())
        return GeneralFloatText(value, settings.Decimal());
    const auto texts = SplitSections(format);
    const Section positive = ParseSection(texts[0]);
    const double magnitude = std::fabs(value);
    if (AllZero(FixedDigits(magnitude, positive.maxDecimals))) {
        if (texts.size() >= 3 && !texts[2].empty())
            return Apply(ParseSection(texts[2]), 0, settings);
        return Apply(positive, 0, settings);
    }
    if (value > 0)
        return Apply(positive, magnitude, settings);
    if (texts.size() >= 2 && !texts[1].empty())
        return Apply(ParseSection(texts[1]), magnitude, settings);
    return "-" + Apply(positive, magnitude, settings);
}

} // namespace dazo
