// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small conversions every file of the program relies on: numbers with "." as
// decimal point whatever the user's locale, key=value splitting, the
// %-escaping of multi-line texts, and the band labels.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dazo {

// Labels of the analysis calculators 1..10 (index = CalcFunction - 1).
inline constexpr std::array<const char*, 10> BandLabels = {
    "ungefiltert", "31.5", "63", "125", "250", "500", "1000", "2000", "4000", "8000"};

struct KeyValue {
    std::string key;
    std::string value;
};

// Splits at the first occurrence of separator; both parts trimmed of blanks and
// control codes. No separator: both empty.
KeyValue SplitKeyValue(std::string_view line, char separator);

// General format with 15 significant digits and "." as decimal point
// (1.5, -0.25, 0.0001, 1E-5, 1E20, 2.5E21).
std::string FloatToText(double x);

// Reads the valid leading part of a decimal number ("." only); 0 when there is none.
double TextToFloat(std::string_view s);

// Strict decimal integer: an optional sign and digits, nothing else, within
// 32 bits; none for anything else.
std::optional<int32_t> ParseInteger(std::string_view s);

// The same, raising "'<s>' ist kein gültiger Integerwert" for anything else.
int32_t TextToInteger(std::string_view s);

// NUL, LF, CR and "%" become "%0", "%n", "%c", "%%".
std::string EscapeText(std::string_view s);

// Inverse of EscapeText. A "%" followed by any other byte, or at the very end,
// is kept as it stands.
std::string UnescapeText(std::string_view s);

// Removes leading and trailing bytes with codes 0..32 (blanks and control codes).
std::string_view Trim(std::string_view s);

} // namespace dazo
