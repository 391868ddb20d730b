// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the program keeps its settings, report templates and temporary report
// files: beside the program, or, when its directory is not writable (an
// installation under /usr), in the user's XDG data and config directories.

#include <string>
#include <string_view>

namespace dazo {

class ProgramPaths {
public:
    // The paths of the program installed at executablePath.
    explicit ProgramPaths(std::string executablePath);
    // The paths of the running program (/proc/self/exe).
    static ProgramPaths OfRunningProgram();

    const std::string& ExecutablePath() const { return executablePath_; }
    std::string ProgramDirectory() const;
    bool ProgramDirectoryWritable() const { return writable_; }

    // Created on demand when it is the per-user directory.
    std::string DataDirectory() const;
    std::string SettingsFile() const;
    std::string CompanyDataFile() const;        // the settings file with ".$$$"
    std::string ResultsFile() const;            // "temp.$$$"
    std::string PointsFile() const;             // "temp1.$$$"
    std::string TemplateFile(std::string_view name) const; // "tabelle.rtm" and the like

private:
    std::string executablePath_;
    bool writable_;
};

} // namespace dazo
