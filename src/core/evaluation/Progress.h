// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace dazo {

// Feedback of long work that runs on the caller's thread: the window shows a
// progress bar, the command line a terminal bar.
struct Progress {
    virtual ~Progress() = default;
    // An empty caption leaves the display's default ("Berechnen").
    virtual void Start(int maximum, const std::string& caption) = 0;
    virtual void Step() = 0;
    virtual void Finish() = 0;
};

} // namespace dazo
