// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/ProjekdatenDlg.h"

#include "project/DialogHelpers.h"
#include "project/IniFile.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolButton>

#include <gtest/gtest.h>

namespace dazo::ui {
namespace {

// The keys of section "DATA" in the order a first save writes them.
const std::vector<std::string> kKeys = {
    "eOName", "eOStrasse", "eOOrt", "cONutzung", "cONutzungsart", "cOLage", "eOVon", "eOBis", "eOPruefer", "eOPruefNr",
    "eAFirma", "eAStrasse", "eAOrt", "EATel", "eAFax", "eAEMail",
    "eRVLaenge", "eRVBreite", "eRVHoehe", "eRVQBM", "eRVNote",
    "eRNSitze", "cRNSitzeTyp", "cRNSitzePolster", "cRNSitzeMat", "cRNSitzeArt", "cRNSitzeTeile", "mRNNote",
    "cRMForm", "cRMSwand", "eRMSWandHT", "cRMVWand", "eRMVWandHT", "cRMRWand", "eRMRWandHT", "cRMDecke",
    "eRMDeckeHT", "cRMFussboden",
    "eRBPersonen", "eRBPersMes", "eRBPersProzent", "mRBNote",
    "cRZVorhangBuehne", "cRZVorhangEisen", "cRZVorhangBStoff", "cRZVorhangSStoff", "cRZNachhallSys", "cRZBAnlage",
    "mRZNote1", "mRZNote2",
    "eRKTemp", "cRKTempEinheit", "eRKLuftfeuchte", "eRKLuftDruck",
    "PBeschall", "eSHersteller", "eSTyp", "eSLAnz", "eSRFakor", "eSPegel", "eSAbSpl", "mSNote",
    "eSLHersteller", "eSLTyp", "cSLOmni", "eSMPegel", "eSMAbSpl", "eSLRFaktor",
    "cSSSignal", "mSSNote",
    "eOMasstab", "eSkizze",
    "eGMicHer", "eGMicTyp", "eGMicSnr", "eGVHer", "eGVTyp", "eGVSnr", "eGMGHer", "eGMGTyp", "eGMGSnr",
    "eGSPHer", "eGSPTyp", "eGSPSnr", "eGFHer", "eGFTyp", "eGFSnr", "eGPHer", "eGPTyp", "eGPSnr",
    "eGAHer", "eGATyp", "eGASnr",
    "eGM1Name", "eGM1Her", "eGM1Typ", "eGM1Snr", "eGM2Name", "eGM2Her", "eGM2Typ", "eGM2Snr",
    "eGM3Name", "eGM3Her", "eGM3Typ", "eGM3Snr", "eGM4Name", "eGM4Her", "eGM4Typ", "eGM4Snr"};

QString TextOf(const QWidget* control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(control))
        return memo->toPlainText();
    return {};
}

class ProjectDlgTest : public testing::Test {
protected:
    QWidget* Control(const TProjectDlg& window, const std::string& key) const
    {
        return window.findChild<QWidget*>(QString::fromStdString(key));
    }
    QLineEdit* Edit(const char* name) const { return dlg.findChild<QLineEdit*>(name); }
    std::string Data(const char* key) const { return IniFile(file).ReadString("DATA", key); }

    dazo::test::TempDir dir;
    std::string file = dir.Write("p.npj", "[Messungen]\n[DATA]\neAnzMessungen=3\neAnzMesspunkte=2\n");
    TProjectDlg dlg{nullptr, FormatSettings::German()};
};

TEST_F(ProjectDlgTest, EveryTaggedControlIsAKeyInCreationOrder)
{
    ASSERT_EQ(kKeys.size(), 109u);
    dlg.LoadProject(file);
    dlg.SaveData();
    std::vector<std::string> expected = {"eAnzMessungen", "eAnzMesspunkte"};
    expected.insert(expected.end(), kKeys.begin(), kKeys.end());
    EXPECT_EQ(IniFile(file).ReadSection("DATA"), expected);
    EXPECT_EQ(Data("eAnzMessungen"), "3");
    EXPECT_TRUE(IniFile(file).ValueExists("DATA", "PBeschall"));
    for (const std::string& key : kKeys)
        EXPECT_EQ(Control(dlg, key)->property("tag").toInt(), 1) << key;
}

TEST_F(ProjectDlgTest, SavedValuesComeBackInANewWindow)
{
    dlg.LoadProject(file);
    std::map<std::string, QString> values;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        QWidget* control = Control(dlg, kKeys[i]);
        const QString value = QStringLiteral("Wert %1 ä").arg(i);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->setText(value);
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
            memo->setPlainText(value + QStringLiteral("\nzweite Zeile 100%"));
        else if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->isEditable() ? combo->setEditText(value) : combo->setCurrentIndex(1);
        values[kKeys[i]] = TextOf(control);
    }
    dlg.SaveData();
    EXPECT_EQ(Data("mRBNote"), "Wert 41 \xE4%c%nzweite Zeile 100%%");
    EXPECT_EQ(Data("PBeschall"), "");

    TProjectDlg reloaded(nullptr, FormatSettings::German());
    reloaded.LoadProject(file);
    for (const std::string& key : kKeys)
        EXPECT_EQ(TextOf(Control(reloaded, key)), values[key]) << key;
    EXPECT_EQ(TextOf(Control(reloaded, "cSLOmni")), "nein");
    EXPECT_EQ(reloaded.ProjectFile(), file);
}

