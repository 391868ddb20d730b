// SPDX-License-Identifier: GPL-3.0-or-later
#include "bridge/AnsiText.h"

#include "common/Encoding.h"

#include <QLocale>

namespace dazo::ui {

QString FromAnsi(const std::string& ansi)
{
    return QString::fromStdString(Utf8(ansi));
}

std::string ToAnsi(const QString& text)
{
    return Ansi(text.toStdString());
}

FormatSettings UserFormat()
{
    const QString point = QLocale::system().decimalPoint();
    return FormatSettings{point.size() == 1 && point.at(0).unicode() < 0x80 ? static_cast<char>(point.at(0).unicode()) : '.'};
}

} // namespace dazo::ui
