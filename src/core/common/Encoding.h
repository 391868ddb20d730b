// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace dazo {

// The core keeps every text as Windows-1252 bytes, the encoding of the files it
// reads and writes. These two convert at the edges (source literals, terminal).

// UTF-8 to Windows-1252; characters the code page lacks become '?'.
std::string Ansi(std::string_view utf8);

// Windows-1252 to UTF-8; the five undefined code points map to U+FFFD.
std::string Utf8(std::string_view ansi);

// A-Z lowered, every other byte kept: names in the files (sections, keys,
// extensions) compare without regard to case in ASCII only, whatever the
// process locale.
std::string AsciiLower(std::string_view text);

} // namespace dazo
