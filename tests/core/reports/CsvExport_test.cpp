// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/CsvExport.h"

#include "analysis/Series.h"
#include "common/DazoError.h"
#include "common/Encoding.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace dazo {
namespace {

namespace fs = std::filesystem;

class CsvExportTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("dazo_csv_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Text(const fs::path& file) const
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir;
};

// The reverse of the writer, as a spreadsheet reads it.
CsvRows ParseCsv(const std::string& text)
{
    CsvRows rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                rows.back().back() += text[++i];
            else if (c == '"')
                quoted = false;
            else
                rows.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            rows.back().back() += c;
        }
    }
    rows.pop_back(); // after the last line end
    return rows;
}

TEST_F(CsvExportTest, RowsComeBackAsWritten)
{
    const CsvRows rows = {{"t [ms]", "h(t) [V]", "Schroeder [dB]"},
                          {CsvNumber(0.04, FormatSettings::German()), CsvNumber(-1.5e-7, FormatSettings::German()), "-60"},
                          {Ansi("Grüße; \"Zitat\""), "a\r\nb", ""}};
    const fs::path file = dir / "daten.csv";
    WriteCsv(file.string(), rows);
    EXPECT_EQ(ParseCsv(Text(file)), rows);
    EXPECT_EQ(Text(file).substr(0, 36), "t [ms];h(t) [V];Schroeder [dB]\r\n0,04");
    EXPECT_FALSE(fs::exists(dir / "daten.csv.tmp"));
}

TEST_F(CsvExportTest, NumbersUseTheUsersSeparator)
{
    EXPECT_EQ(CsvNumber(1234.5, FormatSettings::German()), "1234,5");
    EXPECT_EQ(CsvNumber(1234.5, FormatSettings::English()), "1234.5");
}

TEST_F(CsvExportTest, CurveRowsPutTheSchroederCurveBesideTheShownOne)
{
    TLineSeries shown, schroeder;
    shown.Add(0.0, 0.5);
    shown.Add(0.04, -0.25);
    schroeder.Add(0.0, 0.0);
    EXPECT_EQ(CurveRows("Amplitude [Volt]", shown, schroeder, FormatSettings::German()),
              (CsvRows{{"t [ms]", "Amplitude [Volt]", "Schroeder [dB]"}, {"0", "0,5", "0"}, {"0,04", "-0,25", ""}}));
}

TEST_F(CsvExportTest, UnwritablePlaceKeepsTheOldFileAndSaysSo)
{
    const fs::path file = dir / "alt.csv";
    WriteCsv(file.string(), {{"alt"}});
    fs::create_directory(dir / ("alt.csv.tmp" + std::to_string(::getpid()))); // the temp file cannot be made
    try {
        WriteCsv(file.string(), {{"neu"}});
        FAIL();
    } catch (const DazoError& e) {
        EXPECT_EQ(std::string(e.what()), Ansi("Datei ") + file.string() + Ansi(" kann nicht erstellt werden"));
    }
    EXPECT_EQ(Text(file), "alt\r\n");
}

} // namespace
} // namespace dazo
