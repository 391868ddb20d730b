// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ResultsFiles.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "reports/LineFiles.h"
#include "reports/TextPipeline.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace dazo {
namespace {

using test::ReadBytes;
using test::TempDir;
using Lines = std::vector<std::string>;

constexpr FormatSettings kPoint = FormatSettings::English();
constexpr FormatSettings kComma = FormatSettings::German();

// A cached band: RT records of all seven kinds with RT = edt + kind / 100, and
// a full C record.
std::string CachedBand(int band, double edt, bool withC = true)
{
    std::string lines;
    for (int kind = 0; kind < 7; ++kind)
        lines += "RT." + std::to_string(band) + "." + std::to_string(kind) + ".Values=0,10,-0.5,-10.5,0.99,"
               + std::to_string(edt + kind / 100.0).substr(0, 4) + "\r\n";
    if (withC)
        lines += "C." + std::to_string(band) + ".Values=1.5,2.5,3.5,100,4.5,0.55,0.65,45.5\r\n";
    return lines;
}

std::string CachedSection(const std::string& name, double edt = 1.0)
{
    std::string section = "[" + name + "]\r\n";
    for (int band = 0; band <= 10; ++band)
        section += CachedBand(band, edt);
    return section;
}

std::vector<std::string> Fields(const std::string& line, char delimiter = ';')
{
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == delimiter)
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DazoError& e) {
        return e.what();
    }
    return "(kein Fehler)";
}

TEST(GeneralFloat, TextUsesTheSeparatorAndReadingIsStrict)
{
    EXPECT_EQ(GeneralFloatText(1.5, kComma), "1,5");
    EXPECT_EQ(GeneralFloatText(-0.25, kPoint), "-0.25");
    EXPECT_EQ(GeneralFloatText(1e-5, kComma), "1E-5");
    EXPECT_EQ(GeneralFloatText(2.0, kComma), "2");

    struct Case { const char* text; FormatSettings format; double value; };
    for (const Case& c : {Case{" 1,5 ", kComma, 1.5}, Case{"1.5", kPoint, 1.5}, Case{"-2", kComma, -2},
                          Case{"+3,25E-2", kComma, 0.0325}, Case{"1E-5", kPoint, 1e-5}})
        EXPECT_DOUBLE_EQ(GeneralFloatValue(c.text, c.format), c.value) << c.text;
    for (const Case& c : {Case{"1.5", kComma, 0}, Case{"1,5", kPoint, 0}, Case{"", kPoint, 0},
                          Case{"abc", kPoint, 0}, Case{"1E", kPoint, 0}, Case{"1e999", kPoint, 0},
                          Case{"inf", kPoint, 0}, Case{"1 2", kPoint, 0}})
        EXPECT_EQ(ErrorOf([&] { GeneralFloatValue(c.text, c.format); }),
                  Ansi("'") + c.text + Ansi("' ist kein gültiger Gleitkommawert")) << c.text;
}

class ResultsFilesTest : public ::testing::Test {
protected:
    std::string Project(const std::string& content) { return dir_.Write("p.npj", content); }
    TempDir dir_;
};

TEST_F(ResultsFilesTest, SingleMeasurementGivesTenBandLinesOfFourteenFields)
{
    const std::string project = Project(CachedSection("r 01.tim"));
    for (const FormatSettings format : {kPoint, kComma}) {
        Lines lines = {"kept"};
        AppendBandLines(project, "/somewhere/r 01.tim", lines, format);
        ASSERT_EQ(lines.size(), 11u);
        EXPECT_EQ(lines[0], "kept");
        for (const auto& line : Lines(lines.begin() + 1, lines.end()))
            EXPECT_EQ(Fields(line).size(), 14u) << line;
        EXPECT_EQ(lines[4].rfind("r 01.tim;125;", 0), 0u) << lines[4];
        const char s = format.decimalSeparator;
        // EDT, RT20, RT30, RTxx are the RT of kinds 0, 3, 5, 6; the band name keeps its point.
        EXPECT_EQ(lines[2], std::string("r 01.tim;31.5;1") + s + "00;1" + s + "03;1" + s + "05;1" + s + "06;1" + s
                                + "5;2" + s + "5;3" + s + "5;100;4" + s + "5;0" + s + "55;0" + s + "65;45" + s + "5");
        EXPECT_EQ(Fields(lines[1])[1], "ungefiltert");
        EXPECT_EQ(Fields(lines[10])[1], "8000");
    }
}

