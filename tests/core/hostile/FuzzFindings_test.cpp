// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs the fuzz harnesses (fuzz/) found to break a property, kept so the
// fault stays fixed.

#include "analysis/uHallCalcer.h"
#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/FormatSettings.h"
#include "reports/ReportTemplate.h"
#include "reports/ResultsFiles.h"
#include "signal/MData.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace dazo {
namespace {

using test::TempDir;

// Reads C record and RT record 0 of band 1; the values as text, "" when the
// records are not both there, or the message.
std::string ReadRecords(THallCalcer& calcer)
{
    try {
        if (!calcer.ReadCRecord() || !calcer.ReadRTRecord(0))
            return "";
    } catch (const DazoError& e) {
        return e.what();
    }
    const TRTRecord& r = calcer.RTRecords[0];
    std::string text = std::to_string(calcer.CVar);
    for (const double v : {calcer.C35, calcer.C50, calcer.Ts, r.LevelStart, r.LevelEnd, r.Correlation, r.RT})
        text += ' ' + FloatToText(v);
    return text;
}

TEST(FuzzFindings, CacheRecordsReadBackUnchangedAfterBeingWrittenBack)
{
    const struct {
        const char* name;
        const char* c;
        const char* rt;
        const char* read; // "" none, else the start of what is read or the message
    } cases[] = {
        // The 15-digit text of the largest doubles once rounded past the
        // double's range and read back as 0.
        {"largest doubles", "1.7976931348623157e308,-1.7976931348623157e308,3,80,4,0.5,0.6,1.797693134862316e308",
         "1,2,1.79769313486231e308,-1.7976931348623e308,0.5,1.7976931348623157E308", "80 1.79769313486231E308"},
        {"subnormal doubles", "4.9406564584124654e-324,-2.2e-308,0,0,0,0,0,1e-310", "1,2,3e-320,0,0,0", "0 4.94065645841247E-324"},
        {"out of range", "1e999,2,3,80,4,0.5,0.6,70", "1,2,-1e999,0,0,0", "80 0 2"},
        {"index not an integer", "1,2,3,x,4,0.5,0.6,70", "1,2,3,4,5,6", "'x' ist kein"},
        {"index beyond 32 bits", "1,2,3,80,4,0.5,0.6,70", "4294967296,2,3,4,5,6", "'4294967296' ist kein"},
        {"short records", "1,2,3", "1,2,3,4,5", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string project = dir.Write(
            "p.npj", std::string("[r01.tim]\r\nC.1.Values=") + c.c + "\r\nRT.1.0.Values=" + c.rt + "\r\n");
        TCalcData measurement;
        measurement.FileName = "r01.tim";
        THallCalcer calcer(project, measurement);
        calcer.SetCalcFunction(1);
        const std::string first = ReadRecords(calcer);
        EXPECT_EQ(first.rfind(c.read, 0), 0u) << first;
        if (first.empty() || first.find("ist kein") != std::string::npos)
            continue;
        calcer.WriteRTRecords(true);
        THallCalcer again(project, measurement);
        again.SetCalcFunction(1);
        EXPECT_EQ(ReadRecords(again), first);
    }
}

TEST(FuzzFindings, AveragingManyBandNamesTakesOnePass)
{
    // Each line was compared with every line merged before it: 100 000 band
    // names took minutes.
    constexpr int kLines = 100000;
    std::vector<std::string> lines;
    lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i)
        lines.push_back("x;b" + std::to_string(i % (kLines / 2)) + ";1.5");
    const auto start = std::chrono::steady_clock::now();
    AverageBandLines(lines, FormatSettings{});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLines / 2));
    EXPECT_EQ(lines.back(), "2;b49999;1.5");
}

TEST(FuzzFindings, AveragedSumBeyondTheDoubleRangeIsRefused)
{
    // The sum was taken in extended precision and narrowed to an infinite
    // double, which came back as "'INF' ist kein gültiger Gleitkommawert".
    std::vector<std::string> lines = {"a;500;1e308", "b;500;1.5e308"};
    try {
        AverageBandLines(lines, FormatSettings{});
        ADD_FAILURE() << "no error";
    } catch (const DazoError& e) {
        EXPECT_EQ(e.what(), Ansi("Gleitkommaüberlauf"));
    }
}

TEST(FuzzFindings, TemplateKeysOfAnotherElementKindAreIgnored)
{
    // A label carrying a data text's keys (or a footer the page header's) kept
    // them when read, but they were not written again: saving changed the
    // layout.
    const ReportLayout layout = ParseTemplate(
        R"({"format": "dazo-report", "version": 1, "bands": [
            {"kind": "pageFooter", "printOnFirstPage": false},
            {"kind": "detail", "elements": [
            {"kind": "label", "name": "L", "text": "Ts", "field": "Ts", "pipeline": "PipeValues", "penWidth": 3},
            {"kind": "line", "name": "S", "text": "x", "font": {"size": 30}, "alignment": "center"}]}]})");
    const auto& elements = layout.Band(BandKind::Detail).Elements;
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0].Text, "Ts");
    EXPECT_EQ(elements[0].Field, "");
    EXPECT_EQ(elements[0].Pipeline, "");
    EXPECT_EQ(elements[0].PenWidth, ReportElement{}.PenWidth);
    EXPECT_EQ(elements[1].Text, "");
    EXPECT_EQ(elements[1].Font, ReportFont{});
    EXPECT_TRUE(layout.Band(BandKind::PageFooter).PrintOnFirstPage);
    EXPECT_EQ(ParseTemplate(TemplateText(layout)), layout);
}

} // namespace
} // namespace dazo
