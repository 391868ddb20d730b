// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/EvaluationCore.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/Paths.h"
#include "evaluation/EvaluationFixtures.h"
#include "project/IniFile.h"
#include "reports/LineFiles.h"
#include "reports/ResultsFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace dazo {
namespace {

using test::PointLine;
using test::TempDir;
using test::WriteImpulseResponse;
using Lines = std::vector<std::string>;

struct RecordingProgress : Progress {
    Lines calls;
    void Start(int maximum, const std::string&) override { calls.push_back("Start " + std::to_string(maximum)); }
    void Step() override { calls.push_back("Step"); }
    void Finish() override { calls.push_back("Finish"); }
};

Lines ProgressCalls(int steps)
{
    Lines calls = {"Start " + std::to_string(steps)};
    calls.insert(calls.end(), static_cast<std::size_t>(steps), "Step");
    calls.push_back("Finish");
    return calls;
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DazoError& e) {
        return e.what();
    }
    return "(kein Fehler)";
}

std::string ProgramIn(const TempDir& dir)
{
    std::filesystem::create_directories(dir.Path() / "prog");
    return dir.File("prog/dazo");
}

class EvaluationCoreTest : public ::testing::Test {
protected:
    EvaluationCoreTest()
        : core_(ProgramPaths(ProgramIn(dir_)), FormatSettings::German())
    {
        core_.OnMeasurementLoaded = [this] { loaded_.push_back(BareFileName(core_.CalcData()->FileName)); };
    }

    std::string Measurement(const std::string& name, float intervalMs = 0.04f, unsigned seed = 1)
    {
        const std::string file = dir_.File(name);
        WriteImpulseResponse(file, 8000, intervalMs, 0.25, seed);
        return file;
    }

    // A project whose points hold the given files; opened in the core.
    std::string OpenProject(const std::vector<Lines>& points, const std::string& extra = {})
    {
        std::string content = "[Messungen]\r\n";
        for (std::size_t i = 0; i < points.size(); ++i)
            content += PointLine(static_cast<int>(i) + 1, points[i]) + "\r\n";
        const std::string project = dir_.Write("p.npj", content + extra);
        core_.SetProjectFile(project);
        return project;
    }

    std::string Cached(const std::string& section, const std::string& key) const
    {
        return IniFile(core_.ProjectFile()).ReadString(section, key);
    }

    Lines Results() const { return ReadLines(core_.Paths().ResultsFile()); }
    bool ResultsExist() const { return std::filesystem::exists(core_.Paths().ResultsFile()); }

    TempDir dir_;
    TEvaluationCore core_;
    Lines loaded_;
};

TEST_F(EvaluationCoreTest, PointListOfAProjectOrOfASingleMeasurement)
{
    const std::string project = OpenProject({{"r01.tim"}, {}});
    const std::string upper = dir_.File("P2.NPJ");
    std::filesystem::copy_file(project, upper);
    EXPECT_EQ(TEvaluationCore::PointListFor(upper), (Lines{PointLine(1, {"r01.tim"}), PointLine(2, {})}));

    const Lines single = TEvaluationCore::PointListFor("/data/r 07.tim");
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].rfind("MP1=\"Messpunkt 1\"", 0), 0u) << single[0];
    EXPECT_NE(single[0].find("\"r 07.tim\""), std::string::npos) << single[0];
}

TEST_F(EvaluationCoreTest, LoadBuildsElevenUncalculatedCalculatorsOnTheCroppedMeasurement)
{
    const std::string file = Measurement("r01.tim");
    OpenProject({{"r01.tim"}}, "[r01.tim]\r\nMPA=100\r\nMPE=4000\r\nMPS=50\r\n");
    core_.LoadMeasurementFile(file);

    ASSERT_TRUE(core_.HasMeasurement());
    EXPECT_EQ(core_.CalcData()->Count, 4000);
    EXPECT_EQ(core_.CalcData()->SchroederStart, 50);
    for (int i = 0; i < kCalcerCount; ++i) {
        const TCalcChart* calcer = core_.Calcer(i);
        ASSERT_NE(calcer, nullptr);
        EXPECT_EQ(calcer->CalcFunction, i);
        EXPECT_DOUBLE_EQ(calcer->SampleRate, static_cast<double>(1000.0L / 0.04f));
        EXPECT_FALSE(calcer->Calculated);
        EXPECT_EQ(&calcer->CalcData, core_.CalcData());
    }
    EXPECT_EQ(core_.Calcer(11), nullptr);
    EXPECT_EQ(loaded_, Lines{"r01.tim"});
}

