// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/CursorReadouts.h"

#include "FakeChartView.h"
#include "analysis/ChartCursors.h"
#include "analysis/uCalcer.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

// A calculator with a signal of n points 0.5 ms apart (y = i), a Schroeder
// curve of m points falling 1 dB per point, and a representation (y = -i).
struct Curves {
    TCalcData data;
    TCalcer calcer{data};
    Curves(int n, int m)
    {
        for (int i = 0; i < n; ++i) {
            calcer.AddSignalPoint(i * 0.5, i);
            calcer.AddDisplayPoint(i * 0.5, -i);
        }
        for (int i = 0; i < m; ++i)
            calcer.AddSchroederPoint(i * 0.5, -1.0 * i);
    }
};

TEST(CursorReadouts, PositionsAndDistancesInEachUnit)
{
    const std::array<double, 3> xs{10.0, 60.0, 35.0};
    const std::array<double, 3> levels{2.0, 32.0, 12.5};
    const struct {
        DistanceUnit unit;
        CursorReadout expected;
    } cases[] = {
        {DistanceUnit::Milliseconds, {{10.0, 60.0, 35.0}, {50.0, 25.0, -25.0}}},
        {DistanceUnit::Metres, {{3.44, 20.64, 12.04}, {17.2, 8.6, -8.6}}},
        {DistanceUnit::Decibels, {{2.0, 32.0, 12.5}, {30.0, 10.5, -19.5}}},
    };
    for (const auto& c : cases) {
        const CursorReadout r = ComputeCursorReadout(c.unit, xs, levels);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_NEAR(r.positions[k], c.expected.positions[k], 1e-12) << static_cast<int>(c.unit) << k;
            EXPECT_NEAR(r.distances[k], c.expected.distances[k], 1e-12) << static_cast<int>(c.unit) << k;
        }
    }
}

TEST(CursorReadouts, LevelsAreDecaysAndZeroBeyondTheSchroederCurve)
{
    const Curves c(100, 40);
    const std::array<double, 3> levels = CursorLevels(c.calcer.SchroederSeries, {5, 40, 39});
    EXPECT_EQ(levels, (std::array<double, 3>{5.0, 0.0, 39.0}));
}

TEST(CursorReadouts, TypedValuesLeadToTimes)
{
    const Curves c(100, 40);
    EXPECT_EQ(TypedCursorTime(DistanceUnit::Milliseconds, 12.25, c.calcer), 12.25);
    EXPECT_NEAR(*TypedCursorTime(DistanceUnit::Metres, 17.2, c.calcer), 50.0, 1e-12);
    // The first point that has decayed by the value, its time on the signal.
    EXPECT_EQ(TypedCursorTime(DistanceUnit::Decibels, 10.0, c.calcer), 5.0);
    EXPECT_EQ(TypedCursorTime(DistanceUnit::Decibels, 9.5, c.calcer), 5.0);
    EXPECT_EQ(TypedCursorTime(DistanceUnit::Decibels, 0.0, c.calcer), 0.0);
    // A decay no point reaches: the Schroeder curve's last point.
    EXPECT_EQ(TypedCursorTime(DistanceUnit::Decibels, 80.0, c.calcer), 19.5);

    const Curves noDecay(100, 0);
    EXPECT_EQ(TypedCursorTime(DistanceUnit::Decibels, 10.0, noDecay.calcer), std::nullopt);
    const Curves shortSignal(20, 40);
    EXPECT_EQ(TypedCursorTime(DistanceUnit::Decibels, 30.0, shortSignal.calcer), std::nullopt);
    EXPECT_EQ(TypedCursorTime(DistanceUnit::Decibels, 3.0, shortSignal.calcer), 1.5);
}

TEST(CursorReadouts, FreeCursorTextByCurveAndView)
{
    const Curves c(100, 40);
    const FormatSettings de = FormatSettings::German();
    EXPECT_EQ(FreeCursorText(c.calcer, 1, FreeCursorCurve::ImpulseResponse, 50, 25.0, de), "25,0000/50,0000");
    EXPECT_EQ(FreeCursorText(c.calcer, 4, FreeCursorCurve::ImpulseResponse, 50, 25.0, de), "25,0000/-50,0000");
    EXPECT_EQ(FreeCursorText(c.calcer, 1, FreeCursorCurve::Schroeder, 30, 15.0, FormatSettings::English()), "15.0000/-30.0000");
    EXPECT_EQ(FreeCursorText(c.calcer, 1, FreeCursorCurve::Schroeder, 40, 20.0, de), "-");
    EXPECT_EQ(FreeCursorText(c.calcer, 1, FreeCursorCurve::ImpulseResponse, 100, 50.0, de), "-");
}

TEST(CursorReadouts, KeyboardStepsEndAtTheCursorsRange)
{
    test::FakeChartView chart;
    TLineSeries curve;
    for (int i = 0; i < 100; ++i)
        curve.Add(i, 0.0);
    TXChartCursors cursors(3);
    cursors.Bind(curve, chart);
    TXChartCursor& cursor = cursors.Items(1);
    cursor.PointCount = 60; // the Schroeder curve's length
    cursor.PlaceAt(55);
    EXPECT_EQ(BoundedStep(cursor, 3), 3);
    EXPECT_EQ(BoundedStep(cursor, 10), 4);
    EXPECT_EQ(BoundedStep(cursor, -80), -55);
    EXPECT_EQ(BoundedStep(cursor, 1LL << 40), 4);
}

} // namespace
} // namespace dazo
