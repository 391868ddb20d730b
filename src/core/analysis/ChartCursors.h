// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The vertical cursor lines over the chart. Cursors 0 and 1 delimit the range
// of the user's own reverberation fit, cursor 2 is free; every placement snaps
// to a point of the curve the cursors are bound to. The regression line joins
// cursors 0 and 1 at the levels of the fitted decay.
//
// The logic (positions, neighbour rule, selection, binding, regression-line
// levels) lives here; the chart only shows the lines, through IChartView.

#include "analysis/ChartView.h"
#include "analysis/Series.h"

#include <functional>
#include <memory>
#include <vector>

namespace dazo {

inline constexpr RgbColor kCursorYellow{255, 255, 0};
inline constexpr RgbColor kCursorGreen{0, 128, 0};
inline constexpr RgbColor kCursorWhite{255, 255, 255};

class TXChartCursors;

class TXChartCursor {
public:
    TXChartCursor(TXChartCursors& owner, int index, RgbColor color);
    TXChartCursor(const TXChartCursor&) = delete;
    TXChartCursor& operator=(const TXChartCursor&) = delete;

    int Index() const { return index_; }
    TXChartCursors& Owner() const { return owner_; }
    // The curve the cursor snaps to; none until bound.
    const TLineSeries* DataSeries() const { return dataSeries_; }
    // The cursor line: two points with the same x, at the lowest and the
    // highest y of the curve; the chart draws it as the cursor.
    const TLineSeries& LineSeries() const { return line_; }
    RgbColor Color() const { return color_; }
    // Point index of the curve the cursor stands on.
    int Position() const { return position_; }
    bool Selected() const { return selected_; }
    int PenWidth() const { return selected_ ? 3 : 1; }

    // Index range of IndexOfX: the curve's point count after binding; the
    // caller may narrow it (cursors 0 and 1 to the Schroeder curve).
    int PointCount = 0;

    void SetSelected(bool selected);
    // Nearest point index of x (ties to the even index) within 0 .. PointCount-1;
    // -1 when unbound.
    int IndexOfX(double x) const;
    // The user's move: limited to the curve and subject to the neighbour rule;
    // a rejected move leaves the cursor where it was.
    void MoveTo(int index);
    void MoveToX(double x);
    // Placement by the program: no neighbour rule.
    void PlaceAt(int index);
    void PlaceAtX(double x);
    // x of the cursor line in ms; 0 before the first placement.
    double X() const;

private:
    friend class TXChartCursors;
    void Bind(const TLineSeries& series);
    bool BreaksNeighbourRule(int index) const;
    void DrawLine(double x, double yLow, double yHigh);
    void ReportMove() const;

    TXChartCursors& owner_;
    const int index_;
    const RgbColor color_;
    const TLineSeries* dataSeries_ = nullptr;
    TLineSeries line_;
    int position_ = 0;
    bool selected_ = false;
};

class TXChartCursors {
public:
    explicit TXChartCursors(int n);
    // Takes the lines off the chart they were put on; that chart must still exist.
    ~TXChartCursors();
    TXChartCursors(const TXChartCursors&) = delete;
    TXChartCursors& operator=(const TXChartCursors&) = delete;

    TXChartCursor& Items(int i);
    const TXChartCursor& Items(int i) const;
    int Count() const { return static_cast<int>(items_.size()); }

    bool Visible() const { return visible_; }
    // Called with the cursor index and the new x whenever a cursor is placed or moved.
    std::function<void(int index, double x)> OnCursorMove;
    // The curve the list was last bound to; none before.
    const TLineSeries* DataSeries() const { return dataSeries_; }
    // Two points, drawn yellow against the right axis.
    const TLineSeries& RegressionLine() const { return regressionLine_; }
    bool RegressionLineVisible() const { return regressionVisible_; }
    // The chart the lines were put on; none before Bind or AttachRegressionLine.
    // The cursors live on one chart: a different one takes the lines over.
    IChartView* Chart() const { return chart_; }

    // Selects the cursor whose line is series; none when no line matches.
    void SelectBySeries(const TLineSeries* series);
    void Select(int i);
    int SelectedIndex() const; // -1 when none
    // Moves the selected cursor by delta points; false when none is selected.
    bool MoveSelected(int delta);
    void SelectNext();
    void SelectPrevious();

    void SetVisible(bool visible);
    // Binds every cursor to the curve and puts the cursor lines on its chart
    // (our series do not know their chart, hence the second argument).
    void Bind(const TLineSeries& series, IChartView& chart);
    // Puts the regression line on the chart against the right axis, hidden.
    void AttachRegressionLine(IChartView& chart);
    // From cursor 0 at levelStart to cursor 1 at levelEnd (dB), shown.
    void ShowRegressionLine(double levelStart, double levelEnd);
    void SetRegressionLineVisible(bool visible);

private:
    void UseChart(IChartView& chart);
    void RemoveLinesFrom(IChartView& chart);

    std::vector<std::unique_ptr<TXChartCursor>> items_;
    bool visible_ = false;
    const TLineSeries* dataSeries_ = nullptr;
    TLineSeries regressionLine_;
    bool regressionVisible_ = false;
    IChartView* chart_ = nullptr;
};

} // namespace dazo
