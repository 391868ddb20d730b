// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/lundeby.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <span>
#include <string>

namespace dazo {
namespace {

TCalcData Measurement(std::vector<float> samples, float interval)
{
    TCalcData data;
    data.SampleInterval = interval;
    data.SetSamples(std::move(samples));
    return data;
}

// A carrier at a quarter of the sample rate whose level falls 2 dB per ms from
// 0 dB onto a flat floor of floorDb, one second long. The envelope is then the
// level itself (plus a constant of the 65-tap transformer).
std::vector<float> DecayOntoFloor(float interval, double floorDb)
{
    const int n = static_cast<int>(std::lround(1000.0 / interval));
    std::vector<float> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double levelDb = std::max(-2.0 * i * interval, floorDb);
        v[static_cast<std::size_t>(i)] =
            static_cast<float>(std::pow(10.0, levelDb / 20.0) * std::cos(std::numbers::pi / 2 * i));
    }
    return v;
}

TEST(Lundeby, DecayOntoAFlatFloorCrossesWithinFiveDecibelsOfIt)
{
    // Blocks are 1 ms long and fall 2 dB each. The floor at -61 dB puts the
    // threshold (-56 dB) half-way between blocks 27 (about -55 dB) and 28
    // (about -57 dB), clear of the transformer's ripple.
    const struct {
        float interval;
        int blockLength;
    } cases[] = {{0.1f, 10}, {static_cast<float>(1.0 / 48.0), 48}};
    for (const auto& c : cases) {
        const LundebyResult r = LundebyEstimate(Measurement(DecayOntoFloor(c.interval, -61.0), c.interval));
        EXPECT_EQ(r.blockLength, c.blockLength);
        EXPECT_EQ(r.crossingBlock, 28) << c.interval;
        EXPECT_NEAR(r.slope, -2.0, 0.1) << c.interval;
        // Levels are relative to the envelope's overshoot at the onset; the floor
        // lies 61 dB below the decay's start, 60 dB below the mean of block 0.
        EXPECT_NEAR(r.noiseLevel - r.intercept, -60.0, 0.3) << c.interval;
        // The peak lies at the start of the decay, the crossing 28 blocks later.
        const int peak = r.crossingSample - r.crossingBlock * r.blockLength;
        EXPECT_GE(peak, 0);
        EXPECT_LE(peak, 32 + c.blockLength / 2);
    }
}

TEST(Lundeby, RunningTwiceGivesTheSameEstimate)
{
    const TCalcData data = Measurement(DecayOntoFloor(0.1f, -50.0), 0.1f);
    const LundebyResult a = LundebyEstimate(data);
    const LundebyResult b = LundebyEstimate(data);
    EXPECT_EQ(a.noiseLevel, b.noiseLevel);
    EXPECT_EQ(a.crossingBlock, b.crossingBlock);
    EXPECT_EQ(a.slope, b.slope);
    EXPECT_EQ(a.intercept, b.intercept);
    EXPECT_EQ(a.crossingSample, b.crossingSample);
}

TEST(Lundeby, FilteredSignalOfDoublesIsEstimatedLikeTheSamePlainSamples)
{
    const float interval = 0.1f;
    const std::vector<float> samples = DecayOntoFloor(interval, -61.0);
    const std::vector<double> widened(samples.begin(), samples.end());
    const LundebyResult plain = LundebyEstimate(Measurement(samples, interval));
    const LundebyResult filtered = LundebyEstimate(std::span<const double>(widened), interval);
    EXPECT_EQ(filtered.noiseLevel, plain.noiseLevel);
    EXPECT_EQ(filtered.crossingSample, plain.crossingSample);
    EXPECT_EQ(filtered.slope, plain.slope);
}

TEST(Lundeby, UnusableMeasurementsRaiseTheirMessages)
{
    const struct {
        const char* what;
        std::vector<float> samples;
        float interval;
        const char* message;
    } cases[] = {
        {"empty", {}, 0.1f, "Fehler"},
        {"2 ms interval", DecayOntoFloor(2.0f, -60.0), 2.0f, "Division durch Null"},
        {"zero interval", DecayOntoFloor(0.1f, -60.0), 0.0f, "Gleitkommadivision durch Null"},
        {"five blocks", std::vector<float>(59, 1.0f), 0.1f, "Ungültige Gleitkommaoperation"},
        {"all zero", std::vector<float>(1000, 0.0f), 0.1f, "Ungültige Gleitkommaoperation"},
    };
    for (const auto& c : cases) {
        try {
            LundebyEstimate(Measurement(c.samples, c.interval));
            ADD_FAILURE() << c.what << ": no error";
        } catch (const DazoError& e) {
            EXPECT_EQ(std::string(e.what()), Ansi(c.message)) << c.what;
        }
    }
}

TEST(Lundeby, EnvelopeIsZeroDecibelsAtItsMaximum)
{
    std::vector<float> impulse(200, 0.0f);
    impulse[10] = 1.0f;
    std::vector<double> envelope{1.0, 2.0}; // replaced, not appended to
    EnvelopeDb(Measurement(impulse, 0.1f), envelope);
    ASSERT_EQ(envelope.size(), 200u);
    EXPECT_EQ(envelope[42], 0.0);                       // the impulse, 32 samples late
    EXPECT_NEAR(envelope[43], 20 * std::log10(2 / std::numbers::pi), 1e-5);
    EXPECT_NEAR(envelope[0], -140.0, 1e-4);             // zero envelope
}

TEST(BlockRegression, FitsALineAndNeedsTwoPoints)
{
    const std::vector<double> levels{5.0, 3.0, 1.0, -1.0, 100.0};
    const auto line = BlockRegression(levels, 0, 3);
    ASSERT_TRUE(line.has_value());
    EXPECT_NEAR(static_cast<double>(line->slope), -2.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(line->intercept), 5.0, 1e-15);
    const auto shifted = BlockRegression(levels, 1, 3); // x stays the block index
    ASSERT_TRUE(shifted.has_value());
    EXPECT_NEAR(static_cast<double>(shifted->intercept), 5.0, 1e-15);
    EXPECT_FALSE(BlockRegression(levels, 2, 2).has_value());
    EXPECT_FALSE(BlockRegression(levels, 3, 2).has_value());
    EXPECT_THROW(BlockRegression(levels, 3, 5), DazoError);
}

} // namespace
} // namespace dazo
