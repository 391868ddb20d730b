// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DazoError.h"

#include "common/Encoding.h"

namespace dazo {

void Fail(std::string_view utf8Message)
{
    throw DazoError(Ansi(utf8Message));
}

void FailWith(std::string_view utf8Pattern, std::string_view ansiArgument)
{
    std::string message = Ansi(utf8Pattern);
    const auto at = message.find("%s");
    if (at != std::string::npos)
        message.replace(at, 2, ansiArgument);
    throw DazoError(message);
}

} // namespace dazo
