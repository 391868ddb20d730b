// SPDX-License-Identifier: GPL-3.0-or-later
// The octave-band analysis of THallCalcer: a 6th-order Butterworth band-pass
// over the raw samples, then the same Schroeder integration and parameter
// stage as the unfiltered analysis.
#include "analysis/IIRFilter.h"
#include "analysis/uHallCalcer.h"

#include "common/DazoError.h"
#include "common/FloatChecks.h"

#include <algorithm>
#include <cmath>

namespace dazo {

void THallCalcer::AnalyseBand(double centre)
{
    // The whole band must lie below half the sample rate: a band whose upper
    // edge reaches it gets poles outside the unit circle and a filter that
    // grows without bound. This also refuses every centre above half the rate.
    if (!(OctaveEdges(centre).high < SampleRate / 2.0)) {
        WriteCRecord();
        for (int kind = 0; kind < kRTKindCount; ++kind)
            WriteRTRecord(kind);
        Fail("Filterung bei dieser Abstastrate nicht möglich");
    }
    FilterBand(centre, SampleRate);
    UpdateResults();
}

void THallCalcer::FilterBand(double centre, double rate)
{
    constexpr int kOrder = 6;
    TIIRFilter filter;
    filter.Order = kOrder;
    filter.Prototype = TIIRFilter::Butterworth;
    filter.Kind = TIIRFilter::BandPass;
    filter.SetRate(rate);
    const OctaveBandEdges edges = OctaveEdges(centre);
    filter.LowEdge = edges.low;
    filter.HighEdge = edges.high;
    filter.Design();

    const int n = SampleCount();
    const int integrated = IntegrationLength();
    SignalSeries.Reserve(static_cast<std::size_t>(std::max(n, 0)));
    SchroederSeries.Reserve(static_cast<std::size_t>(std::max(integrated, 0)));
    for (int i = 0; i < n; ++i) {
        const double t = TimeOf(i);
        AddSignalPoint(t, 0.0);
        if (i < integrated)
            AddSchroederPoint(t, 0.0);
    }

    // Direct difference equation. The first kOrder + 1 outputs stay 0 and the
    // first kOrder + 1 inputs never enter; the feedback reads the outputs as
    // stored (double), both sums run in extended precision.
    const auto& b = filter.B;
    const auto& a = filter.A;
    const float* x = CalcData.Samples();
    double* y = SignalSeries.MutableYs().data();
    const auto output = [&](int i, int lastInput) {
        long double forward = 0.0L;
        for (int k = 0; k <= lastInput; ++k)
            forward += b[static_cast<std::size_t>(k)] * x[i - k];
        long double feedback = 0.0L;
        for (int k = 1; k <= kOrder; ++k)
            feedback += a[static_cast<std::size_t>(k)] * y[i - k];
        const double value = static_cast<double>(forward - feedback);
        if (!std::isfinite(value)) [[unlikely]]
            CheckedFinite(value); // throws the runtime's overflow message
        y[i] = value;
    };
    // While the input window still reaches into the first kOrder + 1 samples
    // it takes only x[i - k] with i - k > kOrder; after that the whole window.
    const int steady = std::min(n, 2 * kOrder + 1);
    for (int i = kOrder + 1; i < steady; ++i)
        output(i, i - kOrder - 1);
    for (int i = steady; i < n; ++i)
        output(i, kOrder);

    IntegrateSchroeder();
    UpdatePeakIndex();
}

} // namespace dazo
