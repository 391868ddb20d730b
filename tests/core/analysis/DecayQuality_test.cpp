// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/DecayQuality.h"
#include "analysis/uHallCalcer.h"

#include <gtest/gtest.h>

#include <optional>

namespace dazo {
namespace {

TEST(DecayQuality, FlagsAtTheLimitsOfIso3382)
{
    const struct {
        double range;
        std::optional<double> curvature;
        bool edt, rt20, rt30;
    } cases[] = {
        {24.99, 0.0, true, true, true},
        {25.0, 0.0, false, true, true},
        {34.99, 0.0, false, true, true},
        {35.0, 0.0, false, false, true},
        {44.99, 0.0, false, false, true},
        {45.0, 0.0, false, false, false},
        {80.0, 10.0, false, false, false},
        {80.0, 10.01, false, true, true},
        {80.0, -30.0, false, false, false}, // T30 below T20 is not flagged
        {80.0, std::nullopt, false, true, true},
        {0.0, std::nullopt, true, true, true},
    };
    for (const auto& c : cases) {
        const DecayQuality q = JudgeDecay(c.range, c.curvature);
        const std::string what = std::to_string(c.range) + " dB, " + (c.curvature ? std::to_string(*c.curvature) : "-");
        EXPECT_EQ(q.edtFlag, c.edt) << what;
        EXPECT_EQ(q.rt20Flag, c.rt20) << what;
        EXPECT_EQ(q.rt30Flag, c.rt30) << what;
        EXPECT_EQ(q.dynamicRange, c.range) << what;
        EXPECT_EQ(q.curvature, c.curvature.value_or(0.0)) << what;
    }
}

TEST(DecayQuality, SignalWithoutANoiseEstimateIsFlaggedThroughout)
{
    TCalcData data;
    data.SampleInterval = 0.1f;
    data.SetSamples(std::vector<float>(40, 0.5f));
    const THallCalcer notAnalysed("nicht-da.npj", data);
    const DecayQuality q = AssessDecay(notAnalysed);
    EXPECT_EQ(q.dynamicRange, 0.0);
    EXPECT_TRUE(q.edtFlag && q.rt20Flag && q.rt30Flag);
}

} // namespace
} // namespace dazo
