// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The settings file beside the program: the last project directory, the main
// window's bounds and the company data printed on the reports.

#include "project/IniFile.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace dazo {

struct WindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowBounds&) const = default;
};

// The bounds moved, and shrunk where they must, to lie within area, the part of
// the screen a window may take: a value from another screen layout or a
// damaged settings file must not put the window out of reach. No side is made
// smaller than the minimum unless the area is.
WindowBounds FitIntoArea(const WindowBounds& bounds, const WindowBounds& area, int minimumWidth, int minimumHeight);

// Keys of section "DATA", named after the company-data dialog's edits.
inline constexpr std::array<const char*, 6> kCompanyKeys = {"eLFirma", "eLStrasse", "eLOrt", "eLTel", "eLFax", "eLEMail"};

inline constexpr int kRecentFileCount = 8;

class TProgramSettings {
public:
    explicit TProgramSettings(const std::string& settingsFile);

    const std::string& FileName() const { return Ini.FileName(); }

    // A missing settings file is created with the six company-data keys.
    void EnsureExists();

    // "PROG"/"Path", or programDirectory when missing.
    std::string LastProjectDirectory(const std::string& programDirectory) const;

    // "PROG"/"WINPOS" when it holds exactly four integers.
    std::optional<WindowBounds> WindowPosition() const;

    // At shut-down: the project directory only while a project is open.
    void SaveOnShutdown(const std::optional<std::string>& projectDirectory, const WindowBounds& bounds);

    // The files opened last, newest first ("PROG"/"Recent1" ... "Recent8").
    std::vector<std::string> RecentFiles() const;
    // Puts the file first; an earlier entry of it goes, the ninth drops out.
    void AddRecentFile(const std::string& path);
    // Takes a file that could not be opened out of the list.
    void RemoveRecentFile(const std::string& path);

    std::string Company(const char* key) const;
    void SetCompany(const char* key, const std::string& value);

private:
    void WriteRecentFiles(std::vector<std::string> files);

    IniFile Ini;
};

} // namespace dazo
