// SPDX-License-Identifier: GPL-3.0-or-later
// dazo-eval results and curves, run as a program on a small project.

#include "evaluation/EvaluationFixtures.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace dazo {
namespace {

using test::PointLine;
using test::ProgramRun;
using test::RunEval;
using test::TempDir;
using test::WriteImpulseResponse;

std::size_t CountOf(const std::string& text, char c)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

TEST(ResultsCommand, AllMeasurementsRawGivesTheAveragedFile)
{
    TempDir dir;
    WriteImpulseResponse(dir.File("r01.tim"), 8000, 0.04f, 0.25, 1);
    WriteImpulseResponse(dir.File("r 02.tim"), 8000, 0.04f, 0.3, 2);
    const std::string project =
        dir.Write("p.npj", "[Messungen]\r\n" + PointLine(1, {"r01.tim"}) + "\r\n" + PointLine(2, {"r 02.tim"}) + "\r\n");

    const ProgramRun raw = RunEval("results '" + project + "' --all --raw --decimal-comma");
    ASSERT_EQ(raw.exitCode, 0) << raw.output;
    EXPECT_EQ(CountOf(raw.output, '\n'), 10u) << raw.output;
    EXPECT_EQ(CountOf(raw.output, ';'), 130u) << raw.output;
    EXPECT_EQ(raw.output.rfind("2;ungefiltert;", 0), 0u) << raw.output;
    EXPECT_NE(raw.output.find("\n2;31.5;"), std::string::npos) << raw.output;
    EXPECT_NE(raw.output.find("\n2;8000;"), std::string::npos) << raw.output;

    // The cache is filled now; the table of the first measurement alone.
    const ProgramRun table = RunEval("results '" + dir.File("r01.tim") + "'");
    ASSERT_EQ(table.exitCode, 0) << table.output;
    EXPECT_EQ(table.output.rfind("Band [Hz]", 0), 0u) << table.output;
    EXPECT_NE(table.output.find("Ts [ms]"), std::string::npos) << table.output;
    EXPECT_EQ(table.output.find("CVar"), std::string::npos) << table.output;
    // Header and ten bands; a legend may follow when decay times are marked.
    const auto legend = table.output.find("\n! ");
    EXPECT_EQ(CountOf(table.output.substr(0, legend == std::string::npos ? legend : legend + 1), '\n'), 11u)
        << table.output;

    // Nothing left behind but the project, its cache and the measurements.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);
}

TEST(ResultsCommand, Din18041AssessmentFromTheProjectDataOrTheCommandLine)
{
    TempDir dir;
    WriteImpulseResponse(dir.File("r01.tim"), 8000, 0.04f, 0.25, 1);
    const std::string project = dir.Write("p.npj", "[Messungen]\r\n" + PointLine(1, {"r01.tim"})
                                                       + "\r\n[DATA]\r\ncONutzungsart=A3 Unterricht\r\neRVQBM=200,00\r\n");
    // The class of the project data; the flag before the project takes no word from it.
    const ProgramRun fromData = RunEval("results --all --din18041 '" + project + "'");
    ASSERT_EQ(fromData.exitCode, 0) << fromData.output;
    EXPECT_NE(fromData.output.find("Nutzungsart A3 Unterricht/Kommunikation"), std::string::npos) << fromData.output;
    EXPECT_NE(fromData.output.find("Raumvolumen aus den Projektdaten: 200.00 m³"), std::string::npos) << fromData.output;
    EXPECT_NE(fromData.output.find("T_soll = 0.57 s (30 m³ <= V < 5000 m³)"), std::string::npos) << fromData.output;
    EXPECT_NE(fromData.output.find("\n500 "), std::string::npos) << fromData.output;

    // A class given wins; outside its range there is no T_soll and no verdict.
    const ProgramRun given = RunEval("results '" + project + "' --all --raw --din18041 A5");
    ASSERT_EQ(given.exitCode, 0) << given.output;
    EXPECT_NE(given.output.find("DIN18041;A5 Sport;200.00;0.73\n"), std::string::npos) << given.output;
    const std::string large = dir.Write("o.npj", "[Messungen]\r\n" + PointLine(1, {"r01.tim"})
                                                     + "\r\n[DATA]\r\neRVQBM=600\r\n");
    const ProgramRun outside = RunEval("results '" + large + "' --din18041 A4");
    ASSERT_EQ(outside.exitCode, 0) << outside.output;
    EXPECT_NE(outside.output.find("V = 600 m³ liegt außerhalb des Gültigkeitsbereichs 30 m³ <= V < 500 m³"),
              std::string::npos)
        << outside.output;
    EXPECT_EQ(outside.output.find("eingehalten"), std::string::npos) << outside.output;

    const std::string bare = dir.Write("q.npj", "[Messungen]\r\n" + PointLine(1, {"r01.tim"}) + "\r\n");
    const ProgramRun missing = RunEval("results '" + bare + "' --din18041");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("Nutzungsart nach DIN 18041 fehlt"), std::string::npos) << missing.output;
}

TEST(ResultsCommand, RefusedBandAndBadArgumentsExitWithTheirMessage)
{
    TempDir dir;
    WriteImpulseResponse(dir.File("r01.tim"), 2000, 0.1f);
    struct Case { std::string arguments; std::string message; };
    const Case cases[] = {
        {"curves '" + dir.File("r01.tim") + "' --band 10", "Filterung bei dieser Abstastrate nicht möglich"},
        {"curves '" + dir.File("r01.tim") + "' --band 11", "ungültiges Band: 11"},
        {"results '" + dir.File("missing.npj") + "'", "Das Projekt enthält keine Messung"},
        {"results '" + dir.File("r01.tim") + "' --bogus", "unbekannte Option --bogus"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = RunEval(c.arguments);
        EXPECT_EQ(run.exitCode, 1) << c.arguments;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << ": " << run.output;
    }
}

} // namespace
} // namespace dazo
