// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ChartCursors.h"

#include "FakeChartView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace dazo {
namespace {

using test::FakeChartView;

// n points from x = 0 with the given spacing; y runs -3 .. 3.
TLineSeries Curve(int n, double spacing = 0.1)
{
    TLineSeries s;
    for (int i = 0; i < n; ++i)
        s.Add(i * spacing, (i % 7) - 3.0);
    return s;
}

// The chart outlives the cursors: declared first, destroyed last.
struct BoundCursors {
    FakeChartView chart;
    TLineSeries curve = Curve(1000);
    TXChartCursors cursors{3};
    std::vector<std::pair<int, double>> moves;

    BoundCursors(int p0 = 100, int p1 = 104, int p2 = 500)
    {
        cursors.Bind(curve, chart);
        cursors.Items(0).PlaceAt(p0);
        cursors.Items(1).PlaceAt(p1);
        cursors.Items(2).PlaceAt(p2);
        cursors.OnCursorMove = [this](int i, double x) { moves.emplace_back(i, x); };
    }
    std::vector<int> Positions() const
    {
        return {cursors.Items(0).Position(), cursors.Items(1).Position(), cursors.Items(2).Position()};
    }
};

TEST(ChartCursors, MoveToKeepsCursorsZeroAndOneApartAndLimitsToTheCurve)
{
    const struct {
        int cursor;
        int target;
        int expected;
        bool accepted;
    } cases[] = {
        {0, 101, 100, false}, // 104 <= 101 + 3
        {0, 100, 100, true},
        {0, 50, 50, true},
        {0, -7, 0, true},
        {1, 103, 104, false}, // 100 >= 103 - 3
        {1, 110, 110, true},
        {1, 5000, 999, true},
        {2, 100, 100, true}, // the free cursor may stand on either
        {2, 104, 104, true},
        {2, 5000, 999, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "cursor " << c.cursor << " to " << c.target);
        BoundCursors f;
        TXChartCursor& cursor = f.cursors.Items(c.cursor);
        const double xBefore = cursor.X();
        cursor.MoveTo(c.target);
        EXPECT_EQ(cursor.Position(), c.expected);
        EXPECT_DOUBLE_EQ(cursor.X(), f.curve.X(c.expected));
        ASSERT_EQ(cursor.LineSeries().Count(), 2);
        EXPECT_EQ(cursor.LineSeries().Y(0), -3.0);
        EXPECT_EQ(cursor.LineSeries().Y(1), 3.0);
        if (c.accepted) {
            ASSERT_EQ(f.moves.size(), 1u);
            EXPECT_EQ(f.moves[0], std::make_pair(c.cursor, f.curve.X(c.expected)));
        } else {
            EXPECT_TRUE(f.moves.empty());
            EXPECT_EQ(cursor.X(), xBefore);
        }
    }
}

TEST(ChartCursors, PlaceAtIgnoresTheNeighbourRuleButStaysOnTheCurve)
{
    BoundCursors f;
    f.cursors.Items(0).PlaceAt(104);
    f.cursors.Items(2).PlaceAt(5000); // "Comp." on a shorter curve
    f.cursors.Items(1).PlaceAt(-1);
    EXPECT_EQ(f.Positions(), (std::vector<int>{104, 0, 999}));
    const std::vector<std::pair<int, double>> expected{{0, f.curve.X(104)}, {2, f.curve.X(999)}, {1, 0.0}};
    EXPECT_EQ(f.moves, expected);
    EXPECT_EQ(f.chart.CallsNamed("SeriesChanged").back().Series, &f.cursors.Items(1).LineSeries());
}

TEST(ChartCursors, UnboundOrEmptyCurveMovesNothing)
{
    TXChartCursors cursors(3);
    EXPECT_EQ(cursors.Items(0).IndexOfX(5.0), -1);
    cursors.Items(0).PlaceAt(3);
    cursors.Items(0).MoveTo(3);
    EXPECT_EQ(cursors.Items(0).Position(), 0);
    EXPECT_EQ(cursors.Items(0).X(), 0.0);

    FakeChartView chart;
    const TLineSeries empty;
    TXChartCursors bound(3);
    bound.Bind(empty, chart);
    bound.Items(2).PlaceAtX(5.0);
    bound.Items(2).MoveTo(5);
    EXPECT_EQ(bound.Items(2).Position(), 0);
    EXPECT_TRUE(bound.Items(2).LineSeries().Empty());
}

TEST(ChartCursors, IndexOfXRoundsToTheNearestPointWithinPointCount)
{
    FakeChartView chart;
    const TLineSeries tenth = Curve(1000, 0.1);
    const TLineSeries half = Curve(1000, 0.5);
    const struct {
        const TLineSeries* curve;
        double x;
        int expected;
    } cases[] = {
        {&tenth, 50.0, 500},
        {&tenth, 99.9, 999},
        {&tenth, 1e9, 999},
        {&tenth, std::numeric_limits<double>::infinity(), 999},
        {&tenth, -5.0, 0},
        {&tenth, std::numeric_limits<double>::quiet_NaN(), 0},
        {&half, 0.25, 0}, // 0.5: ties go to the even index
        {&half, 0.75, 2}, // 1.5
        {&half, 1.25, 2}, // 2.5
        {&half, 1.3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        TXChartCursors cursors(1);
        cursors.Bind(*c.curve, chart);
        EXPECT_EQ(cursors.Items(0).IndexOfX(c.x), c.expected);
    }
}

TEST(ChartCursors, IndexOfXWithoutASpacingIsZero)
{
    FakeChartView chart;
    TLineSeries flat; // every x at 0
    flat.Add(0.0, 1.0);
    flat.Add(0.0, 2.0);
    flat.Add(0.0, 3.0);
    TLineSeries single = Curve(1);
    for (const TLineSeries* curve : {&flat, &single}) {
        TXChartCursors cursors(1);
        cursors.Bind(*curve, chart);
        EXPECT_EQ(cursors.Items(0).IndexOfX(2.0), 0);
    }
}

TEST(ChartCursors, RebindingToAShorterCurveNarrowsEveryCursor)
{
    BoundCursors f(100, 600, 800);
    const TLineSeries shorter = Curve(500);
    f.cursors.Bind(shorter, f.chart);
    EXPECT_EQ(f.cursors.DataSeries(), &shorter);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.cursors.Items(i).DataSeries(), &shorter);
        EXPECT_EQ(f.cursors.Items(i).PointCount, 500);
        EXPECT_EQ(f.cursors.Items(i).IndexOfX(80.0), 499);
    }
    f.cursors.Items(2).MoveTo(f.cursors.Items(2).Position() + 1);
    EXPECT_EQ(f.cursors.Items(2).Position(), 499);
    f.cursors.Items(0).PlaceAtX(60.0);
    EXPECT_EQ(f.cursors.Items(0).Position(), 499);
}

