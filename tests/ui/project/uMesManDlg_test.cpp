// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/uMesManDlg.h"

#include "common/Encoding.h"
#include "project/DialogHelpers.h"
#include "project/IniFile.h"
#include "project/uMessPunkt.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace dazo::ui {
namespace {

class MesManDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        file = dir.Write("p.npj", Ansi("[Messungen]\n"
                                       "MP1=\"Messpunkt 1\",\"Raummitte\",,1.2,1.5,\"Bühne\",1.6,2,,,,\"r01.tim\",\"r02.tim\",\n"
                                       "MP2=\"Messpunkt 2\",,,0,0,,0,0,,,,\n"
                                       "MP3=\"Messpunkt 3\",,,0,0,,0,0,,,,\"r03.tim\",\n"
                                       "[DATA]\neOName=Stadthalle\ncONutzung=Konzertsaal\n"));
        dlg.OnMeasurementSelect = [this](const QString& path) { loaded.push_back(path); };
        dlg.Dialogs.AskYesNo = [this](const QString& caption, const QString& text) {
            questions.push_back(caption + '|' + text);
            return answerYes;
        };
        dlg.LoadPoints(file, IniFile(file).ReadSectionValues("Messungen"));
        tree = dlg.findChild<QTreeWidget*>("MessView");
        pages = dlg.findChild<QStackedWidget*>("PageControl1");
    }

    QTreeWidgetItem* Point(int index) const { return tree->topLevelItem(0)->child(index); }
    QString Dir() const { return QString::fromStdString(dir.Path().string()) + '/'; }
    void Trigger(const char* action) const { dlg.findChild<QAction*>(action)->trigger(); }
    QLineEdit* Edit(const char* name) const { return dlg.findChild<QLineEdit*>(name); }
    static void LeaveControl(QWidget* control)
    {
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(control, &focusOut);
    }
    std::string Line(const char* key) const { return IniFile(file).ReadString("Messungen", key); }

    dazo::test::TempDir dir;
    std::string file;
    TMesManDlg dlg{nullptr, FormatSettings::German()};
    std::vector<QString> loaded;
    std::vector<QString> questions;
    bool answerYes = true;
    QTreeWidget* tree = nullptr;
    QStackedWidget* pages = nullptr;
};

TEST_F(MesManDlgTest, LoadShowsTheTreeAndSelectsTheStandardMeasurement)
{
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Messort");
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 3);
    EXPECT_EQ(Point(0)->child(0)->text(0), "<<Messung 1>>");
    EXPECT_EQ(Point(0)->child(1)->text(0), "Messung 2");
    EXPECT_EQ(Point(1)->childCount(), 0);
    EXPECT_EQ(tree->currentItem(), Point(0)->child(0));
    EXPECT_EQ(pages->currentIndex(), 2);
    EXPECT_EQ(Edit("eMessName")->text(), "r01.tim");
    EXPECT_EQ(loaded, std::vector<QString>{Dir() + "r01.tim"});
    EXPECT_EQ(dlg.MeasurementCaption(), "Messpunkt 1 (1)");

    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(Edit("eOName")->text(), "Stadthalle");
    EXPECT_EQ(Edit("cONutzung")->text(), "Konzertsaal");
    EXPECT_EQ(Edit("eOOrt")->text(), "");
}

TEST_F(MesManDlgTest, StandardButtonAndDoubleClick)
{
    tree->setCurrentItem(Point(2)->child(0));
    dlg.findChild<QPushButton*>("bStandard")->click();
    EXPECT_EQ(loaded.back(), Dir() + "r03.tim");
    EXPECT_EQ(dlg.MeasurementCaption(), "Messpunkt 3 (1)");
    EXPECT_EQ(Point(2)->child(0)->text(0), "<<Messung 1>>");
    EXPECT_EQ(Point(0)->child(0)->text(0), "Messung 1");

    tree->setCurrentItem(Point(0)->child(1));
    emit tree->itemDoubleClicked(Point(0)->child(1), 0);
    EXPECT_EQ(loaded.back(), Dir() + "r02.tim");
    EXPECT_EQ(dlg.MeasurementCaption(), "Messpunkt 1 (2)");
}

