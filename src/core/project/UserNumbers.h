// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Numbers as the user types and reads them on screen: the decimal separator
// comes from the user's format settings, never from the process locale.

#include "common/FormatSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace dazo {

// Reads a decimal number written with the user's separator (blanks around it,
// an optional sign and exponent allowed). Anything else throws
// "'<text>' ist kein gültiger Gleitkommawert".
double UserTextToFloat(std::string_view text, FormatSettings format);

// A whole decimal number (blanks around it and a sign allowed), or none.
std::optional<long long> TextToWholeNumber(std::string_view text);

// General format with up to 15 significant digits and the user's separator.
std::string UserFloatToText(double x, FormatSettings format);

// Fixed format with the given number of decimals and the user's separator.
std::string UserFixedText(double x, int decimals, FormatSettings format);

} // namespace dazo
