// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/uCalcChart.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "project/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace dazo {
namespace {

// 0.2 s at 10 kHz: silence, then noise decaying 60 dB in 0.3 s.
TCalcData Decay()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<float> v(2000, 0.0f);
    for (int i = 50; i < 2000; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<float>(noise(random) * std::pow(10.0, -3.0 * (i - 50) / 3000.0));
    TCalcData data;
    data.FileName = "r01.tim";
    data.SampleInterval = 0.1f;
    data.SetSamples(std::move(v));
    return data;
}

class CalcChart : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string project = dir.File("p.npj");
    TCalcData data = Decay();

    std::unique_ptr<TCalcChart> Chart(int32_t calcFunction)
    {
        auto chart = std::make_unique<TCalcChart>(project, data);
        chart->SampleRate = 10000.0;
        chart->SetCalcFunction(calcFunction);
        return chart;
    }

    int RTRecordsInProject(int32_t calcFunction) const
    {
        const IniFile ini(project);
        int found = 0;
        for (int kind = 0; kind < kRTKindCount; ++kind)
            found += ini.ValueExists("r01.tim", "RT." + std::to_string(calcFunction) + "." + std::to_string(kind) + ".Values");
        return found;
    }
};

TEST_F(CalcChart, CalculateRunsTheAnalysisOfItsFunction)
{
    const struct {
        int32_t calcFunction;
        bool schroeder;
    } cases[] = {{0, false}, {1, true}, {6, true}};
    for (const auto& c : cases) {
        auto chart = Chart(c.calcFunction);
        EXPECT_FALSE(chart->Calculated);
        EXPECT_EQ(chart->CurrentRTKind, 1);
        chart->Calculate();
        EXPECT_TRUE(chart->Calculated);
        EXPECT_EQ(chart->SignalCount(), 2000) << c.calcFunction;
        EXPECT_EQ(chart->SchroederCount() > 0, c.schroeder) << c.calcFunction;
        chart->BuildSquare();
        chart->Calculate(); // starts from empty curves again
        EXPECT_EQ(chart->SignalCount(), 2000) << c.calcFunction;
        EXPECT_EQ(chart->DisplaySeries.Count(), 0) << c.calcFunction;
    }
}

TEST_F(CalcChart, UnknownFunctionFailsAndLeavesItUncalculated)
{
    for (const int32_t calcFunction : {11, -1}) {
        auto chart = Chart(1);
        chart->Calculate();
        chart->SetCalcFunction(calcFunction);
        try {
            chart->Calculate();
            ADD_FAILURE() << calcFunction << ": no error";
        } catch (const DazoError& e) {
            EXPECT_EQ(std::string(e.what()), Ansi("Programierfehler: in Methode SetCalcFunction"));
        }
        EXPECT_FALSE(chart->Calculated);
    }
}

TEST_F(CalcChart, BandCentresOfTheOctaveFunctions)
{
    const double centres[] = {31.5, 63, 125, 250, 500, 1000, 2000, 4000, 8000};
    for (int32_t f = 2; f <= 10; ++f)
        EXPECT_EQ(BandCentre(f), centres[f - 2]);
    EXPECT_THROW(BandCentre(1), DazoError);
    EXPECT_THROW(BandCentre(11), DazoError);
}

TEST_F(CalcChart, RecordsAreWrittenOnlyByACalculatedChart)
{
    {
        auto never = Chart(1);
        never->Reset();
    }
    EXPECT_FALSE(std::filesystem::exists(project));

    auto chart = Chart(6);
    chart->Calculate();
    EXPECT_EQ(RTRecordsInProject(6), 0); // the analysis writes only the C record
    chart.reset();
    EXPECT_EQ(RTRecordsInProject(6), kRTKindCount);
}

TEST_F(CalcChart, ResetDropsTheCurvesButKeepsTheCursorPositions)
{
    auto chart = Chart(1);
    chart->Calculate();
    chart->StoreCursorPos(1, 12.5);
    chart->Reset();
    EXPECT_FALSE(chart->Calculated);
    EXPECT_EQ(chart->SignalCount(), 0);
    EXPECT_EQ(chart->SchroederCount(), 0);
    EXPECT_EQ(RTRecordsInProject(1), kRTKindCount);
    EXPECT_EQ(chart->FreeCursorPos, (std::array<double, 3>{0.0, 12.5, 0.0}));
    EXPECT_THROW(chart->StoreCursorPos(3, 1.0), DazoError);
}

TEST_F(CalcChart, DestructionSwallowsAFailedWrite)
{
    auto chart = Chart(1);
    chart->Calculate();
    // A directory in place of the project file makes every write fail.
    std::filesystem::remove(project);
    std::filesystem::create_directory(project);
    EXPECT_THROW(chart->SaveRTRecords(), DazoError);
    EXPECT_NO_THROW(chart.reset());
}

} // namespace
} // namespace dazo
