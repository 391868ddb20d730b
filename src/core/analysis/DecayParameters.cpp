// SPDX-License-Identifier: GPL-3.0-or-later
// Decay times from the Schroeder curve and energy parameters from the signal.
#include "analysis/uHallCalcer.h"

#include "common/DazoError.h"
#include "common/FloatChecks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>

namespace dazo {
namespace {

struct Points {
    std::span<const double> x;
    std::span<const double> y;
};

// The first n points of a curve; a shorter curve raises its list-index error.
Points FirstPoints(const TLineSeries& series, int n)
{
    if (n > series.Count())
        series.Y(n - 1);
    const auto count = static_cast<std::size_t>(std::max(n, 0));
    return {series.Xs().first(count), series.Ys().first(count)};
}

// An extended result stored as double: beyond the double range is an overflow.
double Narrow(long double value)
{
    return static_cast<double>(CheckedFinite(static_cast<double>(value)));
}

// The computed record a custom kind starts from and returns to.
int ComputedKindOf(int customKind)
{
    switch (customKind) {
    case kEdtCustom: return kEdtComputed;
    case kRt20Custom: return kRt20Computed;
    case kRt30Custom:
    case kRtxxCustom: return kRt30Computed;
    default: Fail("falscher Cursor");
    }
}

} // namespace

TRTRecord& THallCalcer::RTRecordOf(int kind)
{
    if (kind < 0 || kind >= kRTKindCount)
        Fail("falscher Cursor");
    return RTRecords[static_cast<std::size_t>(kind)];
}

namespace {

// Index of the first sample with the largest r^2. The square of a float is
// exact in double, so this is the first largest |r|; comparing the magnitudes'
// bit patterns lets the scan run vectorised. NaN never wins, as in a plain
// "greater than" scan.
int FirstLargestMagnitude(const float* raw, int n)
{
    constexpr uint32_t kInfinityBits = 0x7F800000u;
    const auto magnitude = [raw](int i) {
        uint32_t bits;
        std::memcpy(&bits, raw + i, sizeof bits);
        bits &= 0x7FFFFFFFu;
        return bits > kInfinityBits ? 0u : bits;
    };
    uint32_t largest = 0;
    for (int i = 0; i < n; ++i)
        largest = std::max(largest, magnitude(i));
    for (int i = 0; i < n; ++i)
        if (magnitude(i) == largest)
            return i;
    return 0;
}

} // namespace

int THallCalcer::Onset() const
{
    const int n = SampleCount();
    if (n <= 0)
        return 0;
    const float* raw = CalcData.Samples();
    const auto energy = [raw](int i) {
        const double r = raw[i];
        return r * r;
    };
    const int peak = FirstLargestMagnitude(raw, n);
    const double peakLevel = 10.0 * Lg10(energy(peak));
    for (int i = peak - 1; i >= 0; --i) {
        if (std::fabs(peakLevel - 10.0 * Lg10(energy(i))) >= 20.0)
            return i;
    }
    // Nothing quiet before the peak: the direct sound starts with the recording.
    return 0;
}

double THallCalcer::Clarity(double te) const
{
    const Points signal = FirstPoints(SignalSeries, SampleCount());
    const std::size_t n = signal.y.size();
    const auto s = static_cast<std::size_t>(Onset());
    double early = 0.0;
    std::size_t i = s;
    for (; i < n && signal.x[i] - signal.x[s] < te; ++i)
        early += signal.y[i] * signal.y[i];
    double late = 0.0;
    for (; i < n; ++i)
        late += signal.y[i] * signal.y[i];
    if (late > 0.0)
        return 10.0 * Lg10(Narrow(CheckedDivide(early, late)));
    return 0.0;
}

void THallCalcer::Definition()
{
    const Points signal = FirstPoints(SignalSeries, SampleCount());
    const std::size_t n = signal.y.size();
    const auto s = static_cast<std::size_t>(Onset());
    double e50 = 0.0;
    double e80 = 0.0;
    double total = 0.0;
    bool within80 = true;
    for (std::size_t i = s; i < n; ++i) {
        const double energy = signal.y[i] * signal.y[i];
        total += energy;
        const double delta = signal.x[i] - signal.x[s];
        if (delta <= 50.0)
            e50 += energy;
        within80 = within80 && delta <= 80.0;
        if (within80)
            e80 += energy;
    }
    if (total > 0.0) {
        D50 = e50 / total;
        D80 = e80 / total;
    } else {
        D50 = 0.0;
        D80 = 0.0;
    }
}

double THallCalcer::CentreTime() const
{
    const Points signal = FirstPoints(SignalSeries, SampleCount());
    const std::size_t n = signal.y.size();
    const auto s = static_cast<std::size_t>(Onset());
    long double energy = 0.0L;
    long double moment = 0.0L;
    for (std::size_t i = s; i < n; ++i) {
        const long double y = signal.y[i];
        const long double e = y * y;
        energy += e;
        moment += e * (static_cast<long double>(signal.x[i]) - signal.x[s]);
    }
    // Silence after the onset: 0/0 stops the analysis.
    return Narrow(CheckedDivide(moment, energy));
}

int THallCalcer::FindLevelIndex(int from, double drop) const
{
    const auto level = SchroederSeries.Ys();
    const int n = static_cast<int>(level.size());
    if (from < 0 || from > n - 1)
        return n - 1;
    const double reference = std::fabs(level[static_cast<std::size_t>(from)]);
    for (int i = from; i < n; ++i) {
        if (std::fabs(level[static_cast<std::size_t>(i)]) - reference >= drop)
            return i;
    }
    return n - 1;
}

void THallCalcer::Regression(int s, int e, TRTRecord& record) const
{
    const int n = e < s ? 0 : e - s + 1;
    if (n <= 1) {
        record.RT = 0.0;
        return;
    }
    SchroederSeries.X(s); // an index outside the curve raises the list-index error
    SchroederSeries.X(e);
    const auto count = static_cast<std::size_t>(n);
    const auto x = SchroederSeries.Xs().subspan(static_cast<std::size_t>(s), count);
    const auto l = SchroederSeries.Ys().subspan(static_cast<std::size_t>(s), count);
    const long double points = n;

    long double sumX = 0.0L, sumL = 0.0L, sumXX = 0.0L, sumXL = 0.0L;
    for (std::size_t i = 0; i < count; ++i) {
        const long double xi = x[i];
        const long double li = l[i];
        sumX += xi;
        sumL += li;
        sumXX += xi * xi;
        sumXL += xi * li;
    }
    const long double slope = CheckedDivide(sumXL - sumX * sumL / points, sumXX - sumX * sumX / points);
    const long double intercept = CheckedFinite(sumL / points - slope * sumX / points);

    TRTRecord fit = record;
    fit.LevelStart = Narrow(intercept + slope * x.front());
    fit.LevelEnd = Narrow(intercept + slope * x.back());
    const long double duration = (static_cast<long double>(x.back()) - x.front()) / 1000.0L * 60.0L;
    // A flat range has no decay: the division by zero stops the evaluation.
    fit.RT = Narrow(CheckedDivide(duration, std::fabs(static_cast<long double>(fit.LevelStart) - fit.LevelEnd)));

    long double sumF = 0.0L, sumFF = 0.0L, sumLL = 0.0L, sumFL = 0.0L;
    for (std::size_t i = 0; i < count; ++i) {
        const long double fi = intercept + slope * x[i];
        const long double li = l[i];
        sumF += fi;
        sumFF += fi * fi;
        sumLL += li * li;
        sumFL += fi * li;
    }
    const long double spread = std::sqrt((points * sumFF - sumF * sumF) * (points * sumLL - sumL * sumL));
    fit.Correlation = Narrow(std::fabs(CheckedDivide(points * sumFL - sumF * sumL, spread)));
    record = fit;
}

void THallCalcer::ComputeRT(int kind, double dropStart, double dropEnd)
{
    TRTRecord& target = RTRecordOf(kind);
    const int from = kind == kEdtComputed ? PeakIndex : 0;
    TRTRecord record = target;
    record.StartIndex = FindLevelIndex(from, dropStart);
    record.EndIndex = FindLevelIndex(from, dropEnd);
    Regression(record.StartIndex, record.EndIndex, record);
    target = record;
}

void THallCalcer::UpdateResults()
{
    if (!ReadCRecord()) {
        const double c35 = Clarity(35);
        const double c50 = Clarity(50);
        const double c80 = Clarity(80);
        const double cxx = CVar > 0 ? Clarity(CVar) : 0.0;
        const double ts = CentreTime();
        Definition();
        C35 = c35;
        C50 = c50;
        C80 = c80;
        Cxx = cxx;
        Ts = ts;
        WriteCRecord();
    }
    // Computed kinds before the custom kinds copied from them.
    for (const int kind : {kEdtComputed, kEdtCustom, kRt20Computed, kRt20Custom, kRt30Computed, kRt30Custom, kRtxxCustom}) {
        if (ReadRTRecord(kind))
            continue;
        TRTRecord& record = RTRecordOf(kind);
        switch (kind) {
        case kEdtComputed: ComputeRT(kind, 0, 10); break;
        case kRt20Computed: ComputeRT(kind, 5, 25); break;
        case kRt30Computed: ComputeRT(kind, 5, 35); break;
        default: record = RTRecordOf(ComputedKindOf(kind)); break;
        }
        if (kind == kRtxxCustom) {
            // The free range starts without a result of its own.
            record.Correlation = 0.0;
            record.RT = 0.0;
        }
    }
}

void THallCalcer::SetRTRange(int kind, int startIndex, int endIndex)
{
    TRTRecord& target = RTRecordOf(kind);
    TRTRecord record = target;
    record.StartIndex = startIndex;
    record.EndIndex = endIndex;
    Regression(startIndex, endIndex, record);
    target = record;
    WriteRTRecord(kind);
}

void THallCalcer::ResetRTKind(int kind)
{
    RTRecordOf(kind) = RTRecordOf(ComputedKindOf(kind));
    WriteRTRecord(kind);
}

void THallCalcer::SetCustomTime(int32_t ms)
{
    if (ms == CVar)
        return;
    const double cxx = ms > 0 && SignalCount() > 0 ? Clarity(ms) : 0.0;
    CVar = ms;
    Cxx = cxx;
    if (ms > 0 && SignalCount() > 0)
        WriteCRecord();
}

} // namespace dazo
