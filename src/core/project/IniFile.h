// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The profile (INI) files of the program: the project file and the settings
// file. Sections and keys match without regard to ASCII case; everything this
// class does not touch (other sections, unknown keys, comments, blank lines) is
// written back byte for byte. Missing files, sections and keys read as empty.
// Every write replaces the whole file atomically (temp file, flush, rename).
// Parsed files are cached per path and checked against the file on each call,
// so opening the same file again and again costs no re-parse.

#include "signal/uconst.h"

#include <string>
#include <string_view>
#include <vector>

namespace dazo {

class IniFile {
public:
    explicit IniFile(std::string fileName);

    const std::string& FileName() const;
    bool FileExists() const;

    // A value read back is cut to 2047 bytes; a value in a pair of double (or of
    // single) quotes comes back without them.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def = {}) const;
    // A value that is not a decimal integer gives def.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;

    // Replaces the value where it stands or appends the key after the last key
    // of its section (a new section at the end of the file). A file that cannot
    // be written throws "In <file> kann nicht geschrieben werden".
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);

    // Key names, and "key=value" lines, in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::string> ReadSectionValues(std::string_view section) const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    // Neither creates a missing file.
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    // Erases the section and appends it anew at the end of the file with these
    // keys, all in one write; an empty list only erases.
    void ReplaceSection(std::string_view section, const std::vector<KeyValue>& values);

private:
    std::string fileName_;
};

} // namespace dazo
