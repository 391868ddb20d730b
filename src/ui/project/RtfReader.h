// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reads RTF as word processors write it into a QTextDocument: text with fonts,
// sizes, bold, italic, underline, strike-out and colours; paragraphs with
// alignment, indents, spacing and bullet or number lists. Pictures, objects,
// style sheets and every other destination are left out.

#include <QByteArray>

class QTextDocument;

namespace dazo::ui {

// Whether the bytes begin like an RTF document ("{\rtf", after white space).
bool IsRtf(const QByteArray& bytes);

// Replaces the document's content. Bytes that are not RTF raise
// "ungültiges Dateiformat"; damaged RTF is read as far as it makes sense.
void ReadRtf(const QByteArray& rtf, QTextDocument& document);

} // namespace dazo::ui