TEST_F(EvaluationCoreTest, FailedLoadLeavesNoMeasurement)
{
    const std::string good = Measurement("r01.tim");
    TCalcData zeroInterval;
    zeroInterval.SetSamples(std::vector<float>(100, 1.0f));
    zeroInterval.SaveTim(dir_.File("zero.tim"));
    struct Case { std::string file; std::string message; };
    const Case cases[] = {
        {dir_.File("missing.tim"), Ansi("Datei " + dir_.File("missing.tim") + " kann nicht geöffnet werden")},
        {dir_.Write("bad.tim", "short"), "falsches Datenformat (*.tim)"},
        {dir_.Write("r01.wav", "RIFF"), Ansi("ungültiges Dateiformat")},
        {dir_.File("zero.tim"), Ansi("Gleitkommadivision durch Null")},
    };
    OpenProject({{"r01.tim"}});
    for (const Case& c : cases) {
        core_.LoadMeasurementFile(good);
        EXPECT_EQ(ErrorOf([&] { core_.LoadMeasurementFile(c.file); }), c.message);
        EXPECT_FALSE(core_.HasMeasurement());
        for (int i = 0; i < kCalcerCount; ++i)
            EXPECT_EQ(core_.Calcer(i), nullptr);
    }
    EXPECT_EQ(loaded_.size(), std::size(cases)); // only the good loads were announced
}

TEST_F(EvaluationCoreTest, ReleaseDestroysCalculatorsWhichWriteTheirRecordsFirst)
{
    OpenProject({{"r01.tim"}});
    core_.LoadMeasurementFile(Measurement("r01.tim"));
    core_.Calcer(1)->Calculate();
    EXPECT_EQ(Cached("r01.tim", "RT.1.0.Values"), "");

    core_.ReleaseMeasurement();
    EXPECT_FALSE(core_.HasMeasurement());
    EXPECT_EQ(core_.CalcData(), nullptr);
    for (int i = 0; i < kCalcerCount; ++i)
        EXPECT_EQ(core_.Calcer(i), nullptr);
    // The records carry the measurement's name: the calculator still read it.
    for (int kind = 0; kind < 7; ++kind)
        EXPECT_NE(Cached("r01.tim", RTRecordKey(1, kind)), "") << kind;
    EXPECT_EQ(Cached("r01.tim", "RT.2.0.Values"), ""); // never calculated, nothing written
}

TEST_F(EvaluationCoreTest, CalcAllBandsFillsTheCacheForEveryBand)
{
    OpenProject({{"r01.tim"}});
    core_.LoadMeasurementFile(Measurement("r01.tim"));
    RecordingProgress progress;
    core_.CalcAllBands(&progress);

    EXPECT_EQ(progress.calls, ProgressCalls(11));
    for (int band = 1; band <= 10; ++band) {
        EXPECT_NE(Cached("r01.tim", CRecordKey(band)), "") << band;
        for (int kind = 0; kind < 7; ++kind)
            EXPECT_NE(Cached("r01.tim", RTRecordKey(band, kind)), "") << band << "/" << kind;
        EXPECT_FALSE(core_.Calcer(band)->Calculated);
    }
    EXPECT_EQ(Cached("r01.tim", CRecordKey(0)), ""); // the input function has no parameters
}

TEST_F(EvaluationCoreTest, CalcAllBandsRecalculatesOnlyBandsWithoutTheirRecords)
{
    // Bands 1..10 count as cached with only their computed EDT and C records;
    // a recalculation would add the other six RT records.
    std::string cache = "[r01.tim]\r\n";
    for (int band = 1; band <= 10; ++band)
        cache += RTRecordKey(band, 1) + "=0,10,-0.5,-10.5,0.99,1.5\r\n" + CRecordKey(band) + "=1,2,3,0,0,0.5,0.6,20\r\n";
    OpenProject({{"r01.tim"}}, cache);
    core_.LoadMeasurementFile(Measurement("r01.tim"));
    core_.CalcAllBands(nullptr);

    for (int band = 1; band <= 10; ++band)
        EXPECT_EQ(Cached("r01.tim", RTRecordKey(band, 0)), "") << band;
    EXPECT_NE(Cached("r01.tim", RTRecordKey(0, 0)), ""); // calculator 0 never has a C record
}

TEST_F(EvaluationCoreTest, CalcAllBandsSwallowsBandErrorsButNotCacheErrors)
{
    // At 10 kHz the 8000 Hz band cannot be filtered.
    OpenProject({{"r01.tim"}});
    core_.LoadMeasurementFile(Measurement("r01.tim", 0.1f));
    RecordingProgress progress;
    core_.CalcAllBands(&progress);
    EXPECT_EQ(progress.calls, ProgressCalls(11));
    EXPECT_NE(Cached("r01.tim", CRecordKey(9)), "");

    // A project file that cannot be written ends the call, and the progress closes.
    core_.SetProjectFile(dir_.File("no/such/p.npj"));
    core_.LoadMeasurementFile(dir_.File("r01.tim"));
    RecordingProgress failing;
    EXPECT_EQ(ErrorOf([&] { core_.CalcAllBands(&failing); }),
              "In " + dir_.File("no/such/p.npj") + " kann nicht geschrieben werden");
    EXPECT_EQ(failing.calls.front(), "Start 11");
    EXPECT_EQ(failing.calls.back(), "Finish");
}

