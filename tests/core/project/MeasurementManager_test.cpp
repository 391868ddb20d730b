// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/MeasurementManager.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "project/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

// Points of two, zero and one measurements.
const std::string kThreePoints = "[Messungen]\n"
                                 "MP1=\"Messpunkt 1\",\"Raummitte\",\"zur Schallquelle\",1.2,1.5,\"Bühne\",1.6,2,\"\",\"\",\"\",\"r01.tim\",\"r02.tim\",\n"
                                 "MP2=\"Messpunkt 2\",,,0,0,,0,0,,,,\n"
                                 "MP3=\"Messpunkt 3\",\"Rang\",\"\",2,3,\"\",0,0,\"\",\"\",\"\",\"r03.tim\",\n"
                                 "[r01.tim]\nMPA=10\n[r03.tim]\nMPA=20\n[DATA]\neOName=Halle\n";

class MeasurementManager : public testing::Test {
protected:
    void Load(const std::string& content)
    {
        file = dir.Write("p.npj", Ansi(content));
        model.LoadPoints(file, Ini().ReadSectionValues("Messungen"));
    }
    void SetUp() override
    {
        model.SetOnMeasurementSelect([this](const std::string& path) { loaded.push_back(path); });
    }
    IniFile Ini() const { return IniFile(file); }
    std::string Line(const std::string& key) const { return Ini().ReadString("Messungen", key); }
    std::vector<std::string> NodeTexts() const
    {
        std::vector<std::string> texts;
        for (int p = 0; p < model.PointCount(); ++p) {
            texts.push_back(model.NodeText({p}));
            for (int m = 0; m < static_cast<int>(model.PointAt(p).measurements.size()); ++m)
                texts.push_back("  " + model.NodeText({p, m}));
        }
        return texts;
    }

    test::TempDir dir;
    std::string file;
    TMeasurementPointModel model;
    std::vector<std::string> loaded;
};

TEST_F(MeasurementManager, LoadBuildsTheTreeAndLoadsTheFirstMeasurement)
{
    Load(kThreePoints);
    EXPECT_EQ(NodeTexts(), (std::vector<std::string>{"Messpunkt 1", "  <<Messung 1>>", "  Messung 2", "Messpunkt 2",
                                                     "Messpunkt 3", "  Messung 1"}));
    EXPECT_EQ(model.PointAt(0).data.Files, "\"r01.tim\",\"r02.tim\"");
    EXPECT_EQ(model.ProjectDir(), dir.Path().string() + "/");
    EXPECT_EQ(model.MeasurementCaption(), "Messpunkt 1 (1)");
    EXPECT_EQ(loaded, std::vector<std::string>{model.ProjectDir() + "r01.tim"});
    EXPECT_EQ(model.StandardNode(), (PointTreeNode{0, 0}));
}

TEST_F(MeasurementManager, SaveDropsPointsWithoutMeasurementsAndCounts)
{
    Load(kThreePoints);
    model.SavePoints();
    EXPECT_EQ(Ini().ReadSection("Messungen"), (std::vector<std::string>{"MP1", "MP2"}));
    EXPECT_EQ(Line("MP2"), "\"Messpunkt 3\",\"Rang\",\"\",2,3,\"\",0,0,\"\",\"\",\"\",\"r03.tim\",");
    EXPECT_EQ(Ini().ReadString("DATA", "eAnzMessungen"), "3");
    EXPECT_EQ(Ini().ReadString("DATA", "eAnzMesspunkte"), "2");
    EXPECT_EQ(Ini().ReadString("DATA", "eOName"), "Halle");
}

TEST_F(MeasurementManager, StandardOfAnotherPointNamesThatPointAndSwallowsLoadErrors)
{
    Load(kThreePoints);
    model.SetOnMeasurementSelect([this](const std::string& path) {
        loaded.push_back(path);
        Fail("ungültiges Dateiformat");
    });
    EXPECT_NO_THROW(model.SetStandard({2, 0}));
    EXPECT_EQ(model.MeasurementCaption(), "Messpunkt 3 (1)");
    EXPECT_EQ(loaded.back(), model.ProjectDir() + "r03.tim");
    EXPECT_EQ(model.NodeText({0, 0}), "Messung 1");
    EXPECT_EQ(model.NodeText({2, 0}), "<<Messung 1>>");

    model.SetStandard({1}); // a point node is no measurement
    EXPECT_EQ(model.StandardNode(), (PointTreeNode{2, 0}));
}

