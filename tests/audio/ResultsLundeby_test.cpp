// SPDX-License-Identifier: GPL-3.0-or-later
// dazo-eval results --lundeby, run as a program on a project whose one
// measurement is a WAV file: every band decays in 1.5 s over a floor 50 dB down.

#include "evaluation/EvaluationFixtures.h"
#include "support/ProgramRun.h"
#include "support/SingleDecay.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace dazo {
namespace {

using test::RunEval;
using test::TempDir;

void WriteFloatWav(const std::string& path, const std::vector<float>& samples)
{
    SF_INFO info{};
    info.samplerate = static_cast<int>(test::kSingleDecayRate);
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size())),
              static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

// The readable table's rows by band name: the words after the name.
std::map<std::string, std::vector<std::string>> TableRows(const std::string& output)
{
    std::map<std::string, std::vector<std::string>> rows;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string band;
        words >> band;
        for (std::string word; words >> word;)
            rows[band].push_back(word);
    }
    return rows;
}

TEST(ResultsLundeby, CompensatedTableOfAWavMeasurementLeavesTheProjectCacheAlone)
{
    TempDir dir;
    WriteFloatWav(dir.File("decay.wav"), test::SingleDecayResponse());
    const std::string project = dir.Write("p.npj", "[Messungen]\r\n" + test::PointLine(1, {"decay.wav"}) + "\r\n");
    const std::string projectBefore = test::ReadBytes(project);
    const char* const bands[] = {"125", "250", "500", "1000", "2000", "4000", "8000"};

    const auto compensated = RunEval("results '" + project + "' --lundeby --all");
    ASSERT_EQ(compensated.exitCode, 0) << compensated.output;
    EXPECT_EQ(test::ReadBytes(project), projectBefore);
    EXPECT_NE(compensated.output.find("Messungen: 1\n"), std::string::npos) << compensated.output;
    EXPECT_NE(compensated.output.find("nach Lundeby"), std::string::npos) << compensated.output;
    auto rows = TableRows(compensated.output);
    for (const char* band : bands) {
        ASSERT_GE(rows[band].size(), 3u) << band << "\n" << compensated.output;
        EXPECT_NEAR(std::stod(rows[band][2]), 1.5, 0.075) << band; // RT30
        for (std::size_t column = 0; column < 3; ++column)
            EXPECT_EQ(rows[band][column].find('!'), std::string::npos) << band << "\n" << compensated.output;
    }

    // The plain evaluation fills the project's cache and marks the bent decays.
    const auto plain = RunEval("results '" + project + "'");
    ASSERT_EQ(plain.exitCode, 0) << plain.output;
    EXPECT_NE(test::ReadBytes(project).find("RT.4.4.Values"), std::string::npos);
    EXPECT_NE(plain.output.find("\n! Dynamikbereich unter ISO 3382-1"), std::string::npos) << plain.output;
    rows = TableRows(plain.output);
    for (const char* band : bands) {
        ASSERT_GE(rows[band].size(), 3u) << band << "\n" << plain.output;
        EXPECT_EQ(rows[band][2].back(), '!') << band << "\n" << plain.output;
        EXPECT_GT(std::stod(rows[band][2]), 2.0) << band;
    }

    // The raw results file carries no marks.
    const std::string projectAfterPlain = test::ReadBytes(project);
    const auto raw = RunEval("results '" + project + "' --lundeby --raw");
    ASSERT_EQ(raw.exitCode, 0) << raw.output;
    EXPECT_EQ(raw.output.find('!'), std::string::npos) << raw.output;
    EXPECT_EQ(raw.output.rfind("decay.wav;ungefiltert;", 0), 0u) << raw.output;
    EXPECT_EQ(test::ReadBytes(project), projectAfterPlain);
}

} // namespace
} // namespace dazo
