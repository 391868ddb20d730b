// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ChartCursors.h"
#include "analysis/uCalcChart.h"

#include "FakeChartView.h"
#include "common/DazoError.h"
#include "common/Encoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace dazo {
namespace {

using test::FakeChartView;

constexpr int kSamples = 4000;      // at 0.1 ms
constexpr int kOnset = 100;         // silent samples before the peak
constexpr int kSchroederStart = 3000;

class ChartDrawing : public testing::Test {
protected:
    ChartDrawing()
    {
        // An exponential decay of 0.3 s reverberation time after a silent start.
        std::vector<float> samples(kSamples, 0.0f);
        for (int i = kOnset; i < kSamples; ++i)
            samples[static_cast<std::size_t>(i)] = static_cast<float>(std::pow(10.0, -3.0 * ((i - kOnset) / 10000.0) / 0.3));
        data.SampleInterval = 0.1f;
        data.SetSamples(std::move(samples));
        data.SchroederStart = kSchroederStart;
        data.FileName = dir.File("m1.tim");
    }

    std::unique_ptr<TCalcChart> Calcer(int32_t calcFunction)
    {
        auto calcer = std::make_unique<TCalcChart>(dir.File("p.npj"), data);
        calcer->SampleRate = 10000.0;
        calcer->SetCalcFunction(calcFunction);
        return calcer;
    }

    std::vector<int> Positions() const
    {
        return {cursors.Items(0).Position(), cursors.Items(1).Position(), cursors.Items(2).Position()};
    }

