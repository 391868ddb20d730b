// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/ProjectData.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "project/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

using Kind = DataControlKind;

TEST(ProjectData, WritesAllFieldsInOrderAndReadsThemBack)
{
    test::TempDir dir;
    const std::string file = dir.File("p.npj");
    const std::vector<DataField> written = {
        {"eOName", Kind::Edit, "Stadthalle"},
        {"cONutzung", Kind::Combo, "Konzertsaal"},
        {"mRBNote", Kind::Memo, "erste Zeile\r\nzweite 100%"},
        {"PBeschall", Kind::Other, "ignored"},
        {"eOVon", Kind::Edit, ""},
        {"eOBis", Kind::Edit, "\"zitiert\""},
    };
    WriteProjectData(file, written);

    EXPECT_EQ(IniFile(file).ReadSection("DATA"),
              (std::vector<std::string>{"eOName", "cONutzung", "mRBNote", "PBeschall", "eOVon", "eOBis"}));
    EXPECT_EQ(IniFile(file).ReadString("DATA", "mRBNote"), "erste Zeile%c%nzweite 100%%");
    EXPECT_EQ(IniFile(file).ReadString("DATA", "PBeschall", "missing"), "");

    // Keys in other letter case, a key missing from the file.
    std::vector<DataField> read = {
        {"EONAME", Kind::Edit, "stale"}, {"mrbnote", Kind::Memo, ""}, {"PBeschall", Kind::Other, "x"},
        {"eOBis", Kind::Edit, ""},       {"eOPruefer", Kind::Edit, "stale"},
    };
    ReadProjectData(file, read);
    EXPECT_EQ(read[0].text, "Stadthalle");
    EXPECT_EQ(read[1].text, "erste Zeile\r\nzweite 100%");
    EXPECT_EQ(read[2].text, "");
    EXPECT_EQ(read[3].text, "zitiert"); // the profile layer strips a pair of quotes
    EXPECT_EQ(read[4].text, "");
}

TEST(ProjectData, KeepsOtherKeysOfTheSection)
{
    test::TempDir dir;
    const std::string file = dir.Write("p.npj", "[DATA]\neAnzMessungen=3\neOName=alt\n");
    WriteProjectData(file, {{"eOName", Kind::Edit, "neu"}, {"eOOrt", Kind::Edit, "Ort"}});
    EXPECT_EQ(IniFile(file).ReadSectionValues("DATA"),
              (std::vector<std::string>{"eAnzMessungen=3", "eOName=neu", "eOOrt=Ort"}));
}

TEST(SketchCopyName, ProjectNameWithThePicturesExtension)
{
    EXPECT_EQ(SketchCopyName("/p/halle.npj", "/bilder/Plan.Grundriss.PNG"), "/p/halle.PNG");
    EXPECT_EQ(SketchCopyName("/p/halle.npj", "/bilder/plan"), "/p/halle");
}

TEST(RoomVolumeText, MultipliesInTheUsersFormat)
{
    EXPECT_EQ(RoomVolumeText("10", "8", "4,5", FormatSettings::German()), "360,00");
    EXPECT_EQ(RoomVolumeText(" 2.5 ", "3", "1e1", FormatSettings::English()), "75.00");
    EXPECT_EQ(RoomVolumeText("10", "", "4,5", FormatSettings::German()), std::nullopt);

    for (const char* bad : {"4.5", "abc", "1,5m", ",", "1e"}) {
        try {
            RoomVolumeText("10", bad, "2", FormatSettings::German());
            ADD_FAILURE() << bad;
        } catch (const DazoError& e) {
            EXPECT_EQ(e.what(), Ansi("'") + bad + Ansi("' ist kein gültiger Gleitkommawert"));
        }
    }
}

TEST(OccupancyPercentText, GeneralFormatOrEmpty)
{
    const struct {
        const char* maximum;
        const char* present;
        const char* percent;
    } cases[] = {
        {"120", "90", "75"},    {"30", "7", "23,3333333333333"}, {"200", "1", "0,5"},
        {"12a", "9", ""},       {"120", "x", ""},                {"", "90", ""},
        {"120", "", ""},        {"0", "5", ""},                  {"1,5", "1", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OccupancyPercentText(c.maximum, c.present, FormatSettings::German()), c.percent)
            << c.maximum << " / " << c.present;
    EXPECT_EQ(OccupancyPercentText("30", "7", FormatSettings::English()), "23.3333333333333");
}

} // namespace
} // namespace dazo
