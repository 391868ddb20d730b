// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/DecayFixtures.h"
#include "project/CommaText.h"
#include "signal/uconst.h"
#include "support/TempDir.h"

#include <filesystem>

namespace dazo {
namespace {

using test::ExpectFailure;
using test::ReadBytes;

// The value of key in the file's bytes, "" when the key is absent.
std::string ValueIn(const std::string& bytes, const std::string& key)
{
    const auto at = bytes.find("\n" + key + "=");
    if (at == std::string::npos)
        return {};
    const auto begin = at + key.size() + 2;
    return bytes.substr(begin, bytes.find_first_of("\r\n", begin) - begin);
}

// A measurement "dir/r01.tim" with a 1 s exponential decay, and its project file.
class ResultCache : public ::testing::Test {
protected:
    test::TempDir dir;
    const std::string project = dir.File("p.npj");
    const TCalcData data = test::MakeSignal(test::ExponentialDecay(), 0.1f, "dir/r01.tim");

    void WriteSection(const std::string& lines) { dir.Write("p.npj", "[r01.tim]\r\n" + lines); }
};

TEST_F(ResultCache, WritesDecimalIntegersAndFloatTextUnderTheBandKeys)
{
    THallCalcer calcer(project, data);
    calcer.SetCalcFunction(4);
    calcer.RTRecords[kEdtComputed] = {7, 90, -0.5, -10.5, 0.99, 1.5};
    calcer.WriteRTRecord(kEdtComputed);
    calcer.C35 = 1.5;
    calcer.C50 = -0.25;
    calcer.C80 = 1e-5;
    calcer.CVar = -100;
    calcer.Cxx = 2.5e21;
    calcer.D50 = 0.5;
    calcer.D80 = 0.75;
    calcer.Ts = 123.456;
    calcer.WriteCRecord();

    const std::string bytes = ReadBytes(project);
    EXPECT_EQ(bytes.find("[r01.tim]\r\n"), 0u);
    EXPECT_EQ(ValueIn(bytes, "RT.4.1.Values"), "7,90,-0.5,-10.5,0.99,1.5");
    EXPECT_EQ(ValueIn(bytes, "C.4.Values"), "1.5,-0.25,1E-5,-100,2.5E21,0.5,0.75,123.456");

    THallCalcer reader(project, data);
    reader.SetCalcFunction(4);
    ASSERT_TRUE(reader.ReadRTRecord(kEdtComputed));
    ASSERT_TRUE(reader.ReadCRecord());
    EXPECT_EQ(reader.RTRecords[kEdtComputed], calcer.RTRecords[kEdtComputed]);
    EXPECT_EQ(reader.CVar, -100);
    EXPECT_EQ(reader.C80, 1e-5);
    EXPECT_EQ(reader.Cxx, 2.5e21);
    EXPECT_EQ(ReadBytes(project), bytes);
}

TEST_F(ResultCache, MeasurementWithoutFileNameIsNeverCached)
{
    const TCalcData unnamed = test::MakeSignal(test::ExponentialDecay(), 0.1f);
    THallCalcer calcer(project, unnamed);
    calcer.SetCalcFunction(1);
    calcer.AnalyseBroadband();
    calcer.SetRTRange(kRtxxCustom, 10, 100);
    calcer.SetCustomTime(20);
    EXPECT_FALSE(std::filesystem::exists(project));
    EXPECT_FALSE(calcer.ReadCRecord());
    EXPECT_FALSE(calcer.ReadRTRecord(kEdtComputed));
}

TEST_F(ResultCache, CachedRecordsWinAndAnalysisWritesNoRTRecord)
{
    // C record and the own EDT range cached; all other RT records missing.
    WriteSection("C.1.Values=1.5,2.5,3.5,100,4.5,0.25,0.75,55.5\r\n"
                 "RT.1.0.Values=3,40,-1,-11,0.5,2.5\r\n");
    const std::string before = ReadBytes(project);
    THallCalcer calcer(project, data);
    calcer.SetCalcFunction(1);
    calcer.AnalyseBroadband();

    EXPECT_EQ(calcer.C35, 1.5);
    EXPECT_EQ(calcer.C50, 2.5);
    EXPECT_EQ(calcer.C80, 3.5);
    EXPECT_EQ(calcer.CVar, 100);
    EXPECT_EQ(calcer.Cxx, 4.5);
    EXPECT_EQ(calcer.D50, 0.25);
    EXPECT_EQ(calcer.D80, 0.75);
    EXPECT_EQ(calcer.Ts, 55.5);
    const TRTRecord own{3, 40, -1, -11, 0.5, 2.5};
    EXPECT_EQ(calcer.RTRecords[kEdtCustom], own);
    EXPECT_NEAR(calcer.RTRecords[kEdtComputed].RT, 1.0, 1e-3);
    EXPECT_EQ(calcer.RTRecords[kRt20Custom], calcer.RTRecords[kRt20Computed]);
    EXPECT_EQ(ReadBytes(project), before);
}

TEST_F(ResultCache, FreshCalculatorReadsAllEightValuesWithoutRewriting)
{
    WriteSection("C.3.Values=1,2,3,100,5,0.5,0.75,8\r\n");
    const std::string before = ReadBytes(project);
    THallCalcer calcer(project, data);
    calcer.SetCalcFunction(3);
    ASSERT_TRUE(calcer.ReadCRecord());
    EXPECT_EQ((std::vector<double>{calcer.C35, calcer.C50, calcer.C80, double(calcer.CVar), calcer.Cxx, calcer.D50,
                  calcer.D80, calcer.Ts}),
        (std::vector<double>{1, 2, 3, 100, 5, 0.5, 0.75, 8}));
    EXPECT_EQ(ReadBytes(project), before);
}

TEST_F(ResultCache, ShortCRecordIsRecomputedAndRewrittenWithEightFields)
{
    WriteSection("C.1.Values=91,92,93,0,95,0.5,0.75\r\n");
    THallCalcer calcer(project, data);
    calcer.SetCalcFunction(1);
    calcer.AnalyseBroadband();

    EXPECT_NE(calcer.C35, 91.0);
    EXPECT_GT(calcer.Ts, 0.0);
    const auto fields = SplitCommaText(ValueIn(ReadBytes(project), "C.1.Values"));
    ASSERT_EQ(fields.size(), 8u);
    EXPECT_EQ(fields[0], FloatToText(calcer.C35));
    EXPECT_EQ(fields[7], FloatToText(calcer.Ts));
}

TEST_F(ResultCache, RTRecordNeedsSixFieldsAndStrictIntegers)
{
    const struct {
        const char* value;
        bool read;
        int32_t start;
        const char* message; // conversion error, or nullptr
    } cases[] = {
        {"7,90,-0.5,-10.5,0.99,1.5", true, 7, nullptr},
        {"+7,90,-0.5,-10.5,0.99,1.5,extra", true, 7, nullptr},
        {"-3,90,1,2,3,4", true, -3, nullptr},
        {"7,90,-0.5,-10.5,0.99", false, 0, nullptr},
        {"", false, 0, nullptr},
        {"7.5,90,1,2,3,4", false, 0, "'7.5' ist kein gültiger Integerwert"},
        {"1e3,90,1,2,3,4", false, 0, "'1e3' ist kein gültiger Integerwert"},
        {"+-1,90,1,2,3,4", false, 0, "'+-1' ist kein gültiger Integerwert"},
        {"7,,1,2,3,4", false, 0, "'' ist kein gültiger Integerwert"},
        {"7,99999999999,1,2,3,4", false, 0, "'99999999999' ist kein gültiger Integerwert"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        WriteSection(std::string("RT.2.5.Values=") + c.value + "\r\n");
        THallCalcer calcer(project, data);
        calcer.SetCalcFunction(2);
        const TRTRecord before{1, 2, 3, 4, 0.5, 6};
        calcer.RTRecords[kRt30Custom] = before;
        if (c.message) {
            ExpectFailure([&] { calcer.ReadRTRecord(kRt30Custom); }, c.message);
            EXPECT_EQ(calcer.RTRecords[kRt30Custom], before);
            continue;
        }
        EXPECT_EQ(calcer.ReadRTRecord(kRt30Custom), c.read);
        EXPECT_EQ(calcer.RTRecords[kRt30Custom].StartIndex, c.read ? c.start : before.StartIndex);
    }
    WriteSection("C.2.Values=1,2,3,x,5,6,7,8\r\n");
    THallCalcer calcer(project, data);
    calcer.SetCalcFunction(2);
    ExpectFailure([&] { calcer.ReadCRecord(); }, "'x' ist kein gültiger Integerwert");
    EXPECT_EQ(calcer.C35, 0.0);
}

TEST_F(ResultCache, UserCommandsWriteTheirRecordAtOnce)
{
    THallCalcer calcer(project, data);
    calcer.SetCalcFunction(1);
    calcer.SetCustomTime(100); // not analysed yet: only the limit changes
    EXPECT_EQ(calcer.CVar, 100);
    EXPECT_FALSE(std::filesystem::exists(project));

    calcer.AnalyseBroadband(); // computes and writes the C record, Cxx for 100 ms
    const TRTRecord own = calcer.RTRecords[kRtxxCustom];
    calcer.SetRTRange(kRtxxCustom, 0, 5000);
    EXPECT_EQ(ValueIn(ReadBytes(project), "RT.1.6.Values"), "0,5000," + FloatToText(calcer.RTRecords[kRtxxCustom].LevelStart) + "," +
                  FloatToText(calcer.RTRecords[kRtxxCustom].LevelEnd) + "," +
                  FloatToText(calcer.RTRecords[kRtxxCustom].Correlation) + "," + FloatToText(calcer.RTRecords[kRtxxCustom].RT));
    EXPECT_NE(calcer.RTRecords[kRtxxCustom], own);
    calcer.ResetRTKind(kRt20Custom);
    EXPECT_FALSE(ValueIn(ReadBytes(project), "RT.1.3.Values").empty());

    const std::string cached = ValueIn(ReadBytes(project), "C.1.Values");
    EXPECT_EQ(SplitCommaText(cached)[3], "100");
    calcer.SetCustomTime(0);
    EXPECT_EQ(calcer.Cxx, 0.0);
    EXPECT_EQ(ValueIn(ReadBytes(project), "C.1.Values"), cached);

    // The cached record still decides the limit at the next analysis.
    THallCalcer next(project, data);
    next.SetCalcFunction(1);
    next.AnalyseBroadband();
    EXPECT_EQ(next.CVar, 100);
    EXPECT_EQ(next.RTRecords[kRtxxCustom].EndIndex, 5000); // the own range, not a copy of RT30
    EXPECT_NEAR(next.RTRecords[kRtxxCustom].RT, calcer.RTRecords[kRtxxCustom].RT, 1e-12);

    next.SetCustomTime(50);
    EXPECT_EQ(next.Cxx, next.Clarity(50));
    EXPECT_EQ(SplitCommaText(ValueIn(ReadBytes(project), "C.1.Values"))[3], "50");
}

} // namespace
} // namespace dazo