    test::TempDir dir;
    TCalcData data;
    FakeChartView chart;
    TXChartCursors cursors{3}; // after the chart: takes its lines off it first
};

TEST_F(ChartDrawing, FirstDrawAnalysesAndLaterDrawsOnlyBuildTheRepresentation)
{
    auto calcer = Calcer(1);
    EXPECT_EQ(calcer->Draw(1, chart, cursors), &calcer->SignalSeries);
    EXPECT_TRUE(calcer->Calculated);
    EXPECT_EQ(calcer->SchroederCount(), kSchroederStart + 1);

    calcer->SetSchroederY(0, 1.5); // a new analysis would overwrite this
    chart.Calls.clear();
    EXPECT_EQ(calcer->Draw(2, chart, cursors), &calcer->DisplaySeries);
    EXPECT_EQ(calcer->SchroederY(0), 1.5);
    EXPECT_DOUBLE_EQ(calcer->DisplayY(150), calcer->SignalY(150) * calcer->SignalY(150));

    const std::vector<FakeChartView::Call> opening{{"BusyOn"}, {"RemoveAllSeries"}, {"UndoZoom"}};
    EXPECT_EQ(std::vector(chart.Calls.begin(), chart.Calls.begin() + 3), opening);
    EXPECT_EQ(chart.Calls.back().Name, "BusyOff");
    EXPECT_EQ(chart.Find(calcer->SignalSeries), nullptr);
    ASSERT_NE(chart.Find(calcer->DisplaySeries), nullptr);
    EXPECT_TRUE(chart.Find(calcer->DisplaySeries)->Visible);
    EXPECT_EQ(chart.Find(calcer->DisplaySeries)->Axis, ChartAxis::Left);
    EXPECT_EQ(chart.Find(calcer->SchroederSeries)->Axis, ChartAxis::Right);
}

TEST_F(ChartDrawing, AxisTitleAndCurveFollowTheRepresentation)
{
    auto calcer = Calcer(1);
    const struct {
        int representation;
        const char* title;
        bool signal;
    } cases[] = {
        {1, "Amplitude [Volt]", true},
        {2, "Amplitude [Volt]", false},
        {3, "Amplitude [dB] re 20 µPa", false},
        {4, "Amplitude [dB]", false},
        {5, "Amplitude [dB]", false},
        {6, "Amplitude [dB]", false},
        {0, "Amplitude [Volt]", false}, // the display curve as it was
        {7, "Amplitude [Volt]", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.representation);
        const std::vector<double> before(calcer->DisplaySeries.Ys().begin(), calcer->DisplaySeries.Ys().end());
        const TLineSeries* shown = calcer->Draw(c.representation, chart, cursors);
        EXPECT_EQ(chart.LeftTitle, Ansi(c.title));
        EXPECT_EQ(shown, c.signal ? &calcer->SignalSeries : &calcer->DisplaySeries);
        const std::vector<double> after(calcer->DisplaySeries.Ys().begin(), calcer->DisplaySeries.Ys().end());
        if (c.representation < 1 || c.representation > 6) {
            EXPECT_EQ(after, before);
        } else if (!c.signal) {
            EXPECT_EQ(after.size(), static_cast<std::size_t>(kSamples));
        }
    }
}

TEST_F(ChartDrawing, InputFunctionShowsTheRawSignalWithoutSchroederCurve)
{
    auto calcer = Calcer(0);
    EXPECT_EQ(calcer->Draw(1, chart, cursors), &calcer->SignalSeries);
    EXPECT_EQ(calcer->SchroederCount(), 0);
    EXPECT_EQ(chart.Order.size(), 4u); // the curve and the three cursor lines
    EXPECT_EQ(chart.Find(cursors.RegressionLine()), nullptr);
    EXPECT_EQ(cursors.Items(0).PointCount, kSamples);

    EXPECT_EQ(calcer->Draw(4, chart, cursors), &calcer->DisplaySeries);
    ASSERT_EQ(calcer->DisplaySeries.Count(), kSamples);
    const double y = calcer->RawValue(150);
    EXPECT_DOUBLE_EQ(calcer->DisplayY(150), 10.0 * Lg10(y * y));
}

TEST_F(ChartDrawing, WithoutStoredPositionsCursorsShowTheRangeOfTheCurrentKind)
{
    auto calcer = Calcer(1);
    ASSERT_EQ(calcer->CurrentRTKind, kEdtComputed);
    calcer->Draw(1, chart, cursors);

    const TRTRecord& edt = calcer->RTRecords[kEdtComputed];
    EXPECT_EQ(edt.StartIndex, kOnset); // the peak
    ASSERT_GT(edt.EndIndex, edt.StartIndex + 3);
    const int middle = edt.StartIndex + (edt.EndIndex - edt.StartIndex) / 2;
    EXPECT_EQ(Positions(), (std::vector<int>{edt.StartIndex, edt.EndIndex, middle}));
    EXPECT_EQ(cursors.Items(0).PointCount, kSchroederStart + 1);
    EXPECT_EQ(cursors.Items(1).PointCount, kSchroederStart + 1);
    EXPECT_EQ(cursors.Items(2).PointCount, kSamples);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(calcer->FreeCursorPos[static_cast<std::size_t>(i)], cursors.Items(i).X());

    const TLineSeries& regression = cursors.RegressionLine();
    ASSERT_EQ(regression.Count(), 2);
    EXPECT_EQ(regression.X(0), calcer->SignalX(edt.StartIndex));
    EXPECT_EQ(regression.Y(0), edt.LevelStart);
    EXPECT_EQ(regression.X(1), calcer->SignalX(edt.EndIndex));
    EXPECT_EQ(regression.Y(1), edt.LevelEnd);
    EXPECT_TRUE(cursors.Visible());
    EXPECT_TRUE(chart.Find(regression)->Visible);
}

TEST_F(ChartDrawing, ResetAndDrawRestoreTheUsersCursorPositions)
{
    auto calcer = Calcer(1);
    calcer->Draw(1, chart, cursors);
    const int end = calcer->RTRecords[kEdtComputed].EndIndex;
    cursors.Items(1).MoveTo(end + 40);
    cursors.Items(2).MoveTo(2500);
    const auto stored = calcer->FreeCursorPos;

    calcer->Reset();
    EXPECT_FALSE(calcer->Calculated);
    calcer->SetCurrentRTKind(kRt30Computed); // its range would put the cursors elsewhere
    calcer->Draw(1, chart, cursors);
    EXPECT_TRUE(calcer->Calculated);
    EXPECT_EQ(Positions(), (std::vector<int>{kOnset, end + 40, 2500}));
    EXPECT_EQ(calcer->FreeCursorPos, stored);
}

TEST_F(ChartDrawing, FailedAnalysisLeavesAnEmptyChartAndTheNormalPointer)
{
    auto shown = Calcer(1);
    shown->Draw(1, chart, cursors);
    auto broken = Calcer(11);
    try {
        broken->Draw(1, chart, cursors);
        FAIL() << "no error";
    } catch (const DazoError& e) {
        EXPECT_EQ(e.what(), Ansi("Programierfehler: in Methode SetCalcFunction"));
    }
    EXPECT_FALSE(broken->Calculated);
    EXPECT_TRUE(chart.Order.empty());
    EXPECT_FALSE(chart.Busy);
    EXPECT_EQ(chart.Calls.back().Name, "BusyOff");

    shown->SetCurrentRTKind(kRTKindCount);
    shown->FreeCursorPos = {};
    EXPECT_THROW(shown->Draw(1, chart, cursors), DazoError);
    EXPECT_FALSE(chart.Busy);
}

TEST_F(ChartDrawing, CursorLinesEndUpDrawnOverTheCurves)
{
    auto calcer = Calcer(1);
    const TLineSeries* curve = calcer->Draw(1, chart, cursors);
    const TLineSeries* schroeder = &calcer->SchroederSeries;
    const TLineSeries* lines[] = {&cursors.Items(0).LineSeries(), &cursors.Items(1).LineSeries(),
                                  &cursors.Items(2).LineSeries()};

    std::vector<FakeChartView::Call> expected;
    for (const TLineSeries* line : lines) {
        expected.push_back({"MoveSeriesLater", line});
        expected.push_back({"MoveSeriesEarlier", curve});
        expected.push_back({"MoveSeriesEarlier", schroeder});
    }
    std::vector<FakeChartView::Call> moves;
    for (const auto& call : chart.Calls)
        if (call.Name.starts_with("MoveSeries"))
            moves.push_back(call);
    EXPECT_EQ(moves, expected);
    const std::vector<const TLineSeries*> order{curve, schroeder, lines[0], lines[1], &cursors.RegressionLine(), lines[2]};
    EXPECT_EQ(chart.SeriesInOrder(), order);
}

} // namespace
} // namespace dazo
