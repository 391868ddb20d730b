// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/uHallCalcer.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dazo {
namespace {

TCalcData Signal(std::vector<float> samples, float interval = 0.1f, int32_t schroederStart = 0)
{
    TCalcData data;
    data.SampleInterval = interval;
    data.SetSamples(std::move(samples));
    data.SchroederStart = schroederStart;
    return data;
}

// Amplitude falling 60 dB in energy per second (at 10 kHz): a = exp(-6.9078 t / 2).
std::vector<float> ExponentialDecay(int n, double rtSeconds = 1.0, double rate = 10000.0)
{
    std::vector<float> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<float>(std::pow(10.0, -3.0 * (i / rate) / rtSeconds));
    return v;
}

TEST(Calcer, StartsEmptyAndTimesAreIndexTimesTheFloatInterval)
{
    const TCalcData data = Signal(std::vector<float>(2000, 1.0f));
    THallCalcer calcer("p.npj", data);
    EXPECT_EQ(calcer.SignalCount(), 0);
    EXPECT_EQ(calcer.SchroederCount(), 0);
    EXPECT_EQ(calcer.SampleCount(), 2000);
    EXPECT_EQ(calcer.TimeOf(0), 0.0);
    EXPECT_EQ(calcer.TimeOf(1000), 1000.0 * static_cast<double>(0.1f));
    EXPECT_GT(calcer.TimeOf(1000), 100.0);
}

TEST(Lg10, ReplacesZeroAndUsesTheSevenDecimalConstant)
{
    EXPECT_DOUBLE_EQ(10 * Lg10(0.0), 10 * std::log(1e-7) * 0.4342944);
    EXPECT_NEAR(10 * Lg10(0.0), -70.0, 1e-4);
    EXPECT_NEAR(20 * Lg10(0.0), -140.0, 1e-4);
    EXPECT_DOUBLE_EQ(Lg10(1000.0), std::log(1000.0) * 0.4342944);
}

TEST(Broadband, SchroederLengthFollowsTheSchroederStart)
{
    const struct {
        int32_t start;
        int points;
    } cases[] = {{0, 2000}, {-5, 2000}, {2000, 2000}, {5000, 2000}, {1, 2}, {500, 501}};
    for (const auto& c : cases) {
        const TCalcData data = Signal(ExponentialDecay(2000), 0.1f, c.start);
        THallCalcer calcer("p.npj", data);
        calcer.AnalyseBroadband();
        EXPECT_EQ(calcer.SignalCount(), 2000) << c.start;
        EXPECT_EQ(calcer.SchroederCount(), c.points) << c.start;
        EXPECT_EQ(calcer.SchroederY(0), 0.0) << c.start;
    }
}

TEST(Broadband, ExponentialDecayGivesAStraightSchroederLine)
{
    const int n = 30000; // 3 s, far longer than the 1 s decay time
    const TCalcData data = Signal(ExponentialDecay(n));
    THallCalcer calcer("p.npj", data);
    calcer.AnalyseBroadband();
    // Energy falls 60 dB per second: -6 dB at 100 ms, -30 dB at 500 ms.
    EXPECT_NEAR(calcer.SchroederY(1000), -6.0, 0.01);
    EXPECT_NEAR(calcer.SchroederY(5000), -30.0, 0.01);
    for (int i = 1; i < n; ++i)
        ASSERT_LE(calcer.SchroederY(i), calcer.SchroederY(i - 1));
    // The last point is the last sample's share of the total energy.
    double total = 0;
    for (int i = 0; i < n; ++i)
        total += calcer.SignalY(i) * calcer.SignalY(i);
    const double last = calcer.SignalY(n - 1);
    EXPECT_NEAR(calcer.SchroederY(n - 1), 10 * Lg10(last * last / total), 1e-9);
    // The raw curve's x is a running sum of the interval.
    double t = 0;
    for (int i = 0; i < 10; ++i)
        t += static_cast<double>(0.1f);
    EXPECT_EQ(calcer.SignalX(10), t);
}

TEST(Broadband, SilenceEndsTheAnalysisWithTheFloatingPointMessage)
{
    const TCalcData data = Signal(std::vector<float>(100, 0.0f));
    THallCalcer calcer("p.npj", data);
    try {
        calcer.AnalyseBroadband();
        FAIL() << "no error";
    } catch (const DazoError& e) {
        EXPECT_EQ(std::string(e.what()), Ansi("Ungültige Gleitkommaoperation"));
    }
}

TEST(PeakIndex, IsTheFirstLargestMagnitude)
{
    const TCalcData data = Signal({0.1f, -0.9f, 0.5f, 0.9f, -0.2f});
    THallCalcer calcer("p.npj", data);
    calcer.FillRaw();
    calcer.UpdatePeakIndex();
    EXPECT_EQ(calcer.PeakIndex, 1);
    THallCalcer empty("p.npj", data);
    empty.UpdatePeakIndex();
    EXPECT_EQ(empty.PeakIndex, -1);
}

TEST(Representations, PointValuesFollowTheirFormulas)
{
    const TCalcData data = Signal({0.0f, 1.0f, -0.5f});
    THallCalcer calcer("p.npj", data);
    calcer.FillRaw();

    calcer.BuildSquare();
    EXPECT_EQ(calcer.DisplayY(2), 0.25);
    calcer.BuildLogSquare();
    EXPECT_NEAR(calcer.DisplayY(0), -70.0, 1e-4);
    calcer.BuildSpl();
    EXPECT_DOUBLE_EQ(calcer.DisplayY(1), 10 * Lg10(2.5e9)); // about 94 dB
    EXPECT_NEAR(calcer.DisplayY(1), 93.98, 0.01);
    EXPECT_EQ(calcer.DisplaySeries.Count(), 3); // rebuilt, not appended
}

TEST(Representations, EnvelopeIsDelayedBy32SamplesAndNormalisedForEtc)
{
    std::vector<float> impulse(200, 0.0f);
    impulse[10] = 1.0f;
    const TCalcData data = Signal(impulse);
    THallCalcer calcer("p.npj", data);
    calcer.FillRaw();

    calcer.BuildEnvelope(false);
    // Hilbert transform of a unit impulse at 10: 2/(pi*d) at 10+32+d for odd d.
    EXPECT_NEAR(calcer.DisplayY(10 + 32 + 1), 2.0 / M_PI, 1e-12);
    EXPECT_NEAR(calcer.DisplayY(10 + 32 - 3), -2.0 / (3 * M_PI), 1e-12);
    EXPECT_EQ(calcer.DisplayY(10 + 32), 0.0);

    calcer.BuildEnvelope(true);
    EXPECT_NEAR(calcer.DisplayY(42), 0.0, 1e-12); // the impulse itself is the maximum
    EXPECT_NEAR(calcer.DisplayY(0), -140.0, 1e-4); // zero envelope
    EXPECT_EQ(calcer.DisplaySeries.Count(), 200);

    const TCalcData silent = Signal(std::vector<float>(50, 0.0f));
    THallCalcer quiet("p.npj", silent);
    quiet.FillRaw();
    EXPECT_THROW(quiet.BuildEnvelope(true), DazoError);
}

} // namespace
} // namespace dazo