TEST_F(MesManDlgTest, PointPageWritesBackOnLeavingAControl)
{
    tree->setCurrentItem(Point(0));
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_EQ(Edit("eMesspunkt")->text(), "Messpunkt 1");
    EXPECT_EQ(dlg.findChild<QComboBox*>("cLautPos")->currentText(), "Bühne");
    EXPECT_EQ(Edit("eMicAbBoden")->text(), "1,2");

    Edit("eMesspunkt")->setText("Altar");
    Edit("eMicAbBoden")->setText("2,5");
    LeaveControl(Edit("eMicAbBoden"));
    EXPECT_EQ(Point(0)->text(0), "Altar");
    EXPECT_EQ(dlg.Model().PointAt(0).data.MicAbBoden, 2.5);

    Edit("eMesspunkt")->setText("Kanzel");
    Edit("eMicAbWand")->setText("2.5");
    const auto message = test::CloseNextMessageBox();
    LeaveControl(Edit("eMicAbWand"));
    EXPECT_EQ(*message, "'2.5' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(dlg.Model().PointAt(0).data.Name, "Kanzel");
    EXPECT_EQ(Point(0)->text(0), "Altar");

    // Leaving the point page saves.
    Edit("eMicAbWand")->setText("3");
    LeaveControl(Edit("eMicAbWand"));
    tree->setCurrentItem(Point(0)->child(0));
    EXPECT_EQ(Line("MP1"), "\"Kanzel\",\"Raummitte\",\"\",2.5,3,\"B\xFChne\",1.6,2,\"\",\"\",\"\",\"r01.tim\",\"r02.tim\",");
}

TEST_F(MesManDlgTest, MenuCommandsChangeTheProjectFile)
{
    tree->setCurrentItem(tree->topLevelItem(0));
    Trigger("Messungeinfgen1"); // "Messpunkt einfügen"
    EXPECT_EQ(Line("MP4"), "\"Messpunkt 4\",,,0,0,,0,0,,,,");
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 4);
    EXPECT_EQ(Point(1)->text(0), "Messpunkt 2"); // not in the file, still listed
    EXPECT_EQ(Point(3)->text(0), "Messpunkt 4");

    tree->setCurrentItem(Point(3));
    test::PickInNextFileDialog(QString::fromStdString(dir.Write("r09.tim", "")));
    Trigger("Messungeinfgen2"); // "Messung einfügen"
    EXPECT_EQ(Line("MP3"), "\"Messpunkt 4\",\"\",\"\",0,0,\"\",0,0,\"\",\"\",\"\",\"r09.tim\",");
    ASSERT_EQ(Point(3)->childCount(), 1);

    tree->setCurrentItem(Point(2)->child(0));
    Trigger("Messunglschen1"); // "Messung löschen"
    EXPECT_EQ(IniFile(file).ReadSection("Messungen"), (std::vector<std::string>{"MP1", "MP2"}));
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(Point(1)->text(0), "Messpunkt 4");
    EXPECT_EQ(tree->currentItem(), Point(0)->child(0));
    EXPECT_EQ(loaded.back(), Dir() + "r01.tim");

    tree->setCurrentItem(Point(0));
    Trigger("Punktlschen1"); // "Messpunkt löschen"
    EXPECT_EQ(IniFile(file).ReadSection("Messungen"), std::vector<std::string>{"MP1"});
    EXPECT_EQ(Line("MP1"), "\"Messpunkt 4\",\"\",\"\",0,0,\"\",0,0,\"\",\"\",\"\",\"r09.tim\",");
    EXPECT_EQ(IniFile(file).ReadString("DATA", "eAnzMessungen"), "1");
}

TEST_F(MesManDlgTest, CommandsThatEraseStoredResultsAskFirst)
{
    // Crop settings and cached results of a measurement, which every one of these commands erases.
    IniFile(file).WriteString("r01.tim", "MPA", "100");
    const struct {
        const char* action;
        std::function<QTreeWidgetItem*()> node;
        const char* caption;
    } cases[] = {{"ResetMessungen1", [this] { return tree->topLevelItem(0); }, "Reset Messungen"},
                 {"Punktlschen1", [this] { return Point(1); }, "Messpunkt löschen"},
                 {"Messunglschen1", [this] { return Point(2)->child(0); }, "Messung löschen"}};
    for (const auto& c : cases) {
        tree->setCurrentItem(c.node());
        const std::string before = dazo::test::ReadBytes(file);
        questions.clear();
        answerYes = false;
        Trigger(c.action);
        ASSERT_EQ(questions.size(), 1u) << c.action;
        EXPECT_TRUE(questions[0].startsWith(QString::fromUtf8(c.caption) + "|ACHTUNG: ")) << questions[0].toStdString();
        EXPECT_EQ(dazo::test::ReadBytes(file), before) << c.action;
    }
    // Yes: the point goes, and with it the stored settings of every measurement.
    tree->setCurrentItem(Point(1));
    answerYes = true;
    Trigger("Punktlschen1");
    EXPECT_FALSE(IniFile(file).ValueExists("r01.tim", "MPA"));
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 2);
}