TEST_F(MeasurementManager, ShortLineStopsTheLoadKeepingEarlierPoints)
{
    const std::vector<std::string> lines = {"MP1=\"A\",,,0,0,,0,0,,,,\"a.tim\",", "MP2=\"B\",,,0,0,,0,0,,",
                                            "MP3=\"C\",,,0,0,,0,0,,,,\"c.tim\","};
    try {
        model.LoadPoints(dir.File("p.npj"), lines);
        FAIL();
    } catch (const DazoError& e) {
        EXPECT_EQ(e.what(), Ansi("falsches Datenformat"));
    }
    EXPECT_EQ(model.PointCount(), 1);
    EXPECT_EQ(model.StandardNode(), std::nullopt);
    EXPECT_TRUE(loaded.empty());
    EXPECT_EQ(model.MeasurementCaption(), "");
}

// Dots in names and equal names must not move points or measurements between nodes.
TEST_F(MeasurementManager, NodesFollowPointsNotNames)
{
    Load("[Messungen]\n"
         "MP1=\"Raum 1.2\",,,0,0,,0,0,,,,\"a.tim\",\n"
         "MP2=\"Bühne\",,,0,0,,0,0,,,,\"b.tim\",\n"
         "MP3=\"Bühne\",,,0,0,,0,0,,,,\"c.tim\",\"d.tim\",\n");
    const std::string stage = Ansi("Bühne");
    EXPECT_EQ(NodeTexts(), (std::vector<std::string>{"Raum 1.2", "  <<Messung 1>>", stage, "  Messung 1", stage,
                                                     "  Messung 1", "  Messung 2"}));
    model.SetStandard({2, 1});
    EXPECT_EQ(model.MeasurementCaption(), stage + " (2)");
    EXPECT_EQ(loaded.back(), model.ProjectDir() + "d.tim");
}

TEST_F(MeasurementManager, InsertPointWritesTheNextKey)
{
    std::string content = "[Messungen]\n";
    for (int k = 1; k <= 4; ++k)
        content += "MP" + std::to_string(k) + "=\"P" + std::to_string(k) + "\",,,0,0,,0,0,,,,\"r" + std::to_string(k) + ".tim\",\n";
    Load(content);
    model.InsertPoint();
    EXPECT_EQ(Line("MP5"), "\"Messpunkt 5\",,,0,0,,0,0,,,,");
    ASSERT_EQ(model.PointCount(), 5);
    EXPECT_EQ(model.PointAt(4).data.Name, "Messpunkt 5");
    EXPECT_TRUE(model.PointAt(4).measurements.empty());
    EXPECT_EQ(model.StandardNode(), (PointTreeNode{0, 0}));
}

TEST_F(MeasurementManager, InsertsKeepWhatIsOnlyInMemory)
{
    // A project opened from a single measurement file: its point list is not in the file yet.
    file = dir.File("r01.npj");
    model.LoadPoints(file, {SingleMeasurementPointList("r01.tim")});
    PointTexts texts = model.TextsOf(0, FormatSettings::German());
    texts.name = "Altar";
    texts.micAbBoden = "1,5";
    texts.note = "Zeile 1\r\nZeile \"2\"";
    model.TakeOver(0, texts, FormatSettings::German());

    model.InsertPoint();
    model.InsertPoint(); // the first new point is dropped by the save, yet stays listed
    EXPECT_EQ(Line("MP1"), "\"Altar\",\"\",\"\",1.5,0,\"\",0,0,\"Zeile 1%c%nZeile \"\"2\"\"\",\"\",\"\",\"r01.tim\",");
    EXPECT_EQ(Line("MP2"), "");
    EXPECT_EQ(Line("MP3"), "\"Messpunkt 3\",,,0,0,,0,0,,,,");
    EXPECT_EQ(NodeTexts(), (std::vector<std::string>{"Altar", "  <<Messung 1>>", "Messpunkt 2", "Messpunkt 3"}));
    EXPECT_EQ(model.PointAt(0).data.Note, texts.note);

    // A measurement for a point that exists only in memory; a file from elsewhere is kept by bare name.
    model.InsertMeasurement(1, "/somewhere/else/r07.tim");
    EXPECT_EQ(Line("MP2"), "\"Messpunkt 2\",\"\",\"\",0,0,\"\",0,0,\"\",\"\",\"\",\"r07.tim\",");
    EXPECT_EQ(NodeTexts(), (std::vector<std::string>{"Altar", "  <<Messung 1>>", "Messpunkt 2", "  Messung 1",
                                                     "Messpunkt 3"}));
    model.SetStandard({1, 0});
    EXPECT_EQ(loaded.back(), model.ProjectDir() + "r07.tim");
}

