// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/lundeby.h"

#include "analysis/Hilbert.h"
#include "analysis/uHallCalcer.h"
#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/FloatChecks.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>

namespace dazo {
namespace {

// Samples in 1 ms, the nearest integer with ties to even. The clamp keeps bad
// intervals out of undefined conversions: a negative one gives blocks of no
// samples, a tiny one blocks longer than the measurement (no block at all).
long long BlockLength(float interval, std::size_t count)
{
    const long double perMs = std::nearbyint(CheckedDivide(10.0L, interval) / 10.0L);
    return static_cast<long long>(std::clamp(perMs, 0.0L, static_cast<long double>(count) + 1.0L));
}

// Mean envelope level of each complete block of blockLength samples from start on.
std::vector<double> BlockLevels(const std::vector<double>& envelope, long long start, long long blockLength)
{
    const long long remaining = static_cast<long long>(envelope.size()) - start;
    const long long blocks = CheckedIntDivide(remaining, blockLength);
    std::vector<double> levels(static_cast<std::size_t>(blocks));
    const double* value = envelope.data() + start;
    for (double& level : levels) {
        double sum = 0.0;
        for (long long j = 0; j < blockLength; ++j)
            sum += *value++;
        level = sum / static_cast<double>(blockLength);
    }
    return levels;
}

std::span<const float> RawSamples(const TCalcData& calcData)
{
    return {calcData.Samples(), static_cast<std::size_t>(std::max(calcData.Count, 0))};
}

} // namespace

template <typename Sample>
void EnvelopeDb(std::span<const Sample> samples, std::vector<double>& envelope)
{
    envelope.assign(samples.size(), 0.0);
    double peak = -999999.0;
    RunHilbert(samples, [&](std::size_t i, double, double e) {
        envelope[i] = e;
        peak = std::max(peak, e);
    });
    if (samples.empty())
        return;
    CheckedDivide(0.0, peak); // an all-zero signal: 0/0 ends the estimate
    for (double& level : envelope)
        level = 20.0 * Lg10(level / peak);
}

void EnvelopeDb(const TCalcData& calcData, std::vector<double>& envelope)
{
    EnvelopeDb(RawSamples(calcData), envelope);
}

template <typename Sample>
LundebyResult LundebyEstimate(std::span<const Sample> samples, float interval)
{
    std::vector<double> envelope;
    EnvelopeDb(samples, envelope);
    const auto peak = std::find(envelope.begin(), envelope.end(), 0.0);
    if (peak == envelope.end())
        Fail("Fehler");
    const long long start = peak - envelope.begin();
    const long long blockLength = BlockLength(interval, envelope.size());
    const std::vector<double> levels = BlockLevels(envelope, start, blockLength);

    const long long blocks = static_cast<long long>(levels.size());
    const long long noiseBlocks = static_cast<long long>(std::nearbyint(static_cast<double>(blocks) * 0.1));
    double noiseSum = 0.0;
    for (long long i = blocks - noiseBlocks; i < blocks; ++i)
        noiseSum += levels[static_cast<std::size_t>(i)];
    const double noise = static_cast<double>(CheckedDivide(noiseSum, static_cast<long double>(noiseBlocks)));

    const double threshold = noise + 5.0;
    const auto crossing = std::find_if(levels.begin(), levels.end(), [&](double level) { return level <= threshold; });
    if (crossing == levels.end())
        Fail("Fehler");
    const int crossingBlock = static_cast<int>(crossing - levels.begin());
    const LineFit line = BlockRegression(levels, 0, crossingBlock).value_or(LineFit{0.0L, 0.0L});

    return LundebyResult{
        .noiseLevel = noise,
        .crossingBlock = crossingBlock,
        .slope = static_cast<double>(line.slope),
        .intercept = static_cast<double>(line.intercept),
        .blockLength = static_cast<int>(blockLength),
        .crossingSample = static_cast<int>(start + crossingBlock * blockLength),
    };
}

LundebyResult LundebyEstimate(const TCalcData& calcData)
{
    return LundebyEstimate(RawSamples(calcData), calcData.SampleInterval);
}

// The raw samples of a measurement and the filtered signals of the calculators.
template void EnvelopeDb(std::span<const float>, std::vector<double>&);
template void EnvelopeDb(std::span<const double>, std::vector<double>&);
template LundebyResult LundebyEstimate(std::span<const float>, float);
template LundebyResult LundebyEstimate(std::span<const double>, float);

std::optional<LineFit> BlockRegression(const std::vector<double>& levels, int first, int last)
{
    const long long count = static_cast<long long>(last) - first + 1;
    if (count < 2)
        return std::nullopt;
    if (first < 0 || static_cast<std::size_t>(last) >= levels.size()) {
        const int bad = first < 0 ? first : last;
        throw DazoError(Ansi("Listenindex überschreitet das Maximum (") + std::to_string(bad) + ")");
    }
    long double sumI = 0.0L, sumY = 0.0L, sumII = 0.0L, sumIY = 0.0L;
    for (int i = first; i <= last; ++i) {
        const long double y = levels[static_cast<std::size_t>(i)];
        sumI += i;
        sumY += y;
        sumII += static_cast<long double>(i) * i;
        sumIY += i * y;
    }
    const long double n = static_cast<long double>(count);
    const long double slope = (sumIY - sumI * sumY / n) / (sumII - sumI * sumI / n);
    return LineFit{slope, sumY / n - slope * sumI / n};
}

} // namespace dazo
