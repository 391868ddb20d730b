// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ParameterHeadings.h"

#include "common/Encoding.h"

#include <array>
#include <utility>

namespace dazo {

std::string ParameterHeading(std::string_view fieldName)
{
    // Decay times in seconds, clarities in dB, definitions as ratios 0 … 1,
    // the centre time in milliseconds.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kUnits = {{
        {"EDT", "s"}, {"RT20", "s"}, {"RT30", "s"}, {"RTxx", "s"},
        {"C35", "dB"}, {"C50", "dB"}, {"C80", "dB"}, {"Cxx", "dB"},
        {"D50", "\x96"}, {"D80", "\x96"}, {"Ts", "ms"},
    }};
    for (const auto& [name, unit] : kUnits)
        if (AsciiLower(name) == AsciiLower(fieldName))
            return std::string(name) + " [" + std::string(unit) + "]";
    return std::string(fieldName);
}

} // namespace dazo