TEST_F(EvaluationCoreTest, ResultsCurrentWritesTheTenLinesOfTheLoadedMeasurement)
{
    OpenProject({{"r 01.tim"}});
    core_.LoadMeasurementFile(Measurement("r 01.tim"));
    RecordingProgress progress;
    EXPECT_TRUE(core_.HandleMessage(WM_RESULTS_CURRENT, &progress));
    EXPECT_EQ(progress.calls, ProgressCalls(11));

    const Lines lines = Results();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[3].rfind("r 01.tim;125;", 0), 0u) << lines[3];
    EXPECT_EQ(lines[1].rfind("r 01.tim;31.5;", 0), 0u) << lines[1];
    EXPECT_EQ(std::count(lines[3].begin(), lines[3].end(), ';'), 13);
    EXPECT_EQ(lines[3].find('.', 13), std::string::npos) << "decimal comma expected: " << lines[3];

    // Without a measurement nothing is written, and the earlier file is gone.
    core_.ReleaseMeasurement();
    core_.ResultsCurrent(nullptr);
    EXPECT_FALSE(ResultsExist());
    EXPECT_FALSE(core_.HandleMessage(1127, nullptr));
}

TEST_F(EvaluationCoreTest, ResultsAllAveragesEveryMeasurementAndReloadsThePreviousOne)
{
    Measurement("r01.tim", 0.04f, 1);
    Measurement("r02.tim", 0.04f, 2);
    // Three entries: r01.tim, the empty one after its trailing comma, r02.tim.
    core_.SetProjectFile(dir_.Write("p.npj", "[Messungen]\r\n" + PointLine(1, {"r01.tim"}) + "\r\n"
                                                 + "MP2=\"Messpunkt 2\",,,0,0,,0,0,,,,r02.tim\r\n"));
    core_.LoadMeasurementFile(Measurement("other.tim"));
    loaded_.clear();
    RecordingProgress progress;
    core_.HandleMessage(WM_RESULTS_ALL, &progress);

    EXPECT_EQ(loaded_, (Lines{"r01.tim", "r02.tim", "other.tim"}));
    EXPECT_EQ(progress.calls, ProgressCalls(3));
    const Lines lines = Results();
    ASSERT_EQ(lines.size(), 10u);
    for (const auto& line : lines) {
        EXPECT_EQ(line.rfind("2;", 0), 0u) << line;
        EXPECT_EQ(std::count(line.begin(), line.end(), ';'), 13) << line;
    }
    EXPECT_EQ(lines[5].rfind("2;500;", 0), 0u);
}

TEST_F(EvaluationCoreTest, ResultsAllOfAProjectWithoutMeasurementsWritesAnEmptyFile)
{
    core_.SetProjectFile(dir_.File("r01.npj")); // a single measurement opened, no project file yet
    core_.LoadMeasurementFile(Measurement("r01.tim"));
    core_.ResultsAll(nullptr);
    ASSERT_TRUE(ResultsExist());
    EXPECT_TRUE(Results().empty());
}

TEST_F(EvaluationCoreTest, FailedResultsAllReloadsThePreviousMeasurementAndLeavesNoFile)
{
    Measurement("r01.tim");
    const std::string previous = Measurement("other.tim");
    struct Case { const char* what; std::string pointLine; std::string message; };
    const Case cases[] = {
        {"missing file", PointLine(1, {"r01.tim", "gone.tim"}), Ansi("Datei " + dir_.File("gone.tim") + " kann nicht geöffnet werden")},
        {"short point line", "MP1=\"x\",,,0,0,,0,0,,,", "falsches Datenformat"},
    };
    for (const Case& c : cases) {
        core_.SetProjectFile(dir_.Write("p.npj", "[Messungen]\r\n" + c.pointLine + "\r\n"));
        core_.LoadMeasurementFile(previous);
        WriteLines(core_.Paths().ResultsFile(), {"stale"});
        loaded_.clear();
        EXPECT_EQ(ErrorOf([&] { core_.ResultsAll(nullptr); }), c.message) << c.what;
        ASSERT_TRUE(core_.HasMeasurement()) << c.what;
        EXPECT_EQ(core_.CalcData()->FileName, previous) << c.what;
        EXPECT_EQ(loaded_.back(), "other.tim") << c.what;
        EXPECT_FALSE(ResultsExist()) << c.what;
    }
}

TEST_F(EvaluationCoreTest, DeleteTemporaryFilesRemovesTheFourReportFilesThatExist)
{
    const std::string project = OpenProject({});
    const Lines files = {dir_.File("p.$$$"), core_.Paths().ResultsFile(), core_.Paths().PointsFile(),
                         core_.Paths().CompanyDataFile()};
    for (const auto& file : files)
        WriteLines(file, {"x"});
    core_.DeleteTemporaryFiles();
    for (const auto& file : files)
        EXPECT_FALSE(std::filesystem::exists(file)) << file;
    EXPECT_TRUE(std::filesystem::exists(project));
    core_.DeleteTemporaryFiles(); // nothing left to delete is no error
}

} // namespace
} // namespace dazo
