// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Base of every analysis calculator: binds one measurement to the three curves
// the analysis keeps (signal, Schroeder decay, derived representation).

#include "analysis/Series.h"
#include "signal/MData.h"

namespace dazo {

class TCalcer {
public:
    explicit TCalcer(const TCalcData& calcData);
    virtual ~TCalcer() = default;
    TCalcer(const TCalcer&) = delete;
    TCalcer& operator=(const TCalcer&) = delete;

    const TCalcData& CalcData;
    TLineSeries SignalSeries;
    TLineSeries SchroederSeries;
    TLineSeries DisplaySeries;

    void AddSignalPoint(double x, double y) { SignalSeries.Add(x, y); }
    void AddSchroederPoint(double x, double y) { SchroederSeries.Add(x, y); }
    void AddDisplayPoint(double x, double y) { DisplaySeries.Add(x, y); }

    int SampleCount() const { return CalcData.Count; }
    int SignalCount() const { return SignalSeries.Count(); }
    int SchroederCount() const { return SchroederSeries.Count(); }

    // i times the 32-bit sample interval, in ms.
    double TimeOf(int i) const { return static_cast<double>(i) * static_cast<double>(CalcData.SampleInterval); }
    double RawValue(int i) const { return CalcData.GetValue(i); }

    double SignalX(int i) const { return SignalSeries.X(i); }
    double SignalY(int i) const { return SignalSeries.Y(i); }
    double SchroederX(int i) const { return SchroederSeries.X(i); }
    double SchroederY(int i) const { return SchroederSeries.Y(i); }
    double DisplayY(int i) const { return DisplaySeries.Y(i); }
    double SchroederMax() const { return SchroederSeries.MaxY(); }

    void SetSignalY(int i, double v) { SignalSeries.SetY(i, v); }
    void SetSchroederY(int i, double v) { SchroederSeries.SetY(i, v); }
};

} // namespace dazo
