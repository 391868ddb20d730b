// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/DecayFixtures.h"
#include "support/TempDir.h"

#include <cmath>
#include <numeric>

namespace dazo {
namespace {

using test::ExpectFailure;
using test::MakeSignal;

// A calculator whose Schroeder curve is given point by point (x in ms, level in dB).
struct DecayCurve {
    TCalcData data;
    THallCalcer calcer{"p.npj", data};
    DecayCurve(const std::vector<double>& x, const std::vector<double>& level)
    {
        for (std::size_t i = 0; i < x.size(); ++i)
            calcer.AddSchroederPoint(x[i], level[i]);
    }
};

double Squared(float v)
{
    return static_cast<double>(v) * static_cast<double>(v);
}

TEST(DecayTimes, ExponentialDecayGivesOneSecondAndNearPerfectFits)
{
    // A quiet lead-in of 100 samples before the peak, then 60 dB per second.
    std::vector<float> samples(100, 1e-4f);
    const auto decay = test::ExponentialDecay();
    samples.insert(samples.end(), decay.begin(), decay.end());
    test::TempDir dir;
    const TCalcData data = MakeSignal(samples, 0.1f, "r01.tim");
    THallCalcer calcer(dir.File("p.npj"), data);
    calcer.SetCalcFunction(1);
    calcer.AnalyseBroadband();

    ASSERT_EQ(calcer.PeakIndex, 100);
    for (const int kind : {kEdtComputed, kRt20Computed, kRt30Computed}) {
        const TRTRecord& r = calcer.RTRecords[kind];
        EXPECT_NEAR(r.RT, 1.0, 1e-3) << kind;
        EXPECT_GT(r.Correlation, 0.9999) << kind;
        EXPECT_LE(r.Correlation, 1.0) << kind;
    }
    // EDT starts at the peak itself; RT20 and RT30 from the curve's start.
    const auto& rt = calcer.RTRecords;
    EXPECT_EQ(rt[kEdtComputed].StartIndex, calcer.PeakIndex);
    EXPECT_NEAR(calcer.SchroederY(rt[kRt20Computed].StartIndex), -5.0, 0.01);
    EXPECT_NEAR(calcer.SchroederY(rt[kRt30Computed].EndIndex), -35.0, 0.01);
    EXPECT_NEAR(rt[kRt30Computed].LevelEnd - rt[kRt30Computed].LevelStart, -30.0, 0.01);

    // Own ranges start as copies of the computed ones; the free range without a result.
    EXPECT_EQ(rt[kEdtCustom], rt[kEdtComputed]);
    EXPECT_EQ(rt[kRt20Custom], rt[kRt20Computed]);
    EXPECT_EQ(rt[kRt30Custom], rt[kRt30Computed]);
    TRTRecord free = rt[kRt30Computed];
    free.Correlation = 0;
    free.RT = 0;
    EXPECT_EQ(rt[kRtxxCustom], free);
}

TEST(DecayTimes, FindLevelIndexIsTheFirstPointFarEnoughBelowTheStart)
{
    DecayCurve curve({0, 1, 2, 3, 4}, {0, -3, -5, -12, -20});
    const struct {
        int from;
        double drop;
        int expected;
    } cases[] = {
        {0, 0, 0},   // the start itself meets a drop of 0
        {0, 5, 2},   // exactly 5 dB below counts
        {0, 35, 4},  // never 35 dB down: the last point
        {1, 9, 3},   // measured from the level at from
        {1, 10, 4},
        {5, 0, 4},   // from beyond the curve
        {-1, 0, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(curve.calcer.FindLevelIndex(c.from, c.drop), c.expected) << c.from << " " << c.drop;
    EXPECT_EQ(DecayCurve({}, {}).calcer.FindLevelIndex(0, 0), -1);

    curve.calcer.ComputeRT(kRt30Computed, 5, 35);
    EXPECT_EQ(curve.calcer.RTRecords[kRt30Computed].StartIndex, 2);
    EXPECT_EQ(curve.calcer.RTRecords[kRt30Computed].EndIndex, 4);
}

TEST(DecayTimes, RegressionFitsTheLineAndItsCorrelation)
{
    DecayCurve line({0, 10, 20, 30}, {0, -1, -2, -3});
    TRTRecord r;
    line.calcer.Regression(0, 3, r);
    EXPECT_NEAR(r.LevelStart, 0.0, 1e-12);
    EXPECT_NEAR(r.LevelEnd, -3.0, 1e-12);
    EXPECT_NEAR(r.RT, 30.0 / 1000 * 60 / 3, 1e-12);
    EXPECT_NEAR(r.Correlation, 1.0, 1e-12);

    // Scattered levels: the correlation of fit and data is |Pearson(X, L)|.
    const std::vector<double> x = {0, 1, 2, 3, 4};
    const std::vector<double> l = {0, -2, -1, -4, -3};
    DecayCurve scattered(x, l);
    scattered.calcer.Regression(0, 4, r);
    const double mx = 2, ml = -2;
    double sxl = 0, sxx = 0, sll = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxl += (x[i] - mx) * (l[i] - ml);
        sxx += (x[i] - mx) * (x[i] - mx);
        sll += (l[i] - ml) * (l[i] - ml);
    }
    const double slope = sxl / sxx;
    EXPECT_NEAR(r.Correlation, std::fabs(sxl / std::sqrt(sxx * sll)), 1e-12);
    EXPECT_NEAR(r.LevelStart, ml - slope * mx, 1e-12);
    EXPECT_NEAR(r.LevelEnd, ml + slope * (4 - mx), 1e-12);
    EXPECT_NEAR(r.RT, 4.0 / 1000 * 60 / std::fabs(slope * 4), 1e-12);
}

TEST(DecayTimes, RangeOfOnePointOnlyZeroesTheDecayTime)
{
    DecayCurve curve({0, 1, 2}, {0, -1, -2});
    const TRTRecord before{1, 2, -3.5, -7.5, 0.5, 1.25};
    for (const auto& [s, e] : {std::pair{1, 1}, std::pair{2, 1}}) {
        curve.calcer.RTRecords[kRtxxCustom] = before;
        curve.calcer.SetRTRange(kRtxxCustom, s, e);
        TRTRecord expected = before;
        expected.StartIndex = s;
        expected.EndIndex = e;
        expected.RT = 0;
        EXPECT_EQ(curve.calcer.RTRecords[kRtxxCustom], expected) << s << " " << e;
    }
}

TEST(DecayTimes, ArithmeticFailuresThrowAndKeepTheRecord)
{
    const struct {
        const char* name;
        std::vector<double> x, level;
        const char* message;
    } cases[] = {
        {"flat range", {0, 1, 2}, {-70, -70, -70}, "Gleitkommadivision durch Null"},
        {"decay time beyond the double range", {0, 1e300}, {0, -1e-300}, "Gleitkommaüberlauf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DecayCurve curve(c.x, c.level);
        const TRTRecord before{0, 1, -1, -2, 0.5, 0.75};
        curve.calcer.RTRecords[kRt20Custom] = before;
        ExpectFailure([&] { curve.calcer.SetRTRange(kRt20Custom, 0, static_cast<int>(c.x.size()) - 1); }, c.message);
        EXPECT_EQ(curve.calcer.RTRecords[kRt20Custom], before);
    }
}

TEST(DecayTimes, ResetCopiesTheComputedRecordIntoTheOwnRange)
{
    const TCalcData data;
    THallCalcer calcer("p.npj", data);
    calcer.RTRecords[kEdtComputed] = {1, 2, 3, 4, 0.5, 6};
    calcer.RTRecords[kRt20Computed] = {7, 8, 9, 10, 0.6, 12};
    calcer.RTRecords[kRt30Computed] = {13, 14, 15, 16, 0.7, 18};
    const std::pair<int, int> copies[] = {
        {kEdtCustom, kEdtComputed}, {kRt20Custom, kRt20Computed}, {kRt30Custom, kRt30Computed}, {kRtxxCustom, kRt30Computed}};
    for (const auto& [custom, computed] : copies) {
        calcer.ResetRTKind(custom);
        EXPECT_EQ(calcer.RTRecords[custom], calcer.RTRecords[computed]) << custom;
    }
    for (const int kind : {int{kEdtComputed}, int{kRt20Computed}, int{kRt30Computed}, 7, -1})
        ExpectFailure([&] { calcer.ResetRTKind(kind); }, "falscher Cursor");
    ExpectFailure([&] { calcer.SetRTRange(7, 0, 0); }, "falscher Cursor");
}

TEST(EnergyParameters, OnsetIsTheLastRawSample20DbBelowThePeak)
{
    const struct {
        std::vector<float> samples;
        int onset;
    } cases[] = {
        {{0.001f, 0.001f, 1.0f, 0.5f}, 1},
        {{0.05f, 0.001f, 0.5f, 1.0f, 0.2f}, 1},  // -6 dB just before the peak is not enough
        {{0.001f, 0.05f, 1.0f}, 1},              // -26 dB is enough
        {{0.001f, 0.12f, 1.0f}, 0},              // -18.4 dB is not
        {{0.2f, 0.5f, 0.01f, -2.0f, 1.0f}, 2},   // the peak is the largest magnitude
        {{0.001f, 1.0f, 0.001f, 1.0f}, 0},       // the first of two equal peaks
        {{0.5f, 1.0f, 0.2f}, 0},                 // nothing quiet before the peak: first sample
        {{1.0f, 0.001f, 0.5f}, 0},
        {{}, 0},
    };
    for (const auto& c : cases) {
        const TCalcData data = MakeSignal(c.samples, 1.0f);
        const THallCalcer calcer("p.npj", data); // not analysed: the raw samples decide
        EXPECT_EQ(calcer.Onset(), c.onset) << ::testing::PrintToString(c.samples);
    }
}

TEST(EnergyParameters, HandMadeSignalGivesIndependentlyComputedValues)
{
    // 1 ms per sample; onset at 0 (60 dB below the peak at 1).
    std::vector<float> samples(101, 0.0f);
    samples[0] = 0.001f;
    samples[1] = 1.0f;
    samples[50] = 0.5f;  // on the 50 ms limit
    samples[51] = 0.25f;
    samples[80] = 0.5f;  // exactly 80 ms after the onset
    samples[100] = 0.1f;
    const TCalcData data = MakeSignal(samples, 1.0f);
    THallCalcer calcer("p.npj", data);
    calcer.CVar = 51;
    calcer.SetCalcFunction(1);
    calcer.AnalyseBroadband();

    const double e0 = Squared(0.001f), e1 = 1, e50 = 0.25, e51 = 0.0625, e80 = 0.25, e100 = Squared(0.1f);
    const double total = e0 + e1 + e50 + e51 + e80 + e100;
    const auto clarity = [](double early, double late) { return 10 * std::log(early / late) * 0.4342944; };
    EXPECT_NEAR(calcer.C35, clarity(e0 + e1, total - e0 - e1), 1e-9);
    EXPECT_NEAR(calcer.C50, clarity(e0 + e1, total - e0 - e1), 1e-9);       // 50 ms is late
    EXPECT_NEAR(calcer.Cxx, clarity(e0 + e1 + e50, e51 + e80 + e100), 1e-9); // CVar 51
    EXPECT_NEAR(calcer.C80, clarity(total - e80 - e100, e80 + e100), 1e-9);  // 80 ms is late
    EXPECT_NEAR(calcer.D50, (e0 + e1 + e50) / total, 1e-12);                 // 50 ms is inside
    EXPECT_NEAR(calcer.D80, (total - e100) / total, 1e-12);                  // 80 ms is inside
    EXPECT_NEAR(calcer.Ts, (1 * e1 + 50 * e50 + 51 * e51 + 80 * e80 + 100 * e100) / total, 1e-12);
}

TEST(EnergyParameters, WithoutOnsetTheTimesCountFromTheFirstSample)
{
    const TCalcData data = MakeSignal({0.5f, 1.0f, 0.5f}, 1.0f);
    THallCalcer calcer("p.npj", data);
    calcer.FillRaw();
    EXPECT_DOUBLE_EQ(calcer.CentreTime(), (0 * 0.25 + 1 * 1.0 + 2 * 0.25) / 1.5);
}

TEST(EnergyParameters, SilenceAfterTheOnsetStopsTheCentreTime)
{
    const TCalcData data = MakeSignal(std::vector<float>(10, 0.0f), 1.0f);
    THallCalcer calcer("p.npj", data);
    calcer.FillRaw();
    EXPECT_EQ(calcer.Clarity(50), 0.0);
    calcer.Definition();
    EXPECT_EQ(calcer.D50, 0.0);
    ExpectFailure([&] { calcer.CentreTime(); }, "Ungültige Gleitkommaoperation");
}

} // namespace
} // namespace dazo