TEST(ChartCursors, SelectionStepsWrapAround)
{
    enum Step { kNext, kPrevious };
    const struct {
        int selected; // -1: none
        Step step;
        int expected;
    } cases[] = {
        {-1, kNext, 0}, {0, kNext, 1}, {1, kNext, 2}, {2, kNext, 0},
        {-1, kPrevious, 2}, {0, kPrevious, 2}, {2, kPrevious, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected << (c.step == kNext ? " next" : " previous"));
        BoundCursors f;
        if (c.selected >= 0)
            f.cursors.Select(c.selected);
        c.step == kNext ? f.cursors.SelectNext() : f.cursors.SelectPrevious();
        EXPECT_EQ(f.cursors.SelectedIndex(), c.expected);
        for (int i = 0; i < 3; ++i) {
            const TXChartCursor& cursor = f.cursors.Items(i);
            EXPECT_EQ(cursor.Selected(), i == c.expected);
            EXPECT_EQ(f.chart.Find(cursor.LineSeries())->Width, i == c.expected ? 3 : 1);
        }
    }
}

TEST(ChartCursors, MoveSelectedMovesOnlyWithASelection)
{
    BoundCursors f;
    EXPECT_FALSE(f.cursors.MoveSelected(5));
    EXPECT_EQ(f.Positions(), (std::vector<int>{100, 104, 500}));
    EXPECT_TRUE(f.moves.empty());

    f.cursors.SelectBySeries(&f.cursors.Items(2).LineSeries());
    EXPECT_TRUE(f.cursors.MoveSelected(-20));
    EXPECT_TRUE(f.cursors.MoveSelected(std::numeric_limits<int>::max()));
    EXPECT_EQ(f.Positions(), (std::vector<int>{100, 104, 999}));

    f.cursors.SelectBySeries(&f.curve); // not a cursor line: none selected
    EXPECT_EQ(f.cursors.SelectedIndex(), -1);
}

TEST(ChartCursors, LinesFollowTheListOnTheChart)
{
    BoundCursors f;
    const RgbColor colors[] = {kCursorYellow, kCursorGreen, kCursorWhite};
    for (int i = 0; i < 3; ++i) {
        const auto* shown = f.chart.Find(f.cursors.Items(i).LineSeries());
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->CursorLine);
        EXPECT_FALSE(shown->Visible);
        EXPECT_EQ(shown->Color, colors[i]);
    }
    f.cursors.AttachRegressionLine(f.chart);
    const auto* regression = f.chart.Find(f.cursors.RegressionLine());
    ASSERT_NE(regression, nullptr);
    EXPECT_EQ(regression->Axis, ChartAxis::Right);
    EXPECT_EQ(regression->Color, kCursorYellow);

    f.cursors.SetVisible(true);
    for (const auto& shown : f.chart.Order)
        EXPECT_TRUE(shown.Visible);

    // A chart cleared by a new drawing gets the lines back, with their state.
    f.chart.RemoveAllSeries();
    f.cursors.Bind(f.curve, f.chart);
    f.cursors.Bind(f.curve, f.chart);
    ASSERT_EQ(f.chart.Order.size(), 3u);
    EXPECT_TRUE(f.chart.Order[2].Visible);

    {
        TXChartCursors other(2);
        other.Bind(f.curve, f.chart);
        other.AttachRegressionLine(f.chart);
        EXPECT_EQ(f.chart.Order.size(), 6u);
    }
    EXPECT_EQ(f.chart.Order.size(), 3u);
}

TEST(ChartCursors, RegressionLineJoinsCursorsZeroAndOneAtTheLevels)
{
    BoundCursors f(100, 300, 500);
    f.cursors.AttachRegressionLine(f.chart);
    EXPECT_FALSE(f.cursors.RegressionLineVisible());

    f.cursors.ShowRegressionLine(-1.5, -21.5);
    const TLineSeries& line = f.cursors.RegressionLine();
    ASSERT_EQ(line.Count(), 2);
    EXPECT_EQ(line.X(0), f.curve.X(100));
    EXPECT_EQ(line.Y(0), -1.5);
    EXPECT_EQ(line.X(1), f.curve.X(300));
    EXPECT_EQ(line.Y(1), -21.5);
    EXPECT_TRUE(f.chart.Find(line)->Visible);

    f.cursors.ShowRegressionLine(-2.0, -12.0);
    EXPECT_EQ(line.Count(), 2);
    f.cursors.SetRegressionLineVisible(false);
    EXPECT_FALSE(f.chart.Find(line)->Visible);
}

} // namespace
} // namespace dazo
