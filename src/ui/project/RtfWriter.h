// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writes a QTextDocument as RTF in the way common word processors write it
// themselves: Windows-1252 with \'xx and \uN escapes, a font and a colour
// table, paragraph properties only where they change, and bullet or number
// lists as \pntext and \pn groups that every RTF reader understands.

#include <QByteArray>

class QTextDocument;

namespace dazo::ui {

QByteArray WriteRtf(const QTextDocument& document);

} // namespace dazo::ui
