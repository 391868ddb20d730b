// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ChartCursors.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <utility>

namespace dazo {
namespace {

constexpr int kNeighbourGap = 3; // points cursors 0 and 1 keep between them, at least plus one

RgbColor CursorColor(int index)
{
    switch (index) {
    case 0:
        return kCursorYellow;
    case 1:
        return kCursorGreen;
    default:
        return kCursorWhite;
    }
}

// For 0 < q < INT_MAX.
int RoundHalfToEven(double q)
{
    const double whole = std::floor(q);
    const double fraction = q - whole;
    int result = static_cast<int>(whole);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0))
        ++result;
    return result;
}

} // namespace

// ---- TXChartCursor -------------------------------------------------------

TXChartCursor::TXChartCursor(TXChartCursors& owner, int index, RgbColor color)
    : owner_(owner)
    , index_(index)
    , color_(color)
{
}

void TXChartCursor::SetSelected(bool selected)
{
    if (selected == selected_)
        return;
    selected_ = selected;
    if (IChartView* chart = owner_.Chart())
        chart->SetSeriesPen(line_, color_, PenWidth());
}

int TXChartCursor::IndexOfX(double x) const
{
    if (!dataSeries_)
        return -1;
    const int last = PointCount - 1;
    if (last <= 0 || dataSeries_->Count() < 2)
        return 0;
    // The curves start at x = 0 with constant spacing: point 1 holds it.
    const double spacing = dataSeries_->X(1);
    if (!(spacing > 0.0))
        return 0;
    const double q = x / spacing;
    if (!(q > 0.0)) // also NaN
        return 0;
    if (q >= last)
        return last;
    return RoundHalfToEven(q);
}

bool TXChartCursor::BreaksNeighbourRule(int index) const
{
    const int n = owner_.Count();
    if (index_ == n - 1) // the last cursor is free
        return false;
    if (index_ < n - 2 && owner_.Items(index_ + 1).Position() <= index + kNeighbourGap)
        return true;
    return index_ > 0 && owner_.Items(index_ - 1).Position() >= index - kNeighbourGap;
}

void TXChartCursor::MoveTo(int index)
{
    if (!dataSeries_ || dataSeries_->Empty())
        return;
    const int last = dataSeries_->Count() - 1;
    const int target = std::clamp(index, 0, last);
    const bool accepted = !BreaksNeighbourRule(target);
    if (accepted)
        position_ = target;
    // Only the x of the two points changes; a stale position from a longer
    // curve bound before is drawn at the curve's end.
    const double x = dataSeries_->X(std::min(position_, last));
    if (line_.Count() == 2)
        DrawLine(x, line_.Y(0), line_.Y(1));
    else
        DrawLine(x, dataSeries_->MinY(), dataSeries_->MaxY());
    if (accepted)
        ReportMove();
}

void TXChartCursor::MoveToX(double x)
{
    MoveTo(IndexOfX(x));
}

void TXChartCursor::PlaceAt(int index)
{
    if (!dataSeries_ || dataSeries_->Empty())
        return;
    // No neighbour rule here, but the index is still bound to the curve:
    // callers place without knowing its length ("Comp." puts cursor 2 on
    // point 5000 of whatever curve is shown).
    position_ = std::clamp(index, 0, dataSeries_->Count() - 1);
    DrawLine(dataSeries_->X(position_), dataSeries_->MinY(), dataSeries_->MaxY());
    ReportMove();
}

void TXChartCursor::PlaceAtX(double x)
{
    PlaceAt(IndexOfX(x));
}

double TXChartCursor::X() const
{
    return line_.Empty() ? 0.0 : line_.X(0);
}

void TXChartCursor::Bind(const TLineSeries& series)
{
    dataSeries_ = &series;
    PointCount = series.Count();
}

void TXChartCursor::DrawLine(double x, double yLow, double yHigh)
{
    line_.Clear();
    line_.Add(x, yLow);
    line_.Add(x, yHigh);
    if (IChartView* chart = owner_.Chart())
        chart->SeriesChanged(line_);
}

void TXChartCursor::ReportMove() const
{
    if (owner_.OnCursorMove)
        owner_.OnCursorMove(index_, X());
}

