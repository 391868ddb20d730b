// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dazo::cli {

// The words after the command: positional arguments and "--name [value]" options.
class CommandLine {
public:
    CommandLine(int argc, char** argv, int first);

    const std::vector<std::string>& Positional() const { return positional_; }
    bool Flag(const std::string& name);
    std::optional<std::string> Value(const std::string& name);
    // An option whose value may be left out: none when the option is absent,
    // its value when accepts takes it, else an empty text (the word after it
    // belongs to the positionals again).
    std::optional<std::string> OptionalValue(const std::string& name, bool (*accepts)(const std::string& value));
    // Fails on any option no command asked for.
    void RequireAllUsed() const;

private:
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::optional<std::string>>> options_;
    std::vector<std::string> used_;
};

int RunInfo(CommandLine& args);
int RunCurves(CommandLine& args);
int RunResults(CommandLine& args);

} // namespace dazo::cli
