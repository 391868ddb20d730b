// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Numbers of the reports in a display format such as "#,0.00;-#,0.00", with
// the user's decimal and thousands separators.

#include "common/FormatSettings.h"

#include <string>
#include <string_view>

namespace dazo {

struct NumberDisplaySettings {
    char decimalSeparator = '.';
    char thousandsSeparator = ',';

    // The thousands separator that goes with a decimal separator: "." beside
    // ",", "," beside anything else.
    static constexpr NumberDisplaySettings For(FormatSettings format)
    {
        return {format.decimalSeparator, format.decimalSeparator == ',' ? '.' : ','};
    }
    FormatSettings Decimal() const { return FormatSettings{decimalSeparator}; }
};

// Formats value with up to three sections "positive;negative;zero". In a
// section "0" is a digit always shown, "#" a digit shown when significant,
// the first "." the decimal separator, a "," before it groups thousands, and
// text in quotes or any other character is printed as written. Without a
// negative section a "-" goes before the positive one; a value that rounds to
// zero is zero. An empty format gives the general float text; a value that is
// not finite gives an empty text.
std::string FormatDisplayNumber(double value, std::string_view format, const NumberDisplaySettings& settings);

} // namespace dazo
