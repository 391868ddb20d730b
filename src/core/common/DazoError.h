// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace dazo {

// The one error type of the program. what() is the German message shown to
// the user, as Windows-1252 bytes like every other text of the core.
class DazoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Builds a DazoError from a UTF-8 source literal ("ungültiges Dateiformat").
[[noreturn]] void Fail(std::string_view utf8Message);

// printf-like message with one %s replaced by an argument already in Windows-1252
// ("In %s kann nicht geschrieben werden").
[[noreturn]] void FailWith(std::string_view utf8Pattern, std::string_view ansiArgument);

} // namespace dazo
