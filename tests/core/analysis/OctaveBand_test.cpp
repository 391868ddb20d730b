// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/uHallCalcer.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "project/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>

namespace dazo {
namespace {

constexpr int kLead = 100; // quiet samples before the impulse: the onset lies there

// White noise under an exponential envelope whose energy falls 60 dB in
// decayTime seconds, after kLead silent samples.
std::vector<float> NoiseDecay(double rate, double seconds, double decayTime)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    const int n = static_cast<int>(rate * seconds);
    std::vector<float> v(static_cast<std::size_t>(n), 0.0f);
    for (int i = kLead; i < n; ++i) {
        const double t = (i - kLead) / rate;
        v[static_cast<std::size_t>(i)] = static_cast<float>(uniform(random) * std::pow(10.0, -3.0 * t / decayTime));
    }
    return v;
}

TCalcData Measurement(std::vector<float> samples, double rate)
{
    TCalcData data;
    data.FileName = "r01.tim";
    data.SampleInterval = static_cast<float>(1000.0 / rate);
    data.SetSamples(std::move(samples));
    return data;
}

struct Band {
    int32_t calcFunction;
    double centre;
};

class OctaveBand : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string project = dir.File("p.npj");

    static void Configure(THallCalcer& calcer, Band band)
    {
        calcer.SampleRate = 1000.0 / calcer.CalcData.SampleInterval;
        calcer.SetCalcFunction(band.calcFunction);
    }
};

TEST_F(OctaveBand, FirstSevenInputsNeverEnterAndFirstSevenOutputsAreZero)
{
    std::vector<float> ones(2000, 1.0f);
    std::vector<float> otherStart = ones;
    for (int i = 0; i < 7; ++i)
        otherStart[static_cast<std::size_t>(i)] = 100.0f;
    const TCalcData a = Measurement(ones, 10000.0);
    const TCalcData b = Measurement(otherStart, 10000.0);
    THallCalcer fa(project, a), fb(project, b);
    fa.FilterBand(2000, 10000.0);
    fb.FilterBand(2000, 10000.0);

    ASSERT_EQ(fa.SignalCount(), 2000);
    ASSERT_EQ(fa.SchroederCount(), 2000);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(fa.SignalY(i), 0.0) << i;
    EXPECT_NE(fa.SignalY(7), 0.0);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(fa.SignalY(i), fb.SignalY(i)) << i;
    EXPECT_EQ(fa.SchroederY(0), 0.0);
    EXPECT_EQ(fa.SignalX(1000), fa.TimeOf(1000));
}

TEST_F(OctaveBand, BandsReachingHalfTheSampleRateAreRefusedAfterWritingTheRecords)
{
    const TCalcData data = Measurement(NoiseDecay(10000.0, 0.5, 0.3), 10000.0);
    for (const Band band : {Band{10, 8000}, Band{9, 4000}}) {
        THallCalcer calcer(project, data);
        Configure(calcer, band);
        calcer.C50 = 2.5;
        calcer.RTRecords[kRt20Custom].RT = 1.25;
        try {
            calcer.AnalyseBand(band.centre);
            ADD_FAILURE() << band.centre << " not refused";
        } catch (const DazoError& e) {
            EXPECT_EQ(std::string(e.what()), Ansi("Filterung bei dieser Abstastrate nicht möglich"));
        }
        EXPECT_EQ(calcer.SignalCount(), 0);
        EXPECT_EQ(calcer.SchroederCount(), 0);

        // The records are written as they stood, the analysis did not touch them.
        const IniFile ini(project);
        const std::string cf = std::to_string(band.calcFunction);
        EXPECT_EQ(ini.ReadString("r01.tim", "C." + cf + ".Values"), "0,2.5,0,0,0,0,0,0");
        for (int kind = 0; kind < kRTKindCount; ++kind) {
            const std::string expected = kind == kRt20Custom ? "0,0,0,0,0,1.25" : "0,0,0,0,0,0";
            EXPECT_EQ(ini.ReadString("r01.tim", "RT." + cf + "." + std::to_string(kind) + ".Values"), expected)
                << band.centre << " kind " << kind;
        }
    }
}

