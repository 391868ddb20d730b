// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/MemoText.h"

#include "bridge/AnsiText.h"

namespace dazo::ui {

void SetMemoText(QPlainTextEdit* memo, const std::string& ansi)
{
    QString text = FromAnsi(ansi);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    memo->setPlainText(text);
}

std::string MemoText(const QPlainTextEdit* memo)
{
    QString text = memo->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return ToAnsi(text);
}

} // namespace dazo::ui