TEST_F(ResultsFilesTest, MissingCRecordGivesSevenFieldsThatCannotBeAveraged)
{
    std::string section = "[r01.tim]\r\n";
    for (int band = 1; band <= 10; ++band)
        section += CachedBand(band, 1.0, band != 5);
    Lines lines;
    AppendBandLines(Project(section), "r01.tim", lines, kPoint);
    const auto fields = Fields(lines[4]);
    ASSERT_EQ(fields.size(), 7u);
    EXPECT_EQ(fields[6], "");
    EXPECT_EQ(ErrorOf([&] { AverageBandLines(lines, kPoint); }), Ansi("'' ist kein gültiger Gleitkommawert"));
}

TEST_F(ResultsFilesTest, IncompleteRTRecordFailsTheWholeCall)
{
    const std::string full = CachedSection("r01.tim");
    struct Case { const char* what; std::string content; };
    const Case cases[] = {
        {"absent", [&] { std::string s = full; const auto at = s.find("RT.7.3.Values"); return s.erase(at, s.find('\n', at) - at + 1); }()},
        {"five fields", [&] { std::string s = full; const auto at = s.find("RT.7.3.Values="); s.replace(at, s.find('\r', at) - at, "RT.7.3.Values=0,10,-0.5,-10.5,0.99"); return s; }()},
    };
    for (const Case& c : cases) {
        Lines lines = {"kept"};
        EXPECT_EQ(ErrorOf([&] { AppendBandLines(Project(c.content), "r01.tim", lines, kPoint); }),
                  "Fehler in Dateiaufbau") << c.what;
        EXPECT_EQ(lines, Lines{"kept"}) << c.what;
    }
}

TEST_F(ResultsFilesTest, AveragingMergesByBandNameAndDividesByTheCount)
{
    const std::string project = Project(CachedSection("a b.tim", 1.0) + CachedSection("r02.tim", 2.0));
    for (const FormatSettings format : {kPoint, kComma}) {
        Lines lines;
        AppendBandLines(project, "a b.tim", lines, format);
        AppendBandLines(project, "r02.tim", lines, format);
        AverageBandLines(lines, format);
        ASSERT_EQ(lines.size(), 10u);
        const auto band500 = Fields(lines[5]);
        ASSERT_EQ(band500.size(), 14u);
        EXPECT_EQ(band500[0], "2");
        EXPECT_EQ(band500[1], "500");
        EXPECT_EQ(band500[2], format.decimalSeparator == ',' ? "1,5" : "1.5");
        EXPECT_EQ(band500[9], "100"); // CVar is averaged like the rest
        EXPECT_EQ(Fields(lines[1])[1], "31.5");
    }
}

TEST(AverageBandLines, SingleLinesAndFirstAppearanceOrder)
{
    Lines lines = {"x;63;0.50;1", "y;31.5;2;4", "z;63;1.5;2", "w;63;1;3"};
    AverageBandLines(lines, kPoint);
    EXPECT_EQ(lines, (Lines{"3;63;1;2", "1;31.5;2;4"}));

    Lines none;
    AverageBandLines(none, kPoint);
    EXPECT_TRUE(none.empty());
}

TEST(AverageBandLines, BadInputEndsWithTheConversionOrIndexError)
{
    struct Case { Lines lines; const char* message; };
    const Case cases[] = {
        {{"a;63;1;2", "b;63;1"}, "Listenindex überschreitet das Maximum (3)"},
        {{"a;63;1;x"}, "'x' ist kein gültiger Gleitkommawert"},
        {{"a;63;1,5"}, "'1,5' ist kein gültiger Gleitkommawert"},
        {{"a;63;1", ""}, "Listenindex überschreitet das Maximum (1)"},
    };
    for (const Case& c : cases) {
        Lines lines = c.lines;
        EXPECT_EQ(ErrorOf([&] { AverageBandLines(lines, kPoint); }), Ansi(c.message)) << c.message;
    }
}

