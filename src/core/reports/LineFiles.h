// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whole-file line lists: the report data files are written and read as lines
// of Windows-1252 bytes, taken as they are.

#include <string>
#include <vector>

namespace dazo {

// Lines ended by CR LF or LF (a last line without an end counts too). A missing
// or unreadable file throws "Datei <file> kann nicht geöffnet werden".
std::vector<std::string> ReadLines(const std::string& fileName);

// Every line ended by CR LF; no lines give an empty file. The lines go to a new
// file beside the target that is renamed over it, so a reader never sees half
// a file.
void WriteLines(const std::string& fileName, const std::vector<std::string>& lines);

// Deletes the file if it exists; a file that does not exist is no error.
void DeleteFileIfExists(const std::string& fileName);

} // namespace dazo
