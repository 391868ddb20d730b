// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/uHallCalcer.h"

#include "analysis/Hilbert.h"
#include "common/FloatChecks.h"

#include <algorithm>
#include <cmath>

namespace dazo {

double Lg10(double x)
{
    if (x == 0.0)
        x = 1e-7;
    return std::log(x) * 0.4342944;
}

THallCalcer::THallCalcer(const std::string& projectFileName, const TCalcData& calcData)
    : TCalcer(calcData)
    , ProjectIni(projectFileName)
{
}

int THallCalcer::IntegrationLength() const
{
    const int a = CalcData.SchroederStart + 1;
    if (a > SampleCount() || a <= 1)
        return SampleCount();
    return a;
}

void THallCalcer::FillRaw()
{
    const int n = SampleCount();
    SignalSeries.Reserve(static_cast<std::size_t>(std::max(n, 0)));
    const double interval = CalcData.SampleInterval;
    double t = 0.0;
    for (int i = 0; i < n; ++i) {
        AddSignalPoint(t, RawValue(i));
        t += interval;
    }
}

void THallCalcer::AnalyseBroadband()
{
    FillRaw();
    const int n = IntegrationLength();
    SchroederSeries.Reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        AddSchroederPoint(TimeOf(i), 0.0);
    IntegrateSchroeder();
    UpdatePeakIndex();
    UpdateResults();
}

void THallCalcer::IntegrateSchroeder()
{
    const int n = SchroederCount();
    if (n > SignalCount())
        SignalSeries.Y(n - 1); // raises the list-index error before any work
    const auto signal = SignalSeries.Ys();
    const auto decay = SchroederSeries.MutableYs();
    double s = 0.0;
    for (int i = n - 1; i >= 0; --i) {
        const double y = signal[static_cast<std::size_t>(i)];
        s += y * y;
        decay[static_cast<std::size_t>(i)] = s;
    }
    if (n == 0)
        return;
    const double total = SchroederMax();
    // Silence in the whole range: 0/0 (or an overflow) ends the analysis.
    CheckedDivide(decay[0], total);
    for (double& level : decay)
        level = 10.0 * Lg10(level / total);
}

void THallCalcer::UpdatePeakIndex()
{
    const auto y = SignalSeries.Ys();
    double best = -1.0;
    PeakIndex = -1;
    for (std::size_t i = 0; i < y.size(); ++i) {
        const double magnitude = std::fabs(y[i]);
        if (magnitude > best) {
            best = magnitude;
            PeakIndex = static_cast<int32_t>(i);
        }
    }
}

void THallCalcer::StartDisplay()
{
    DisplaySeries.Clear();
    DisplaySeries.Reserve(static_cast<std::size_t>(std::max(SampleCount(), 0)));
}

template <typename Value>
void THallCalcer::BuildFromSignal(Value&& value)
{
    StartDisplay();
    const int n = SampleCount();
    if (n > SignalCount())
        SignalSeries.Y(n - 1); // raises the list-index error before any work
    const auto x = SignalSeries.Xs();
    const auto y = SignalSeries.Ys();
    for (std::size_t i = 0; i < static_cast<std::size_t>(std::max(n, 0)); ++i)
        AddDisplayPoint(x[i], value(y[i]));
}

void THallCalcer::BuildSquare()
{
    BuildFromSignal([](double y) { return y * y; });
}

void THallCalcer::BuildSpl()
{
    constexpr double kReferencePressureSquared = 2e-5 * 2e-5;
    BuildFromSignal([](double y) { return 10.0 * Lg10(y * y / kReferencePressureSquared); });
}

void THallCalcer::BuildLogSquare()
{
    BuildFromSignal([](double y) { return 10.0 * Lg10(y * y); });
}

void THallCalcer::BuildEnvelope(bool etc)
{
    StartDisplay();
    const int n = SampleCount();
    if (n > SignalCount())
        SignalSeries.Y(n - 1); // raises the list-index error
    const auto x = SignalSeries.Xs().first(static_cast<std::size_t>(std::max(n, 0)));
    const auto y = SignalSeries.Ys().first(x.size());
    if (!etc) {
        RunHilbert(y, [&](std::size_t i, double s, double) { AddDisplayPoint(x[i], s); });
        return;
    }
    double peak = -999999.0;
    RunHilbert(y, [&](std::size_t, double, double e) { peak = std::max(peak, e); });
    if (n > 0)
        CheckedDivide(0.0, peak); // an all-zero envelope: 0/0 ends the analysis
    RunHilbert(y, [&](std::size_t i, double, double e) { AddDisplayPoint(x[i], 20.0 * Lg10(e / peak)); });
}

} // namespace dazo