TEST_F(ResultsFilesTest, PointsFileHasOneTabLinePerPoint)
{
    const std::string project = Project(
        "[Messungen]\r\n"
        "MP1=\"Messpunkt 1\",\"Mitte\",\"vorn\",1.5,2,\"B\xFChne\",1.25,0,\"a\tb%nc\",\"x\",\"y\",\"a b.tim\",\"r02.tim\",\r\n"
        "MP2=\"Messpunkt 2\",,,0,0,,0,0,,,,\r\n");
    const std::string target = dir_.File("temp1.$$$");
    WritePointsFile(project, target, kComma);
    EXPECT_EQ(ReadBytes(target),
              // The remark's line break stays escaped; the files are listed for reading.
              "MP1\tMesspunkt 1\tMitte\tvorn\t1,5\t2\tB\xFChne\t1,25\t0\ta b%nc\tx\ty\t2\ta b.tim, r02.tim\r\n"
              "MP2\tMesspunkt 2\t\t\t0\t0\t\t0\t0\t\t\t\t0\t\r\n");
}

TEST_F(ResultsFilesTest, DataSectionBecomesOneTabRecordWithOneFieldPerEntry)
{
    const std::string ini = Project("[DATA]\r\neOName=Saal 1\r\nmBemerkung=erste%nzweite\tZeile\r\ncONutzung=Konzert\r\n");
    TTextPipeline pipeline;
    pipeline.DeclareField("Old", 0, TFieldType::String, 80);
    pipeline.DefineField("Stale", 0, 80);
    BindDataSection(ini, pipeline);

    EXPECT_EQ(ReadBytes(dir_.File("p.$$$")), "Saal 1\terste%nzweite Zeile\tKonzert\r\n");
    EXPECT_EQ(pipeline.FileName, dir_.File("p.$$$"));
    EXPECT_EQ(pipeline.Delimiter, '\t');
    ASSERT_EQ(pipeline.FieldCount(), 4); // the declared field and the three entries
    EXPECT_EQ(pipeline.Field(1).Name, "OName");
    EXPECT_EQ(pipeline.Field(3).Name, "ONutzung");
    EXPECT_EQ(pipeline.Field(3).Length, 80);
    EXPECT_EQ(pipeline.FieldPosition("stale"), -1);

    // Bound again to other data: a lookup by name gives the current value.
    Project("[DATA]\r\neONutzung=Theater\r\n");
    BindDataSection(ini, pipeline);
    pipeline.Open();
    EXPECT_EQ(pipeline.Value("onutzung"), "Theater");
}

TEST_F(ResultsFilesTest, EmptyOrMissingDataSection)
{
    TTextPipeline pipeline;
    BindDataSection(Project("[Messungen]\r\nMP1=x\r\n"), pipeline);
    EXPECT_EQ(ReadBytes(dir_.File("p.$$$")), "");
    EXPECT_EQ(pipeline.FieldCount(), 0);

    EXPECT_EQ(ErrorOf([&] { BindDataSection(dir_.File("none.dat"), pipeline); }), "Datei nicht vorhanden");
}

TEST(LineFiles, WritesCrLfAndReadsEitherLineEnd)
{
    TempDir dir;
    const std::string file = dir.File("temp.$$$");
    WriteLines(file, {"a;\xE4", "", "b"});
    EXPECT_EQ(ReadBytes(file), "a;\xE4\r\n\r\nb\r\n");
    EXPECT_EQ(ReadLines(file), (Lines{"a;\xE4", "", "b"}));
    WriteLines(file, {});
    EXPECT_EQ(ReadBytes(file), "");
    EXPECT_TRUE(ReadLines(file).empty());
    EXPECT_EQ(ReadLines(dir.Write("lf.txt", "x\ny\r\nz")), (Lines{"x", "y", "z"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2); // no temp file left

    const std::string missing = dir.File("missing.txt");
    EXPECT_EQ(ErrorOf([&] { ReadLines(missing); }), Ansi("Datei " + missing + " kann nicht geöffnet werden"));
    EXPECT_EQ(ErrorOf([&] { WriteLines(dir.File("no/such.txt"), {"x"}); }),
              Ansi("Datei " + dir.File("no/such.txt") + " kann nicht erstellt werden"));
}

} // namespace
} // namespace dazo