TEST_F(MeasurementManager, InsertPointNeverReplacesAPoint)
{
    // Keys with gaps, as only a hand-edited file has them.
    Load("[Messungen]\nMP1=\"A\",,,0,0,,0,0,,,,\"a.tim\",\nMP3=\"C\",,,0,0,,0,0,,,,\"c.tim\",\n");
    model.InsertPoint();
    EXPECT_EQ(NodeTexts(), (std::vector<std::string>{"A", "  <<Messung 1>>", "C", "  Messung 1", "Messpunkt 3"}));
    EXPECT_EQ(Ini().ReadSection("Messungen"), (std::vector<std::string>{"MP1", "MP2", "MP3"}));
}

TEST_F(MeasurementManager, DeleteMeasurementRemovesTheSelectedOne)
{
    Load("[Messungen]\n"
         "MP1=\"A\",,,0,0,,0,0,,,,\"x.tim\",\"X.TIM\",\"y.tim\",\n"
         "MP2=\"B\",,,0,0,,0,0,,,,\"b.tim\",\n"
         "[x.tim]\nMPA=1\n[b.tim]\nMPA=2\n[other]\nk=v\n");
    model.DeleteMeasurement(0, 1);
    EXPECT_EQ(Line("MP1"), "\"A\",\"\",\"\",0,0,\"\",0,0,\"\",\"\",\"\",\"x.tim\",\"y.tim\",");
    EXPECT_FALSE(Ini().SectionExists("x.tim")); // every measurement is reset
    EXPECT_FALSE(Ini().SectionExists("b.tim"));
    EXPECT_TRUE(Ini().SectionExists("other"));

    model.DeleteMeasurement(1, 0); // the only measurement of B takes the point with it
    EXPECT_EQ(Ini().ReadSection("Messungen"), std::vector<std::string>{"MP1"});
    EXPECT_EQ(NodeTexts(), (std::vector<std::string>{"A", "  <<Messung 1>>", "  Messung 2"}));
    EXPECT_EQ(Ini().ReadString("DATA", "eAnzMessungen"), "2");
}

TEST_F(MeasurementManager, DeletePointAndReset)
{
    Load(kThreePoints);
    model.ResetMeasurements();
    EXPECT_FALSE(Ini().SectionExists("r01.tim"));
    EXPECT_FALSE(Ini().SectionExists("r03.tim"));
    EXPECT_EQ(model.PointCount(), 3);

    model.DeletePoint(0);
    EXPECT_EQ(NodeTexts(), (std::vector<std::string>{"Messpunkt 3", "  <<Messung 1>>"}));
    EXPECT_EQ(Ini().ReadSection("Messungen"), std::vector<std::string>{"MP1"});
    EXPECT_EQ(loaded.back(), model.ProjectDir() + "r03.tim");
}

TEST_F(MeasurementManager, TakeOverStopsAtADistanceThatIsNoNumber)
{
    Load(kThreePoints);
    PointTexts texts = model.TextsOf(0, FormatSettings::German());
    EXPECT_EQ(texts.micAbBoden, "1,2");
    texts.name = "Neu";
    texts.micRichtung = "abgewendet von der Schallquelle";
    texts.micAbWand = "2m";
    texts.lautpos = "Rang";
    try {
        model.TakeOver(0, texts, FormatSettings::German());
        FAIL();
    } catch (const DazoError& e) {
        EXPECT_EQ(e.what(), Ansi("'2m' ist kein gültiger Gleitkommawert"));
    }
    const TMessPunkt& p = model.PointAt(0).data;
    EXPECT_EQ(p.Name, "Neu");
    EXPECT_EQ(p.MicRichtung, "abgewendet von der Schallquelle");
    EXPECT_EQ(p.MicAbBoden, 1.2);
    EXPECT_EQ(p.MicAbWand, 1.5);
    EXPECT_EQ(p.Lautpos, Ansi("Bühne"));
}

TEST_F(MeasurementManager, CommandsWithoutProjectDoNothing)
{
    model.InsertPoint();
    model.InsertMeasurement(0, "a.tim");
    model.SavePoints();
    model.DeletePoint(0);
    EXPECT_EQ(model.PointCount(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

} // namespace
} // namespace dazo
