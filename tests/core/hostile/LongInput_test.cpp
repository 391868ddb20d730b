// SPDX-License-Identifier: GPL-3.0-or-later
// Long lines and many fields cost time in proportion to their length: each
// reader gets a megabyte of one pattern and must be done long before a
// quadratic reader would be (seconds, even under the sanitizers).

#include "common/DazoError.h"
#include "project/CommaText.h"
#include "project/IniFile.h"
#include "project/uMessPunkt.h"
#include "reports/JsonText.h"
#include "signal/MData.h"
#include "signal/uconst.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace dazo {
namespace {

using test::TempDir;

constexpr std::size_t kBytes = 1u << 20;

std::string Repeat(std::string_view pattern, std::size_t bytes = kBytes)
{
    std::string text;
    text.reserve(bytes + pattern.size());
    while (text.size() < bytes)
        text += pattern;
    return text;
}

struct LongInput {
    const char* name;
    std::function<void(const TempDir&)> read;
};

const LongInput kInputs[] = {
    {"profile line without '='",
     [](const TempDir& dir) {
         IniFile ini(dir.Write("p.npj", "[DATA]\r\n" + Repeat("x") + "\r\nk=v\r\n"));
         EXPECT_EQ(ini.ReadString("DATA", "k"), "v");
     }},
    {"profile value of megabytes",
     [](const TempDir& dir) {
         IniFile ini(dir.Write("p.npj", "[DATA]\r\nk=" + Repeat("v") + "\r\n"));
         EXPECT_EQ(ini.ReadString("DATA", "k").size(), 2047u);
     }},
    {"profile of one-line sections",
     [](const TempDir& dir) {
         IniFile ini(dir.Write("p.npj", Repeat("[s]\r\n")));
         EXPECT_TRUE(ini.SectionExists("S"));
     }},
    {"comma text of quoted fields", [](const TempDir&) { EXPECT_GT(SplitCommaText(Repeat("\"a\"\"b\",")).size(), 1u); }},
    {"comma text of one open quote", [](const TempDir&) { EXPECT_EQ(SplitCommaText("\"" + Repeat("a,")).size(), 1u); }},
    {"point line of 170,000 files",
     [](const TempDir&) {
         TMessPunkt point;
         EXPECT_GT(ReadPointLine(point, "MP1=" + Repeat("r.tim,")).size(), 170000u);
     }},
    {"escaped text",
     [](const TempDir&) {
         const std::string escaped = Repeat("%c%n%x");
         EXPECT_EQ(UnescapeText(escaped).size(), escaped.size() / 3 * 2);
     }},
    {"QEL of 200,000 samples",
     [](const TempDir& dir) {
         const std::size_t count = 200000;
         std::string qel = "0\n0.00004\n" + std::to_string(count) + "\n";
         qel += Repeat("0.5\n", 4 * count);
         qel += "Titel\n";
         TCalcData data;
         data.ReadQel(dir.Write("r.qel", qel));
         EXPECT_EQ(data.Count, static_cast<int32_t>(count));
     }},
    {"JSON array of 500,000 numbers",
     [](const TempDir&) { EXPECT_GT(ReadJson("[" + Repeat("1,") + "1]").Items().size(), 500000u); }},
    {"JSON string of escapes",
     [](const TempDir&) {
         const std::string escapes = Repeat("\\u00e4"); // two bytes of UTF-8 each
         EXPECT_EQ(ReadJson("\"" + escapes + "\"").AsString().size(), escapes.size() / 3);
     }},
};

TEST(LongInput, ReadersTakeTimeInProportionToTheInput)
{
    for (const LongInput& input : kInputs) {
        SCOPED_TRACE(input.name);
        TempDir dir;
        const auto start = std::chrono::steady_clock::now();
        try {
            input.read(dir);
        } catch (const DazoError& e) {
            ADD_FAILURE() << e.what();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

} // namespace
} // namespace dazo
