// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/uMessPunkt.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "project/IniFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace dazo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Lines = std::vector<std::string>;

// The line of the manager for a point with two measurements.
const std::string kExampleValue = Ansi(
    "\"Messpunkt 1\",\"Raummitte\",\"zur Schallquelle\",1.2,1.5,\"Bühne\",1.6,2,\"\",\"\",\"\","
    "\"r01.tim\",\"r02.tim\",");

auto AllFields(const TMessPunkt& p)
{
    return std::tie(p.Name, p.MicPos, p.MicRichtung, p.MicAbBoden, p.MicAbWand, p.Lautpos,
                    p.LautAbBoden, p.LautAbWand, p.Note, p.nn1, p.nn2, p.Files);
}

template <class Action>
void ExpectWrongFormat(Action action)
{
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const DazoError& e) {
        EXPECT_STREQ(e.what(), "falsches Datenformat");
    }
}

class MessPunktTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path()
             / ("dazo_mp_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        project_ = (dir_ / "p.npj").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteProject(const std::string& bytes) const
    {
        std::ofstream(project_, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string ReadProject() const
    {
        std::ifstream in(project_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir_;
    std::string project_;
};

TEST(ReadPointLine, ReadsTheExampleLine)
{
    TMessPunkt point;
    const Lines files = ReadPointLine(point, "MP1=" + kExampleValue);
    EXPECT_EQ(point.Id, "MP1");
    EXPECT_EQ(point.Name, "Messpunkt 1");
    EXPECT_EQ(point.MicPos, "Raummitte");
    EXPECT_EQ(point.MicRichtung, "zur Schallquelle");
    EXPECT_EQ(point.MicAbBoden, 1.2);
    EXPECT_EQ(point.MicAbWand, 1.5);
    EXPECT_EQ(point.Lautpos, Ansi("Bühne"));
    EXPECT_EQ(point.LautAbBoden, 1.6);
    EXPECT_EQ(point.LautAbWand, 2.0);
    EXPECT_EQ(point.Note + point.nn1 + point.nn2, "");
    EXPECT_EQ(point.Files, "r01.tim,r02.tim");
    EXPECT_EQ(files, (Lines{"r01.tim", "r02.tim"}));

    // With the files in the manager's quoted form the line is written back as it was.
    point.Files = "\"r01.tim\",\"r02.tim\"";
    EXPECT_EQ(PointLineValue(point), kExampleValue);
}

TEST(ReadPointLine, NewPointHasNoMeasurements)
{
    EXPECT_EQ(NewPointValue(0), "\"Messpunkt 1\",,,0,0,,0,0,,,,");
    EXPECT_EQ(NewPointValue(4), "\"Messpunkt 5\",,,0,0,,0,0,,,,");
    for (const std::string& value : {NewPointValue(0), std::string("\"Messpunkt 1\",,,0,0,,0,0,,,")}) {
        TMessPunkt point;
        point.Files = "stale";
        EXPECT_TRUE(ReadPointLine(point, "MP7 = " + value).empty());
        EXPECT_EQ(point.Id, "MP7");
        EXPECT_EQ(point.Name, "Messpunkt 1");
        EXPECT_EQ(point.MicPos + point.MicRichtung + point.Lautpos + point.Note + point.Files, "");
        EXPECT_EQ(point.MicAbBoden + point.MicAbWand + point.LautAbBoden + point.LautAbWand, 0.0);
    }
}

TEST(ReadPointLine, ShortLineFailsAndKeepsThePoint)
{
    TMessPunkt point;
    point.Id = "MP1";
    point.Name = "alt";
    ExpectWrongFormat([&] { ReadPointLine(point, "MP2=\"neu\",,,0,0,,0,0,,"); });
    EXPECT_EQ(point.Id, "MP1");
    EXPECT_EQ(point.Name, "alt");
}

TEST(PointLine, LinesOutsideTheSave)
{
    EXPECT_EQ(AppendMeasurementToLine("", "r.tim"), "\"r.tim\",");
    EXPECT_EQ(AppendMeasurementToLine("a,", "r.tim"), "a,\"r.tim\",");
    EXPECT_EQ(AppendMeasurementToLine("a", "r.tim"), "a,\"r.tim\",");

    const std::string single = SingleMeasurementPointList("r01.tim");
    EXPECT_EQ(single, "MP1=\"Messpunkt 1\",,,0,0,,0,0,,,,\"r01.tim\",");
    TMessPunkt point;
    EXPECT_EQ(ReadPointLine(point, single), Lines{"r01.tim"});
    EXPECT_EQ(point.Name, "Messpunkt 1");
}

TEST_F(MessPunktTest, FileListHasAllFieldsFromTheEleventhOn)
{
    WriteProject("[Messungen]\r\nMP1=" + kExampleValue + "\r\nMP2=\"b\",,,0,0,,0,0,,,,\"r03.tim\"\r\n");
    Lines files{"old entry"};
    ReadMeasurementFileList(project_, files);
    EXPECT_EQ(files, (Lines{"r01.tim", "r02.tim", "", "r03.tim"}));

    // Eleven fields read as a point without measurements, but not as a file list.
    WriteProject("[Messungen]\r\nMP1=" + kExampleValue + "\r\nMP2=\"b\",,,0,0,,0,0,,,\r\n");
    ExpectWrongFormat([&] { ReadMeasurementFileList(project_, files); });
    EXPECT_EQ(files, (Lines{"r01.tim", "r02.tim", ""}));
    TMesspunkte points;
    LoadMeasurementPoints(project_, points);
    ASSERT_EQ(points.Count(), 2);
    EXPECT_EQ(points.Items(1).Files, "");
}

TEST_F(MessPunktTest, LoadStopsAtAShortLine)
{
    WriteProject("[Messungen]\nMP1=" + kExampleValue + "\nMP2=\"kurz\",1,2\nMP3=" + kExampleValue + "\n");
    TMesspunkte points;
    points.AddNew();
    ExpectWrongFormat([&] { LoadMeasurementPoints(project_, points); });
    ASSERT_EQ(points.Count(), 1);
    EXPECT_EQ(points.Items(0).Id, "MP1");

    fs::remove(project_);
    LoadMeasurementPoints(project_, points);
    EXPECT_EQ(points.Count(), 0);
    Lines files{"x"};
    ReadMeasurementFileList(project_, files);
    EXPECT_TRUE(files.empty());
}

TEST_F(MessPunktTest, SaveRenumbersAndDropsPointsWithoutFiles)
{
    WriteProject("[DATA]\r\neOName=Saal\r\n[Messungen]\r\nMP1=" + kExampleValue
                 + "\r\nMP3=\"Messpunkt 2\",,,0,0,,0,0,,,,\r\n"
                   "MP4=\"Punkt mit Leerzeichen\",\"\",\" vorn und hinten \",0.5,1.5,,0,0,,,,\"r05.tim\",\r\n"
                   "[r01.tim]\r\nMPA=10\r\n");
    TMesspunkte points;
    LoadMeasurementPoints(project_, points);
    ASSERT_EQ(points.Count(), 3);
    points.Items(0).MicAbBoden = 1.5; // as entered with a decimal comma and read by the manager
    IniFile ini(project_);
    SavePointList(ini, {&points.Items(0), &points.Items(1), &points.Items(2)}, 3);

    EXPECT_EQ(ini.ReadSection("Messungen"), (Lines{"MP1", "MP2"}));
    EXPECT_EQ(ini.ReadString("Messungen", "MP1"),
              Ansi("\"Messpunkt 1\",\"Raummitte\",\"zur Schallquelle\",1.5,1.5,\"Bühne\",1.6,2,\"\",\"\",\"\","
                   "r01.tim,r02.tim,"));
    EXPECT_EQ(ini.ReadString("Messungen", "MP2"),
              "\"Punkt mit Leerzeichen\",\"\",\" vorn und hinten \",0.5,1.5,\"\",0,0,\"\",\"\",\"\",r05.tim,");
    EXPECT_EQ(ini.ReadInteger("DATA", "eAnzMessungen", -1), 3);
    EXPECT_EQ(ini.ReadInteger("DATA", "eAnzMesspunkte", -1), 2);
    EXPECT_EQ(ini.ReadString("DATA", "eOName"), "Saal");
    EXPECT_EQ(ini.ReadString("r01.tim", "MPA"), "10");

    TMesspunkte reloaded;
    LoadMeasurementPoints(project_, reloaded);
    ASSERT_EQ(reloaded.Count(), 2);
    EXPECT_EQ(AllFields(reloaded.Items(0)), AllFields(points.Items(0)));
    EXPECT_EQ(AllFields(reloaded.Items(1)), AllFields(points.Items(2)));
}

TEST_F(MessPunktTest, TextsWithQuotesAndLineBreaksComeBackUnchanged)
{
    TMessPunkt odd;
    odd.Name = "Punkt \"A\", hinten";
    odd.MicPos = "\"";
    odd.Note = "Zeile 1\r\nZeile 2 mit \"Zitat\"\r\n100% besetzt, %n bleibt %n\0Ende"s;
    odd.nn1 = "50%% und %c";
    odd.Files = "\"r01.tim\"";
    TMessPunkt plain;
    ReadPointLine(plain, "MP=" + kExampleValue);
    plain.Note = "50% Besetzung";
    plain.Files = "\"r02.tim\",\"r03.tim\"";

    IniFile ini(project_);
    SavePointList(ini, {&odd, &plain}, 3);
    EXPECT_EQ(ini.ReadSection("Messungen"), (Lines{"MP1", "MP2"}));
    EXPECT_NE(ReadProject().find(",\"50% Besetzung\","), std::string::npos);

    TMesspunkte reloaded;
    LoadMeasurementPoints(project_, reloaded);
    ASSERT_EQ(reloaded.Count(), 2);
    odd.Files = "r01.tim";
    plain.Files = "r02.tim,r03.tim";
    EXPECT_EQ(AllFields(reloaded.Items(0)), AllFields(odd));
    EXPECT_EQ(AllFields(reloaded.Items(1)), AllFields(plain));
    Lines files;
    ReadMeasurementFileList(project_, files);
    EXPECT_EQ(files, (Lines{"r01.tim", "", "r02.tim", "r03.tim", ""}));
}

TEST(TMesspunkte, OwnsAndIndexesItsPoints)
{
    TMesspunkte points;
    auto point = std::make_unique<TMessPunkt>();
    point->Name = "erster";
    EXPECT_EQ(points.Add(std::move(point)), 0);
    TMessPunkt& added = points.AddNew();
    EXPECT_EQ(points.Count(), 2);
    EXPECT_EQ(&points.Items(1), &added);
    EXPECT_EQ(points.Items(0).Name, "erster");
    EXPECT_THROW(points.Items(2), DazoError);
    points.Clear();
    EXPECT_EQ(points.Count(), 0);
}

} // namespace
} // namespace dazo
