// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace dazo::ui {

bool InstallGermanQtTranslations(QCoreApplication& app)
{
    // Qt's own directory first; Debian's package puts them there too.
    const QString directories[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                   QStringLiteral("/usr/share/qt6/translations")};
    auto* translator = new QTranslator(&app);
    for (const QString& directory : directories)
        if (translator->load(QStringLiteral("qtbase_de"), directory))
            return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

} // namespace dazo::ui
