// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/Din18041.h"

#include "common/Encoding.h"
#include "project/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

TEST(Din18041, TargetTimeOfEachClassInsideAndAtTheEdgesOfItsRange)
{
    struct Case {
        UsageClass usage;
        double volume;
        std::optional<double> target;
    };
    const Case cases[] = {
        // A1 0.45 lg V + 0.07 for 30 <= V < 1000
        {UsageClass::A1, 29.99, std::nullopt}, {UsageClass::A1, 30, 0.73}, {UsageClass::A1, 500, 1.28},
        {UsageClass::A1, 999, 1.42}, {UsageClass::A1, 1000, std::nullopt},
        // A2 0.37 lg V - 0.14 for 50 <= V < 5000
        {UsageClass::A2, 49, std::nullopt}, {UsageClass::A2, 50, 0.49}, {UsageClass::A2, 4032, 1.19},
        {UsageClass::A2, 5000, std::nullopt},
        // A3 0.32 lg V - 0.17 for 30 <= V < 5000
        {UsageClass::A3, 30, 0.30}, {UsageClass::A3, 200, 0.57}, {UsageClass::A3, 4999, 1.01},
        {UsageClass::A3, 5000, std::nullopt},
        // A4 0.26 lg V - 0.14 for 30 <= V < 500
        {UsageClass::A4, 30, 0.24}, {UsageClass::A4, 250, 0.48}, {UsageClass::A4, 500, std::nullopt},
        // A5 0.75 lg V - 1.00 for 200 <= V < 10000, 2.0 s above
        {UsageClass::A5, 199, std::nullopt}, {UsageClass::A5, 200, 0.73}, {UsageClass::A5, 9999, 2.0},
        {UsageClass::A5, 10000, 2.0}, {UsageClass::A5, 50000, 2.0},
    };
    for (const Case& c : cases) {
        const auto target = TargetTime(c.usage, c.volume);
        ASSERT_EQ(target.has_value(), c.target.has_value()) << UsageClassName(c.usage) << " " << c.volume;
        if (target)
            EXPECT_DOUBLE_EQ(*target, *c.target) << UsageClassName(c.usage) << " " << c.volume;
    }
}

TEST(Din18041, VerdictAgainstTheCorridorOfTheBand)
{
    struct Case {
        UsageClass usage;
        double centre;
        double time;
        std::optional<Verdict> verdict;
    };
    // With T_soll = 1.00 s the time is the ratio T / T_soll.
    const Case cases[] = {
        {UsageClass::A2, 500, 1.00, Verdict::Met},       {UsageClass::A2, 500, 1.20, Verdict::Met},
        {UsageClass::A2, 500, 1.21, Verdict::Exceeded},  {UsageClass::A2, 500, 0.79, Verdict::Undershot},
        {UsageClass::A2, 125, 1.45, Verdict::Met},       {UsageClass::A2, 125, 1.46, Verdict::Exceeded},
        {UsageClass::A2, 63, 0.50, Verdict::Met},        {UsageClass::A2, 8000, 0.49, Verdict::Undershot},
        {UsageClass::A1, 125, 0.90, Verdict::Undershot}, {UsageClass::A1, 125, 1.50, Verdict::Met},
        {UsageClass::A5, 4000, 0.66, Verdict::Met},      {UsageClass::A2, 31.5, 1.00, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto limits = ToleranceOf(c.usage, c.centre);
        ASSERT_EQ(limits.has_value(), c.verdict.has_value()) << c.centre;
        if (limits)
            EXPECT_EQ(Assess(c.time, 1.00, *limits), *c.verdict) << UsageClassName(c.usage) << " " << c.centre << " Hz "
                                                                  << c.time;
    }
    EXPECT_EQ(VerdictText(Verdict::Exceeded), Ansi("überschritten"));
}

TEST(Din18041, ProjectDataGiveClassAndVolumeAndOutOfRangeIsSaid)
{
    test::TempDir dir;
    const std::string project = dir.File("p.npj");
    IniFile(project).WriteStrings("DATA", {{"cONutzungsart", "A2 Sprache/Vortrag"}, {"eRVQBM", "6000,00"}});
    ASSERT_EQ(ProjectUsageClass(project), UsageClass::A2);
    ASSERT_EQ(ProjectVolume(project), 6000.0);

    const RoomAssessment outside = AssessRoom(UsageClass::A2, 6000, {{500, 1.2}, {1000, 1.1}});
    EXPECT_FALSE(outside.Target);
    ASSERT_EQ(outside.Bands.size(), 2u);
    EXPECT_TRUE(outside.Bands[0].Limits);
    EXPECT_FALSE(outside.Bands[0].Result); // no verdict without T_soll
    EXPECT_EQ(TargetText(outside, ','),
              Ansi("T_soll: V = 6000 m³ liegt außerhalb des Gültigkeitsbereichs 50 m³ <= V < 5000 m³"));

    const RoomAssessment inside = AssessRoom(UsageClass::A2, 4032, {{500, 1.2}});
    EXPECT_EQ(TargetText(inside, ','), Ansi("T_soll = 1,19 s (50 m³ <= V < 5000 m³)"));
    EXPECT_EQ(inside.Bands[0].Result, Verdict::Met);

    for (const char* text : {"", "B1", " a4 inklusiv"})
        EXPECT_EQ(UsageClassOf(text), text[0] == ' ' ? std::optional(UsageClass::A4) : std::nullopt) << text;
    for (const char* text : {"4032", "4032.00", "4032,00"})
        EXPECT_EQ(RoomVolumeOf(text), 4032.0) << text;
    EXPECT_FALSE(RoomVolumeOf("groß"));
}

} // namespace
} // namespace dazo
