// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "common/DazoError.h"

#include <algorithm>

namespace dazo::cli {

CommandLine::CommandLine(int argc, char** argv, int first)
{
    for (int i = first; i < argc; ++i) {
        std::string word = argv[i];
        if (word.rfind("--", 0) != 0) {
            positional_.push_back(word);
            continue;
        }
        std::optional<std::string> value;
        if (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0)
            value = argv[++i];
        options_.emplace_back(word.substr(2), value);
    }
}

bool CommandLine::Flag(const std::string& name)
{
    used_.push_back(name);
    for (auto& [option, value] : options_) {
        if (option != name)
            continue;
        if (value) { // a flag takes no value: give the word back to the positionals
            positional_.push_back(*value);
            value.reset();
        }
        return true;
    }
    return false;
}

std::optional<std::string> CommandLine::OptionalValue(const std::string& name,
                                                     bool (*accepts)(const std::string& value))
{
    used_.push_back(name);
    for (auto& [option, value] : options_) {
        if (option != name)
            continue;
        if (value && accepts(*value))
            return value;
        if (value) {
            positional_.push_back(*value);
            value.reset();
        }
        return std::string();
    }
    return std::nullopt;
}

std::optional<std::string> CommandLine::Value(const std::string& name)
{
    used_.push_back(name);
    for (const auto& [option, value] : options_) {
        if (option != name)
            continue;
        if (!value)
            FailWith("Option --%s braucht einen Wert", name);
        return value;
    }
    return std::nullopt;
}

void CommandLine::RequireAllUsed() const
{
    for (const auto& [option, value] : options_)
        if (std::find(used_.begin(), used_.end(), option) == used_.end())
            FailWith("unbekannte Option --%s", option);
}

} // namespace dazo::cli
