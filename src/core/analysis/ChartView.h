// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the calculators and the cursors need of a chart. The UI implements it on
// its plotting widget; tests implement it with a fake that records the calls.
//
// The view addresses every series by the TLineSeries that holds its points: it
// keeps a pointer, not a copy of the identity, so the owner of a series must
// take it off the chart (RemoveSeries or RemoveAllSeries) before destroying it.
// Calls for a series that is not on the chart are ignored.

#include <cstdint>
#include <string>

namespace dazo {

class TLineSeries;

struct RgbColor {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    bool operator==(const RgbColor&) const = default;
};

enum class ChartAxis { Left, Right };

class IChartView {
public:
    virtual ~IChartView() = default;

    // Takes every series off the chart, cursor lines included.
    virtual void RemoveAllSeries() = 0;
    virtual void UndoZoom() = 0;
    // Windows-1252 text.
    virtual void SetLeftAxisTitle(const std::string& title) = 0;

    // Puts the series on the chart, last in the drawing order and hidden, if it
    // is not there yet; in either case draws it against the given vertical axis.
    // The view reads the points as they are: ascending x, never re-sorted.
    virtual void AttachSeries(const TLineSeries& series, ChartAxis axis) = 0;
    // The same for a vertical cursor line (left axis). The view gives it the
    // horizontal-split pointer and reports a click on it, so that the owner of
    // the cursors can select the cursor by its line.
    virtual void AttachCursorLine(const TLineSeries& line) = 0;
    virtual void RemoveSeries(const TLineSeries& series) = 0;

    virtual void SetSeriesVisible(const TLineSeries& series, bool visible) = 0;
    virtual void SetSeriesPen(const TLineSeries& series, RgbColor color, int width) = 0;
    // The points of the series changed: read them again and repaint.
    virtual void SeriesChanged(const TLineSeries& series) = 0;

    // One place in the drawing order; later is drawn on top. At either end of
    // the order nothing moves.
    virtual void MoveSeriesEarlier(const TLineSeries& series) = 0;
    virtual void MoveSeriesLater(const TLineSeries& series) = 0;

    // The busy mouse pointer for the whole application.
    virtual void SetBusyPointer(bool busy) = 0;
};

// Shows the busy pointer for its lifetime; the normal pointer comes back
// however the scope is left, by return or by exception.
class BusyPointer {
public:
    explicit BusyPointer(IChartView& view)
        : view_(view)
    {
        view_.SetBusyPointer(true);
    }
    ~BusyPointer() { view_.SetBusyPointer(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    IChartView& view_;
};

} // namespace dazo
