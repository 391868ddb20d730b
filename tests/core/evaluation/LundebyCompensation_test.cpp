// SPDX-License-Identifier: GPL-3.0-or-later
// The noise-compensated evaluation (Schroeder integration from the Lundeby
// crossing) and the decay-quality flags, on one response whose every band
// decays in 1.5 s over a floor 50 dB down.

#include "evaluation/EvaluationCore.h"

#include "evaluation/EvaluationFixtures.h"
#include "project/IniFile.h"
#include "signal/uconst.h"
#include "support/SingleDecay.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>

namespace dazo {
namespace {

using test::TempDir;

constexpr int kBand125 = 4; // calculation functions 4 ... 10: 125 Hz ... 8 kHz
constexpr int kBand8000 = 10;

struct BandResult {
    double rt30 = 0.0; // computed record
    DecayQuality quality;
};

struct Evaluation {
    int32_t schroederStart = 0;
    std::array<BandResult, kCalcerCount> bands{}; // by calculation function
};

Evaluation Evaluate(TEvaluationCore& core, const std::string& measurement)
{
    core.LoadMeasurementFile(measurement);
    Evaluation result;
    result.schroederStart = core.CalcData()->SchroederStart;
    for (int band = kBand125; band <= kBand8000; ++band) {
        TCalcChart& calcer = *core.Calcer(band);
        calcer.Calculate();
        result.bands[static_cast<std::size_t>(band)] = {calcer.RTRecords[kRt30Computed].RT, AssessDecay(calcer)};
    }
    core.ReleaseMeasurement(); // writes the records to the cache
    return result;
}

// One test for the whole scenario: the bands of 5 s at 48 kHz are evaluated
// once, plain and compensated.
TEST(LundebyCompensation, SingleDecayOverANoiseFloor)
{
    TempDir dir;
    TCalcData data;
    data.SampleInterval = static_cast<float>(1000.0 / test::kSingleDecayRate);
    data.SetSamples(test::SingleDecayResponse());
    const std::string measurement = dir.File("decay.tim");
    data.SaveTim(measurement);
    const std::string project = dir.Write("p.npj", "[Messungen]\r\n" + test::PointLine(1, {"decay.tim"}) + "\r\n");

    TEvaluationCore core(ProgramPaths(dir.File("dazo")), FormatSettings::English());
    core.SetProjectFile(project);
    const Evaluation plain = Evaluate(core, measurement);
    const std::string projectAfterPlain = test::ReadBytes(project);
    core.SetLundebyCompensation(dir.File("compensated.npj"));
    const Evaluation compensated = Evaluate(core, measurement);

    // The decay reaches the floor 1.25 s after its start at 10 ms; the
    // crossing lies within 10 dB above that.
    EXPECT_EQ(plain.schroederStart, 0);
    const double crossing = compensated.schroederStart / test::kSingleDecayRate - 0.01;
    EXPECT_GT(crossing, 1.0);
    EXPECT_LT(crossing, 1.25);

    for (int band = kBand125; band <= kBand8000; ++band) {
        const BandResult& p = plain.bands[static_cast<std::size_t>(band)];
        const BandResult& c = compensated.bands[static_cast<std::size_t>(band)];
        std::printf("%5s Hz: RT30 ohne Kompensation %.3f s, mit %.3f s; Dynamik %.1f dB, Krümmung %.1f %% (ohne %.1f %%)\n",
                    BandLabels[static_cast<std::size_t>(band - 1)], p.rt30, c.rt30, c.quality.dynamicRange,
                    c.quality.curvature, p.quality.curvature);
        EXPECT_NEAR(c.rt30, test::kSingleDecaySeconds, 0.05 * test::kSingleDecaySeconds) << band;
        // Integrating the floor up to the end of the record bends the decay.
        EXPECT_GT(p.rt30, 1.5 * test::kSingleDecaySeconds) << band;

        // The range is the band signal's own, whatever the Schroeder start: the
        // floor lies 50 dB below the decay's level and more below the peak.
        EXPECT_EQ(p.quality.dynamicRange, c.quality.dynamicRange) << band;
        EXPECT_GT(c.quality.dynamicRange, 50.0) << band;
        EXPECT_LT(c.quality.dynamicRange, 70.0) << band;
        EXPECT_FALSE(c.quality.edtFlag || c.quality.rt20Flag || c.quality.rt30Flag) << band;
        EXPECT_LT(std::fabs(c.quality.curvature), kMaxCurvature) << band;
        // The bent plain decay: T30 well above T20.
        EXPECT_GT(p.quality.curvature, kMaxCurvature) << band;
        EXPECT_FALSE(p.quality.edtFlag) << band;
        EXPECT_TRUE(p.quality.rt20Flag && p.quality.rt30Flag) << band;
    }

    // The compensated records went to their own cache only.
    EXPECT_EQ(test::ReadBytes(project), projectAfterPlain);
    EXPECT_NE(projectAfterPlain.find("RT.4.4.Values"), std::string::npos);
    EXPECT_TRUE(IniFile(dir.File("compensated.npj")).ValueExists("decay.tim", "RT.4.4.Values"));
}

TEST(LundebyCompensation, MeasurementWithoutAnEstimateKeepsItsStoredStart)
{
    TempDir dir;
    // 5 ms: five blocks, no noise blocks, no estimate.
    test::WriteImpulseResponse(dir.File("short.tim"), 50, 0.1f);
    const std::string project = dir.Write("p.npj", "[short.tim]\r\nMPS=30\r\n");
    TEvaluationCore core(ProgramPaths(dir.File("dazo")), FormatSettings::English());
    core.SetProjectFile(project);
    core.SetLundebyCompensation(dir.File("compensated.npj"));
    core.LoadMeasurementFile(dir.File("short.tim"));
    EXPECT_EQ(core.CalcData()->SchroederStart, 30);
}

} // namespace
} // namespace dazo
