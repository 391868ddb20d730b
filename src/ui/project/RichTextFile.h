// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Rich-text documents on disk: RTF, or plain Windows-1252 text for files that
// are not RTF (loading) or are named "*.txt" (saving). Failures raise the
// German message with the file name.

#include <QString>

class QTextDocument;

namespace dazo::ui {

// "Datei %s kann nicht geöffnet werden" when the file cannot be read.
void LoadRichTextFile(const QString& fileName, QTextDocument& document);

// "In %s kann nicht geschrieben werden" when the file cannot be written; an
// existing file is replaced only once the new one is complete.
void SaveRichTextFile(const QString& fileName, const QTextDocument& document);

} // namespace dazo::ui
