// SPDX-License-Identifier: GPL-3.0-or-later
#include "EvaluationSetup.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "project/uMessPunkt.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace dazo::cli {

PrivateDataDirectory::PrivateDataDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "dazo-eval-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        FailWith("Verzeichnis %s kann nicht angelegt werden", pattern);
    path_ = pattern;
}

PrivateDataDirectory::~PrivateDataDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TerminalProgress::Start(int maximum, const std::string& caption)
{
    maximum_ = std::max(maximum, 0);
    done_ = 0;
    caption_ = caption.empty() ? "Berechnen" : Utf8(caption);
    Draw();
}

void TerminalProgress::Step()
{
    ++done_;
    Draw();
}

void TerminalProgress::Finish()
{
    std::cerr << "\n";
}

void TerminalProgress::Draw() const
{
    constexpr int kWidth = 30;
    const int filled = maximum_ > 0 ? std::min(done_, maximum_) * kWidth / maximum_ : kWidth;
    std::cerr << "\r" << caption_ << " [" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << done_ << "/" << maximum_
              << std::flush;
}

Progress* ProgressOnTerminal(TerminalProgress& terminal)
{
    return ::isatty(STDERR_FILENO) ? &terminal : nullptr;
}

std::string FirstMeasurement(const std::vector<std::string>& pointLines)
{
    for (const auto& line : pointLines) {
        TMessPunkt point;
        if (const auto files = ReadPointLine(point, line); !files.empty())
            return files.front();
    }
    Fail("Das Projekt enthält keine Messung");
}

} // namespace dazo::cli
