// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Multi-line texts between the core and the memos: the files keep line breaks
// as CR LF, Qt's editors as LF.

#include <QPlainTextEdit>
#include <QString>
#include <string>

namespace dazo::ui {

void SetMemoText(QPlainTextEdit* memo, const std::string& ansi);
std::string MemoText(const QPlainTextEdit* memo);

} // namespace dazo::ui
