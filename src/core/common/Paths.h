// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// File-name arithmetic on byte strings, with "/" (and "\" from old project
// files) as directory separators.

#include <string>
#include <string_view>

namespace dazo {

// "dir/r01.tim" -> "r01.tim"
std::string BareFileName(std::string_view path);

// "dir/r01.tim" -> "dir" ("" for a bare name)
std::string DirectoryOf(std::string_view path);

// "dir/r01.tim" -> ".tim" in lower case ("" without extension)
std::string ExtensionLower(std::string_view path);

// "dir/r01.tim", ".npj" -> "dir/r01.npj" (appended when there is no extension)
std::string ChangeExtension(std::string_view path, std::string_view extension);

// "dir", "r01.tim" -> "dir/r01.tim"; an empty directory gives the bare name.
std::string JoinPath(std::string_view directory, std::string_view name);

} // namespace dazo
