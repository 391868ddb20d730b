// SPDX-License-Identifier: GPL-3.0-or-later
// dazo-eval results --lundeby, run as a program on a project whose one
// measurement is a WAV file: every band decays in 1 s over a floor 50 dB down
// (3 s at 24 kHz keep the runs quick). The accuracy of the compensation on
// the long record is the core tests' matter; here the coarse figures show
// which evaluation ran.

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

constexpr int kRate = 24000;
constexpr double kDecaySeconds = 1.0;

void WriteFloatWav(const std::string& path, const std::vector<float>& samples)
{
    SF_INFO info{};
    info.samplerate = kRate;
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
    WriteFloatWav(dir.File("decay.wav"), test::SingleDecay(kRate, 3.0, kDecaySeconds));
    const std::string project = dir.Write("p.npj", "[Messungen]\r\n" + test::PointLine(1, {"decay.wav"}) + "\r\n");
    const char* const bands[] = {"125", "250", "500", "1000", "2000", "4000", "8000"};

    // The plain evaluation fills the project's cache and marks the bent decays.
    const auto plain = RunEval("results '" + project + "'");
    ASSERT_EQ(plain.exitCode, 0) << plain.output;
    EXPECT_NE(plain.output.find("\n! Dynamikbereich kleiner als nach ISO 3382-1"), std::string::npos) << plain.output;
    auto rows = TableRows(plain.output);
    for (const char* band : bands) {
        ASSERT_GE(rows[band].size(), 3u) << band << "\n" << plain.output;
        EXPECT_EQ(rows[band][2].back(), '!') << band << "\n" << plain.output;
        EXPECT_GT(std::stod(rows[band][2]), 1.25 * kDecaySeconds) << band; // RT30
    }
    const std::string projectAfterPlain = test::ReadBytes(project);
    EXPECT_NE(projectAfterPlain.find("RT.4.4.Values"), std::string::npos);

    // The compensated evaluation neither reads nor writes that cache.
    const auto compensated = RunEval("results '" + project + "' --lundeby --all");
    ASSERT_EQ(compensated.exitCode, 0) << compensated.output;
    EXPECT_EQ(test::ReadBytes(project), projectAfterPlain);
    EXPECT_NE(compensated.output.find("Messungen: 1\n"), std::string::npos) << compensated.output;
    EXPECT_NE(compensated.output.find("Grundrauschen (Lundeby)"), std::string::npos) << compensated.output;
    rows = TableRows(compensated.output);
    for (const char* band : bands) {
        ASSERT_GE(rows[band].size(), 3u) << band << "\n" << compensated.output;
        EXPECT_NEAR(std::stod(rows[band][2]), kDecaySeconds, 0.1 * kDecaySeconds) << band;
        for (std::size_t column = 0; column < 3; ++column)
            EXPECT_EQ(rows[band][column].find('!'), std::string::npos) << band << "\n" << compensated.output;
    }

    // The raw results file, read from the plain cache, carries no marks.
    const auto raw = RunEval("results '" + project + "' --raw");
    ASSERT_EQ(raw.exitCode, 0) << raw.output;
    EXPECT_EQ(raw.output.find('!'), std::string::npos) << raw.output;
    EXPECT_EQ(raw.output.rfind("decay.wav;ungefiltert;", 0), 0u) << raw.output;
}

} // namespace
} // namespace dazo