// ---- TXChartCursors ------------------------------------------------------

TXChartCursors::TXChartCursors(int n)
{
    for (int i = 0; i < n; ++i)
        items_.push_back(std::make_unique<TXChartCursor>(*this, i, CursorColor(i)));
}

TXChartCursors::~TXChartCursors()
{
    if (chart_)
        RemoveLinesFrom(*chart_);
}

TXChartCursor& TXChartCursors::Items(int i)
{
    return const_cast<TXChartCursor&>(std::as_const(*this).Items(i));
}

const TXChartCursor& TXChartCursors::Items(int i) const
{
    if (i < 0 || i >= Count())
        throw DazoError(Ansi("Listenindex überschreitet das Maximum (") + std::to_string(i) + ")");
    return *items_[static_cast<std::size_t>(i)];
}

void TXChartCursors::SelectBySeries(const TLineSeries* series)
{
    for (const auto& cursor : items_)
        cursor->SetSelected(&cursor->LineSeries() == series);
}

void TXChartCursors::Select(int i)
{
    SelectBySeries(&Items(i).LineSeries());
}

int TXChartCursors::SelectedIndex() const
{
    for (const auto& cursor : items_)
        if (cursor->Selected())
            return cursor->Index();
    return -1;
}

bool TXChartCursors::MoveSelected(int delta)
{
    const int s = SelectedIndex();
    if (s < 0)
        return false;
    TXChartCursor& cursor = Items(s);
    // Held keys accelerate the step; the sum must not overflow.
    const long long target = static_cast<long long>(cursor.Position()) + delta;
    cursor.MoveTo(static_cast<int>(std::clamp<long long>(target, INT_MIN, INT_MAX)));
    return true;
}

void TXChartCursors::SelectNext()
{
    const int s = SelectedIndex();
    Select(s >= Count() - 1 ? 0 : s + 1);
}

void TXChartCursors::SelectPrevious()
{
    const int s = SelectedIndex();
    Select(s <= 0 ? Count() - 1 : s - 1);
}

void TXChartCursors::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    regressionVisible_ = visible;
    if (!chart_)
        return;
    for (const auto& cursor : items_)
        chart_->SetSeriesVisible(cursor->LineSeries(), visible);
    chart_->SetSeriesVisible(regressionLine_, visible);
}

void TXChartCursors::Bind(const TLineSeries& series, IChartView& chart)
{
    UseChart(chart);
    dataSeries_ = &series;
    for (const auto& cursor : items_) {
        cursor->Bind(series);
        const TLineSeries& line = cursor->LineSeries();
        chart.AttachCursorLine(line);
        chart.SetSeriesPen(line, cursor->Color(), cursor->PenWidth());
        chart.SetSeriesVisible(line, visible_);
    }
}

void TXChartCursors::AttachRegressionLine(IChartView& chart)
{
    UseChart(chart);
    chart.AttachSeries(regressionLine_, ChartAxis::Right);
    chart.SetSeriesPen(regressionLine_, kCursorYellow, 1);
    chart.SetSeriesVisible(regressionLine_, false);
    regressionVisible_ = false;
}

void TXChartCursors::ShowRegressionLine(double levelStart, double levelEnd)
{
    const double xStart = Items(0).X();
    const double xEnd = Items(1).X();
    regressionLine_.Clear();
    SetRegressionLineVisible(true);
    regressionLine_.Add(xStart, levelStart);
    regressionLine_.Add(xEnd, levelEnd);
    if (chart_)
        chart_->SeriesChanged(regressionLine_);
}

void TXChartCursors::SetRegressionLineVisible(bool visible)
{
    if (visible == regressionVisible_)
        return;
    regressionVisible_ = visible;
    if (chart_)
        chart_->SetSeriesVisible(regressionLine_, visible);
}

void TXChartCursors::UseChart(IChartView& chart)
{
    if (chart_ && chart_ != &chart)
        RemoveLinesFrom(*chart_);
    chart_ = &chart;
}

void TXChartCursors::RemoveLinesFrom(IChartView& chart)
{
    for (const auto& cursor : items_)
        chart.RemoveSeries(cursor->LineSeries());
    chart.RemoveSeries(regressionLine_);
}

} // namespace dazo