TEST_F(OctaveBand, UnstableBandOverflowsWithAMessageInsteadOfInfinity)
{
    // 4000 Hz at 10 kHz: poles outside the unit circle, had it not been refused.
    const TCalcData data = Measurement(NoiseDecay(10000.0, 0.5, 0.3), 10000.0);
    THallCalcer calcer(project, data);
    try {
        calcer.FilterBand(4000, 10000.0);
        FAIL() << "no error";
    } catch (const DazoError& e) {
        EXPECT_EQ(std::string(e.what()), Ansi("Gleitkommaüberlauf"));
    }
    for (const double y : calcer.SignalSeries.Ys())
        ASSERT_TRUE(std::isfinite(y));
}

TEST_F(OctaveBand, BandWellBelowHalfTheSampleRateGivesAValidCurve)
{
    const TCalcData data = Measurement(NoiseDecay(10000.0, 0.5, 0.3), 10000.0);
    THallCalcer calcer(project, data);
    Configure(calcer, {8, 2000});
    calcer.AnalyseBand(2000);
    ASSERT_EQ(calcer.SignalCount(), data.Count);
    for (const double y : calcer.SignalSeries.Ys())
        ASSERT_TRUE(std::isfinite(y));
    EXPECT_NEAR(calcer.RTRecords[kRt20Computed].RT, 0.3, 0.03);
    EXPECT_TRUE(IniFile(project).ValueExists("r01.tim", "C.8.Values"));
}

TEST_F(OctaveBand, DecayTimeOfAnExponentialDecayIsFoundInEveryBand)
{
    // One tone at every band centre under an envelope whose energy falls 60 dB
    // in 1.5 s, 5 s at 48 kHz: each band sees its own tone decaying with the
    // envelope. (White noise would do as well on average, but one realisation
    // scatters the low bands by 10 % and more.)
    const double rate = 48000.0;
    const double decayTime = 1.5;
    const Band bands[] = {{2, 31.5}, {3, 63},   {4, 125},  {5, 250}, {6, 500},
                          {7, 1000}, {8, 2000}, {9, 4000}, {10, 8000}};
    std::vector<float> tones(static_cast<std::size_t>(5 * rate), 0.0f);
    for (std::size_t i = kLead; i < tones.size(); ++i) {
        const double t = static_cast<double>(i - kLead) / rate;
        double sum = 0.0;
        for (const Band band : bands)
            sum += std::cos(2 * std::numbers::pi * band.centre * t);
        tones[i] = static_cast<float>(sum * std::pow(10.0, -3.0 * t / decayTime));
    }
    const TCalcData data = Measurement(tones, rate);
    for (const Band band : bands) {
        THallCalcer calcer(project, data);
        Configure(calcer, band);
        calcer.AnalyseBand(band.centre);
        EXPECT_NEAR(calcer.RTRecords[kRt20Computed].RT, decayTime, 0.005 * decayTime) << band.centre;
        EXPECT_NEAR(calcer.RTRecords[kRt30Computed].RT, decayTime, 0.005 * decayTime) << band.centre;
    }
}

TEST_F(OctaveBand, SineAtTheCentrePassesWithUnitGain)
{
    const double rate = 48000.0;
    const int n = 48000;
    for (const double centre : {31.5, 63.0, 125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0, 8000.0}) {
        std::vector<float> sine(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            sine[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(2 * std::numbers::pi * centre * i / rate));
        const TCalcData data = Measurement(sine, rate);
        THallCalcer calcer(project, data);
        calcer.FilterBand(centre, rate);
        // Amplitude from the RMS over whole periods at the end, long after the
        // filter has settled.
        const double period = rate / centre;
        const int span = static_cast<int>(std::lround(std::floor(n / 2 / period) * period));
        double energy = 0.0;
        for (int i = n - span; i < n; ++i)
            energy += calcer.SignalY(i) * calcer.SignalY(i);
        const double amplitude = std::sqrt(2.0 * energy / span);
        EXPECT_NEAR(amplitude, 1.0, 0.001) << centre;
    }
}

} // namespace
} // namespace dazo
