// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The comma lists of the project and settings files (point lines, result-cache
// records): how they are split into fields and how a text field is written.

#include <string>
#include <string_view>
#include <vector>

namespace dazo {

// Splits text into fields: a field in double quotes runs to the next single
// double quote ("" inside stands for one); any other field ends at a comma or a
// byte of code 32 or less. Blanks around fields are skipped; a text ending in a
// comma gives a final empty field. A NUL byte ends the text.
std::vector<std::string> SplitCommaText(std::string_view text);

// The text in double quotes with every double quote inside doubled, so that
// SplitCommaText gives it back as one field.
std::string QuoteField(std::string_view text);

} // namespace dazo
