// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/RichTextFile.h"

#include "bridge/AnsiText.h"
#include "common/DazoError.h"
#include "project/RtfReader.h"
#include "project/RtfWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>

namespace dazo::ui {
namespace {

bool IsTextFileName(const QString& fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

QString PlainText(const QByteArray& bytes)
{
    QString text = FromAnsi(bytes.toStdString());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QByteArray PlainBytes(const QTextDocument& document)
{
    QString text = document.toPlainText();
    text.replace(u'\n', QLatin1String("\r\n"));
    return QByteArray::fromStdString(ToAnsi(text));
}

} // namespace

void LoadRichTextFile(const QString& fileName, QTextDocument& document)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        FailWith("Datei %s kann nicht geöffnet werden", ToAnsi(fileName));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        FailWith("Datei %s kann nicht geöffnet werden", ToAnsi(fileName));
    if (IsRtf(bytes)) {
        ReadRtf(bytes, document);
    } else {
        document.setPlainText(PlainText(bytes));
        document.setModified(false);
    }
}

void SaveRichTextFile(const QString& fileName, const QTextDocument& document)
{
    QSaveFile file(fileName);
    const QByteArray bytes = IsTextFileName(fileName) ? PlainBytes(document) : WriteRtf(document);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        FailWith("In %s kann nicht geschrieben werden", ToAnsi(fileName));
}

} // namespace dazo::ui
