// SPDX-License-Identifier: GPL-3.0-or-later
// The noise-compensated evaluation (Schroeder integration from the Lundeby
// crossing) and the decay-quality flags, on one response whose every band
// decays in 1.5 s over a floor 50 dB down.

#include "analysis/ResultCache.h"
#include "evaluation/EvaluationCore.h"

#include "evaluation/EvaluationFixtures.h"
#include "project/CommaText.h"
#include "project/IniFile.h"
#include "signal/uconst.h"
#include "support/SingleDecay.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace dazo {
namespace {

using test::TempDir;

constexpr int kBand125 = 4; // calculation functions 4 ... 10: 125 Hz ... 8 kHz
constexpr int kBand8000 = 10;

struct Evaluation {
    int32_t schroederStart = 0;
    std::array<double, kCalcerCount> rt30{}; // computed RT30 from the cache, by calculation function
    std::array<std::optional<DecayQuality>, kCalcerCount - 1> quality;
};

class LundebyCompensationTest : public ::testing::Test {
protected:
    // Both evaluations once for all tests: the bands of 5 s at 48 kHz.
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<TempDir>();
        TCalcData data;
        data.SampleInterval = static_cast<float>(1000.0 / test::kSingleDecayRate);
        data.SetSamples(test::SingleDecayResponse());
        data.SaveTim(dir_->File("decay.tim"));
        project_ = dir_->Write("p.npj", "[Messungen]\r\n" + test::PointLine(1, {"decay.tim"}) + "\r\n");

        TEvaluationCore core(ProgramPaths(dir_->File("dazo")), FormatSettings::English());
        core.SetProjectFile(project_);
        plain_ = Evaluate(core);
        projectAfterPlain_ = test::ReadBytes(project_);
        core.SetLundebyCompensation(dir_->File("compensated.npj"));
        compensated_ = Evaluate(core);
    }
    static void TearDownTestSuite() { dir_.reset(); }

    static Evaluation Evaluate(TEvaluationCore& core)
    {
        core.LoadMeasurementFile(dir_->File("decay.tim"));
        Evaluation result;
        result.schroederStart = core.CalcData()->SchroederStart;
        result.quality = core.AssessBands(); // leaves every band's records in the cache
        const IniFile cache(core.ResultCacheFile());
        for (int band = 1; band < kCalcerCount; ++band) {
            const auto fields = SplitCommaText(cache.ReadString("decay.tim", RTRecordKey(band, kRt30Computed)));
            if (fields.size() == 6)
                result.rt30[static_cast<std::size_t>(band)] = TextToFloat(fields[5]);
        }
        core.ReleaseMeasurement();
        return result;
    }

    static const DecayQuality& QualityOf(const Evaluation& evaluation, int band)
    {
        const auto& quality = evaluation.quality[static_cast<std::size_t>(band - 1)];
        EXPECT_TRUE(quality.has_value()) << band;
        static const DecayQuality none;
        return quality ? *quality : none;
    }

    static inline std::unique_ptr<TempDir> dir_;
    static inline std::string project_;
    static inline std::string projectAfterPlain_;
    static inline Evaluation plain_;
    static inline Evaluation compensated_;
};

TEST_F(LundebyCompensationTest, CompensatedRT30OfEveryBandIsWithinFivePercent)
{
    for (int band = kBand125; band <= kBand8000; ++band) {
        const double plain = plain_.rt30[static_cast<std::size_t>(band)];
        const double compensated = compensated_.rt30[static_cast<std::size_t>(band)];
        const DecayQuality& quality = QualityOf(compensated_, band);
        std::printf("%5s Hz: RT30 ohne Kompensation %.3f s, mit %.3f s; Dynamik %.1f dB, Krümmung %.1f %% (ohne %.1f %%)\n",
                    BandLabels[static_cast<std::size_t>(band - 1)], plain, compensated, quality.dynamicRange,
                    quality.curvature, QualityOf(plain_, band).curvature);
        EXPECT_NEAR(compensated, test::kSingleDecaySeconds, 0.05 * test::kSingleDecaySeconds) << band;
        // Integrating the floor up to the end of the record bends the decay.
        EXPECT_GT(plain, 1.5 * test::kSingleDecaySeconds) << band;
    }
}

TEST_F(LundebyCompensationTest, SchroederStartIsWhereTheDecayMeetsTheFloor)
{
    EXPECT_EQ(plain_.schroederStart, 0);
    // The decay reaches the floor (50 dB down) 1.25 s after its start at
    // 10 ms; the crossing lies within 10 dB above that.
    const double crossing = compensated_.schroederStart / test::kSingleDecayRate - 0.01;
    EXPECT_GT(crossing, 1.0);
    EXPECT_LT(crossing, 1.25);
}

TEST_F(LundebyCompensationTest, CompensatedResultsStayOutOfTheProjectCache)
{
    EXPECT_EQ(test::ReadBytes(project_), projectAfterPlain_);
    EXPECT_NE(projectAfterPlain_.find("RT.4.4.Values"), std::string::npos);
    EXPECT_TRUE(IniFile(dir_->File("compensated.npj")).ValueExists("decay.tim", "RT.4.4.Values"));
}

TEST_F(LundebyCompensationTest, FlagsFollowRangeAndCurvature)
{
    for (int band = kBand125; band <= kBand8000; ++band) {
        const DecayQuality& plain = QualityOf(plain_, band);
        const DecayQuality& compensated = QualityOf(compensated_, band);
        // The range is the band signal's own and does not depend on the
        // Schroeder start: the floor lies about 50 dB below the decay's level
        // and more below the envelope's peak.
        EXPECT_EQ(plain.dynamicRange, compensated.dynamicRange) << band;
        EXPECT_GT(compensated.dynamicRange, 50.0) << band;
        EXPECT_LT(compensated.dynamicRange, 70.0) << band;
        EXPECT_FALSE(compensated.edtFlag || compensated.rt20Flag || compensated.rt30Flag) << band;
        EXPECT_LT(std::fabs(compensated.curvature), kMaxCurvature) << band;
        // The bent plain decay: T30 well above T20.
        EXPECT_GT(plain.curvature, kMaxCurvature) << band;
        EXPECT_FALSE(plain.edtFlag) << band;
        EXPECT_TRUE(plain.rt20Flag && plain.rt30Flag) << band;
    }
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