TEST_F(ProjectDlgTest, LoadEmptiesEverythingFirst)
{
    dlg.LoadProject(file);
    Edit("eOMasstab")->setText("1:100");
    dlg.findChild<QTextBrowser*>("ErgRTF")->setPlainText("alt");
    const std::string other = dir.Write("q.npj", "[DATA]\ncSLOmni=vielleicht\neOName=\"Halle\"\neRBPersonen=0\n"
                                                 "eRBPersMes=5\nmRBNote=a%c%nb\n");
    dir.Write("q.rtf", "Ergebnis");
    dlg.LoadProject(other);
    EXPECT_EQ(Edit("eOMasstab")->text(), "");
    EXPECT_EQ(dlg.findChild<QComboBox*>("cSLOmni")->currentIndex(), -1);
    EXPECT_EQ(Edit("eOName")->text(), "Halle");
    EXPECT_EQ(Edit("eRBPersProzent")->text(), ""); // a maximum of 0 does not stop the load
    EXPECT_EQ(dlg.findChild<QPlainTextEdit*>("mRBNote")->toPlainText(), "a\nb");
    EXPECT_EQ(dlg.findChild<QTextBrowser*>("ErgRTF")->toPlainText(), "Ergebnis");

    dlg.LoadProject("");
    EXPECT_EQ(Edit("eOName")->text(), "");
    EXPECT_EQ(dlg.findChild<QTextBrowser*>("ErgRTF")->toPlainText(), "");
    dlg.SaveData(); // no project: nothing is written anywhere
    EXPECT_EQ(IniFile(other).ReadString("DATA", "eOName"), "Halle");
}

TEST_F(ProjectDlgTest, VolumeAndOccupancyInTheUsersFormat)
{
    Edit("eRVLaenge")->setText("10");
    Edit("eRVBreite")->setText("8");
    Edit("eRVHoehe")->setText("4,5");
    dlg.findChild<QToolButton*>("SpeedButton1")->click();
    EXPECT_EQ(Edit("eRVQBM")->text(), "360,00");

    Edit("eRVHoehe")->setText("4.5");
    const auto message = test::CloseNextMessageBox();
    dlg.findChild<QToolButton*>("SpeedButton1")->click();
    EXPECT_EQ(*message, "'4.5' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(Edit("eRVQBM")->text(), "360,00");

    const struct {
        const char* maximum;
        const char* present;
        const char* percent;
    } cases[] = {{"120", "90", "75"}, {"30", "7", "23,3333333333333"}, {"30", "7a", ""}, {"x", "7", ""}};
    for (const auto& c : cases) {
        Edit("eRBPersonen")->setText(c.maximum);
        Edit("eRBPersMes")->setText(c.present);
        EXPECT_EQ(Edit("eRBPersProzent")->text(), c.percent) << c.maximum << " " << c.present;
    }
}

TEST_F(ProjectDlgTest, RadioButtonsSwitchPages)
{
    auto* pages = dlg.findChild<QStackedWidget*>("PBeschall");
    EXPECT_EQ(pages->currentIndex(), 0);
    dlg.findChild<QRadioButton*>("RBeschallnein")->click();
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_EQ(pages->currentWidget()->objectName(), "SheetBeschallNein");
    dlg.findChild<QRadioButton*>("RBeschallJa")->click();
    EXPECT_EQ(pages->currentIndex(), 0);

    QWidget* seats = Edit("eRNSitze")->parentWidget();
    dlg.findChild<QRadioButton*>("RMusikNein")->click();
    EXPECT_TRUE(seats->isHidden());
    dlg.findChild<QRadioButton*>("RMusikJa")->click();
    EXPECT_FALSE(seats->isHidden());
}

TEST_F(ProjectDlgTest, TheSoundSourceOpensOnThePageThatHoldsData)
{
    auto* pages = dlg.findChild<QStackedWidget*>("PBeschall");
    const struct {
        const char* data;
        int page;
    } cases[] = {{"eSLHersteller=Norsonic\ncSLOmni=ja\n", 1}, {"eSHersteller=Bose\n", 0}, {"eSMPegel=90\n", 1}, {"", 1}};
    for (const auto& c : cases) {
        const std::string project = dir.Write("q.npj", std::string("[DATA]\n") + c.data);
        dlg.LoadProject(project);
        EXPECT_EQ(pages->currentIndex(), c.page) << c.data; // without data the last answer stays
        EXPECT_EQ(dlg.findChild<QRadioButton*>("RBeschallnein")->isChecked(), c.page == 1) << c.data;
    }
}

TEST_F(ProjectDlgTest, SketchIsCopiedBesideTheProject)
{
    dlg.LoadProject(file);
    const std::string picture = dir.File("grundriss.png");
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(QString::fromStdString(picture)));

    test::PickInNextFileDialog(QString::fromStdString(picture));
    dlg.findChild<QPushButton*>("Button1")->click();
    EXPECT_EQ(Edit("eSkizze")->text(), "p.png");
    EXPECT_TRUE(std::filesystem::exists(dir.File("p.png")));
    EXPECT_FALSE(dlg.findChild<QLabel*>("Skizze")->pixmap().isNull());

    dlg.SaveData();
    TProjectDlg reloaded(nullptr, FormatSettings::German());
    reloaded.LoadProject(file);
    EXPECT_FALSE(reloaded.findChild<QLabel*>("Skizze")->pixmap().isNull());
    reloaded.LoadProject(dir.Write("q.npj", ""));
    EXPECT_TRUE(reloaded.findChild<QLabel*>("Skizze")->pixmap().isNull());

    const auto message = test::CloseNextMessageBox();
    test::PickInNextFileDialog(QString::fromStdString(dir.Write("plan.xyz", "?")));
    dlg.findChild<QPushButton*>("Button1")->click();
    EXPECT_EQ(*message, "Unbekannte Bilddateierweiterung (.xyz)");
    EXPECT_EQ(Edit("eSkizze")->text(), "p.png");
}

} // namespace
} // namespace dazo::ui
