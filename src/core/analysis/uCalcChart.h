// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The calculator the main window works with: analyses lazily, remembers the
// cursor positions the user chose, and writes its reverberation records to the
// result cache when it is reset or destroyed.

#include "analysis/uHallCalcer.h"

#include <array>

namespace dazo {

class IChartView;
class TXChartCursors;

class TCalcChart : public THallCalcer {
public:
    TCalcChart(const std::string& projectFileName, const TCalcData& calcData);
    ~TCalcChart() override;

    bool Calculated = false;
    int32_t CurrentRTKind = kEdtComputed;
    std::array<double, 3> FreeCursorPos{}; // ms; 0 = none stored

    void Calculate();
    // The curve shown, or none for an empty signal (ChartDrawing.cpp).
    const TLineSeries* Draw(int representation, IChartView& chart, TXChartCursors& cursors);
    void Reset();
    void SaveRTRecords();
    void SetCurrentRTKind(int32_t kind) { CurrentRTKind = kind; }
    void StoreCursorPos(int index, double x);
};

// Centre frequency of the octave band of a calculation function 2..10.
double BandCentre(int32_t calcFunction);

} // namespace dazo
