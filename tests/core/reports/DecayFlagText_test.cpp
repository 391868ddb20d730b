// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/DecayFlagText.h"

#include "common/Encoding.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

TEST(DecayFlagText, NamesEachReasonOfTheFlaggedTime)
{
    struct Case {
        double range;
        std::optional<double> curvature;
        DecayTime time;
        const char* reason;
    };
    const Case cases[] = {
        {50.0, 5.0, DecayTime::RT30, ""},
        {30.0, 5.0, DecayTime::EDT, ""},
        {20.0, 5.0, DecayTime::EDT, "Dynamikbereich 20,0 dB < nötig 25 dB"},
        {40.0, 5.0, DecayTime::RT20, ""},
        {40.0, 5.0, DecayTime::RT30, "Dynamikbereich 40,0 dB < nötig 45 dB"},
        {50.0, 12.34, DecayTime::RT20, "Krümmung 12,3 % > 10 %"},
        {50.0, 12.34, DecayTime::EDT, ""},
        {30.0, 15.0, DecayTime::RT30, "Dynamikbereich 30,0 dB < nötig 45 dB\nKrümmung 15,0 % > 10 %"},
        {50.0, std::nullopt, DecayTime::RT20, "Krümmung nicht messbar"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecayFlagReason(JudgeDecay(c.range, c.curvature), c.time, FormatSettings::German()), Ansi(c.reason)) << c.reason;
}

} // namespace
} // namespace dazo
