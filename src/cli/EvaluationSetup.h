// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the commands that evaluate a project share: a private program
// directory for the temporary report files, a progress bar on the terminal
// and the measurement the program loads first.

#include "evaluation/Progress.h"

#include <string>
#include <vector>

namespace dazo::cli {

// The evaluation runs as if the program lived in a fresh directory of its own,
// so its temporary report files never touch an installation.
class PrivateDataDirectory {
public:
    PrivateDataDirectory();
    ~PrivateDataDirectory();
    PrivateDataDirectory(const PrivateDataDirectory&) = delete;
    PrivateDataDirectory& operator=(const PrivateDataDirectory&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

class TerminalProgress : public Progress {
public:
    void Start(int maximum, const std::string& caption) override;
    void Step() override;
    void Finish() override;

private:
    void Draw() const;

    int maximum_ = 0;
    int done_ = 0;
    std::string caption_;
};

// The terminal progress when stderr is a terminal, else none.
Progress* ProgressOnTerminal(TerminalProgress& terminal);

// The measurement the program loads first: the first file of the first point
// that has measurements.
std::string FirstMeasurement(const std::vector<std::string>& pointLines);

} // namespace dazo::cli
