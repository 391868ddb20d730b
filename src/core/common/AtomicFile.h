// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every file the program writes is replaced as a whole: the new content goes
// to a temp file beside it ("<file>.tmp<pid>"), is flushed to disk and renamed
// over the file. A crash or a full disk leaves the old file or the new one,
// never a torn one; temp files left by writers that died are removed by the
// next replacement of the file.

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

namespace dazo {

inline constexpr const char* kCannotWrite = "In %s kann nicht geschrieben werden";
inline constexpr const char* kCannotCreate = "Datei %s kann nicht erstellt werden";

// Throws uncreatable (with the file's name) when the temp file cannot be
// created, kCannotWrite when writing, flushing or renaming fails; the temp
// file is removed then. mode, when given, is the new file's permission bits.
// Returns the new file's status.
struct stat ReplaceFileContent(const std::string& fileName, std::string_view content,
                               const char* uncreatable = kCannotWrite, std::optional<mode_t> mode = {});

} // namespace dazo