TEST_F(MesManDlgTest, TheTreeIsFullyExpandedAfterInsertsAndDeletes)
{
    const auto allExpanded = [this] {
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->childCount() > 0 && !(*it)->isExpanded())
                return false;
        return true;
    };
    tree->setCurrentItem(tree->topLevelItem(0));
    Trigger("Messungeinfgen1");
    EXPECT_TRUE(allExpanded());
    tree->setCurrentItem(Point(2));
    test::PickInNextFileDialog(QString::fromStdString(dir.Write("r04.tim", "")));
    Trigger("Messungeinfgen2");
    ASSERT_EQ(Point(2)->childCount(), 2);
    EXPECT_TRUE(allExpanded());
    tree->setCurrentItem(Point(0)->child(1));
    Trigger("Messunglschen1");
    EXPECT_TRUE(allExpanded());
}

TEST_F(MesManDlgTest, AMeasurementFromAnotherFolderIsCopiedIntoTheProjectOrNotTaken)
{
    std::filesystem::create_directory(dir.File("fremd"));
    const QString foreign = QString::fromStdString(dir.Write("fremd/r07.tim", "Messung"));
    dlg.Dialogs.ChooseMeasurementFile = [&] { return foreign; };
    tree->setCurrentItem(Point(2));

    answerYes = false; // not copied: not inserted, and said so
    auto message = test::CloseNextMessageBox();
    Trigger("Messungeinfgen2");
    EXPECT_TRUE(message->contains("r07.tim")) << message->toStdString();
    EXPECT_EQ(Line("MP3"), "\"Messpunkt 3\",,,0,0,,0,0,,,,\"r03.tim\",");
    EXPECT_FALSE(std::filesystem::exists(dir.File("r07.tim")));

    answerYes = true;
    tree->setCurrentItem(Point(2));
    Trigger("Messungeinfgen2");
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_TRUE(questions[1].contains("In den Projektordner kopieren?"));
    EXPECT_EQ(dazo::test::ReadBytes(dir.File("r07.tim")), "Messung");
    // Saved: "Messpunkt 2", without measurements, is no longer in the file.
    EXPECT_EQ(Line("MP2"), "\"Messpunkt 3\",\"\",\"\",0,0,\"\",0,0,\"\",\"\",\"\",\"r03.tim\",\"r07.tim\",");

    // A file of that name in the project folder is never replaced.
    dir.Write("fremd/r03.tim", "andere Messung");
    const std::string before = dazo::test::ReadBytes(file);
    dir.Write("r03.tim", "eigene Messung");
    tree->setCurrentItem(Point(2));
    dlg.Dialogs.ChooseMeasurementFile = [&] { return QString::fromStdString(dir.File("fremd/r03.tim")); };
    message = test::CloseNextMessageBox();
    Trigger("Messungeinfgen2");
    EXPECT_TRUE(message->contains("schon eine Datei")) << message->toStdString();
    EXPECT_EQ(dazo::test::ReadBytes(dir.File("r03.tim")), "eigene Messung");
    EXPECT_EQ(dazo::test::ReadBytes(file), before);
}

TEST_F(MesManDlgTest, OpeningAnotherProjectWritesNothing)
{
    tree->setCurrentItem(Point(0)); // the point page, whose leaving saves
    const std::string single = dir.File("r05.npj");
    dlg.LoadPoints(single, {SingleMeasurementPointList("r05.tim")});
    EXPECT_FALSE(std::filesystem::exists(single));
    EXPECT_EQ(loaded.back(), Dir() + "r05.tim");
    EXPECT_EQ(pages->currentIndex(), 2);
}

TEST_F(MesManDlgTest, AShortLineStopsTheLoadWithAMessage)
{
    loaded.clear();
    const auto message = test::CloseNextMessageBox();
    dlg.LoadPoints(file, {"MP1=\"A\",,,0,0,,0,0,,,,\"a.tim\",", "MP2=\"B\",,"});
    EXPECT_EQ(*message, "falsches Datenformat");
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
    EXPECT_FALSE(tree->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(loaded.empty());
    EXPECT_EQ(dlg.MeasurementCaption(), "");
}

TEST_F(MesManDlgTest, InsertDialogOffersAudioFiles)
{
    EXPECT_EQ(dlg.findChild<QFileDialog*>("OpenDialog1")->nameFilters(),
              (QStringList{"MLSSA (*.tim)", "QEL Exportfile (*.qel)", "Audio (*.wav *.flac *.aif *.aiff)"}));
}

} // namespace
} // namespace dazo::ui
