// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtTranslations.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

namespace dazo::ui {
namespace {

// Qt's own buttons speak German whatever the locale; the other tests keep Qt's English.
TEST(QtTranslationsTest, MessageBoxButtonsAreGerman)
{
    ASSERT_TRUE(InstallGermanQtTranslations(*qApp));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Frage"), QStringLiteral("Text"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "&Ja");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "&Nein");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Abbrechen");
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace
} // namespace dazo::ui
