// SPDX-License-Identifier: GPL-3.0-or-later
// Putting a calculator's curves on the chart and placing the cursors on them.

#include "analysis/ChartCursors.h"
#include "analysis/ChartView.h"
#include "analysis/uCalcChart.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <algorithm>
#include <string>

namespace dazo {
namespace {

constexpr int kCursorCount = 3;

// Builds the representation and titles the left axis; returns the curve to show.
const TLineSeries& BuildRepresentation(TCalcChart& calcer, int representation, IChartView& chart)
{
    chart.SetLeftAxisTitle(Ansi("Amplitude [Volt]"));
    switch (representation) {
    case 1:
        return calcer.SignalSeries;
    case 2:
        calcer.BuildSquare();
        break;
    case 3:
        calcer.BuildSpl();
        chart.SetLeftAxisTitle(Ansi("Amplitude [dB] re 20 µPa"));
        break;
    case 4:
        calcer.BuildLogSquare();
        chart.SetLeftAxisTitle(Ansi("Amplitude [dB]"));
        break;
    case 5:
    case 6:
        calcer.BuildEnvelope(representation == 5);
        chart.SetLeftAxisTitle(Ansi("Amplitude [dB]"));
        break;
    default: // whatever the display curve last held
        break;
    }
    return calcer.DisplaySeries;
}

const TRTRecord& RecordOfKind(const TCalcChart& calcer, int32_t kind)
{
    if (kind < 0 || kind >= kRTKindCount)
        throw DazoError(Ansi("Listenindex überschreitet das Maximum (") + std::to_string(kind) + ")");
    return calcer.RTRecords[static_cast<std::size_t>(kind)];
}

} // namespace

const TLineSeries* TCalcChart::Draw(int representation, IChartView& chart, TXChartCursors& cursors)
{
    BusyPointer busy(chart);
    chart.RemoveAllSeries();
    chart.UndoZoom();
    if (!Calculated)
        Calculate();

    const TLineSeries& curve = BuildRepresentation(*this, representation, chart);
    if (SignalSeries.Empty())
        return nullptr;

    chart.AttachSeries(curve, ChartAxis::Left);
    cursors.OnCursorMove = nullptr; // binding must not overwrite the stored positions
    cursors.Bind(curve, chart);
    chart.SetSeriesVisible(curve, true);

    const bool hasSchroeder = !SchroederSeries.Empty();
    if (hasSchroeder) {
        chart.AttachSeries(SchroederSeries, ChartAxis::Right);
        chart.SetSeriesVisible(SchroederSeries, true);
        // Cursors 0 and 1 mark a range of the Schroeder curve; cursor 2 keeps the curve's.
        cursors.Items(0).PointCount = SchroederCount();
        cursors.Items(1).PointCount = SchroederCount();
        cursors.AttachRegressionLine(chart);
    }

    cursors.OnCursorMove = [this](int index, double x) { StoreCursorPos(index, x); };
    const bool positionsStored = std::any_of(FreeCursorPos.begin(), FreeCursorPos.end(), [](double x) { return x != 0.0; });
    if (positionsStored) {
        for (int i = 0; i < kCursorCount; ++i)
            cursors.Items(i).PlaceAtX(FreeCursorPos[static_cast<std::size_t>(i)]);
    } else {
        const TRTRecord& range = RecordOfKind(*this, CurrentRTKind);
        cursors.Items(0).PlaceAt(range.StartIndex);
        cursors.Items(1).PlaceAt(range.EndIndex);
        cursors.ShowRegressionLine(range.LevelStart, range.LevelEnd);
        // Half-way by index, truncated towards zero; wide enough for any cached pair.
        const long long middle = range.StartIndex + (static_cast<long long>(range.EndIndex) - range.StartIndex) / 2;
        cursors.Items(2).PlaceAt(static_cast<int>(middle));
    }
    cursors.SetVisible(true);

    // Cursor lines on top of the curves.
    for (int i = 0; i < kCursorCount; ++i) {
        chart.MoveSeriesLater(cursors.Items(i).LineSeries());
        chart.MoveSeriesEarlier(curve);
        if (hasSchroeder)
            chart.MoveSeriesEarlier(SchroederSeries);
    }
    return &curve;
}

} // namespace dazo
