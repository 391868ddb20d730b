// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The column titles of the results tables on screen and on paper: the
// parameter with its unit, so that a printed table can be read on its own.

#include <string>
#include <string_view>

namespace dazo {

// "EDT [s]", "C80 [dB]", "D50 [–]", "Ts [ms]" (Windows-1252); a name that is
// not a parameter of the results file comes back as it is.
std::string ParameterHeading(std::string_view fieldName);

} // namespace dazo
