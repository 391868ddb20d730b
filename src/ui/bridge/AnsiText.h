// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one crossing between the core's Windows-1252 byte strings and Qt's
// Unicode strings, and the user's number format taken from the locale.

#include "common/FormatSettings.h"

#include <QString>
#include <string>

namespace dazo::ui {

QString FromAnsi(const std::string& ansi);
std::string ToAnsi(const QString& text);

// The decimal separator of the user's locale (QLocale::system()).
FormatSettings UserFormat();

} // namespace dazo::ui
