// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dazo {

// The user's number format where it matters (results files, tables). Passed in
// rather than read from the process locale, so German and English behaviour
// can be exercised side by side.
struct FormatSettings {
    char decimalSeparator = '.';

    static constexpr FormatSettings English() { return {'.'}; }
    static constexpr FormatSettings German() { return {','}; }
};

} // namespace dazo
