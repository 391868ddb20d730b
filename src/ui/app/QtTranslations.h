// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Qt's own texts (the buttons of message boxes, the file, print and font
// dialogs, the print preview) in German whatever the process locale: the
// program speaks German throughout.

class QCoreApplication;

namespace dazo::ui {

// Installs Qt's German translations on the application; false when they are
// not installed on this system (Qt's texts then stay English).
bool InstallGermanQtTranslations(QCoreApplication& app);

} // namespace dazo::ui
