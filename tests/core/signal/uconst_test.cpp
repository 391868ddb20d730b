// SPDX-License-Identifier: GPL-3.0-or-later
#include "signal/uconst.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace dazo {
namespace {

using namespace std::string_literals;

TEST(FloatToText, GeneralFormatWith15SignificantDigits)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1.5, "1.5"},
        {-0.25, "-0.25"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {1e-5, "1E-5"},
        {-1.25e-7, "-1.25E-7"},
        {1e20, "1E20"},
        {2.5e21, "2.5E21"},
        {0.0, "0"},
        {-0.0, "0"},
        {7.0, "7"},
        {-10.5, "-10.5"},
        {100.0, "100"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},
        {9.9999999999999999e5, "1000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToText(c.value), c.text) << c.text;
}

TEST(FloatToText, IgnoresTheProcessLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(FloatToText(1.5), "1.5");
    EXPECT_DOUBLE_EQ(TextToFloat("1.5"), 1.5);
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(TextToFloat, ReadsTheValidLeadingPart)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"1.5", 1.5},
        {"1,5", 1.0},
        {"  -2.5e3x", -2500.0},
        {"+4", 4.0},
        {"1E-5", 1e-5},
        {"2.5E21", 2.5e21},
        {"7e", 7.0},
        {"7e+", 7.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"", 0.0},
        {"abc", 0.0},
        {"-", 0.0},
        {".", 0.0},
        {"1e999", 0.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(TextToFloat(c.text), c.value) << '"' << c.text << '"';
}

TEST(TextToFloat, ReadsBackEveryWrittenText)
{
    for (const double x : {1.5, -0.25, 1e-5, 2.5e21, 1.0 / 3.0, 123.456, -9.87654321e-12})
        EXPECT_NEAR(TextToFloat(FloatToText(x)), x, std::abs(x) * 1e-14) << x;
}

TEST(SplitKeyValue, SplitsAtTheFirstSeparatorAndTrims)
{
    const struct {
        const char* line;
        const char* key;
        const char* value;
    } cases[] = {
        {"MP1 = a,b", "MP1", "a,b"},
        {"no separator", "", ""},
        {"=value", "", "value"},
        {"a==b", "a", "=b"},
        {"\tkey\t=\t value with  blanks \r", "key", "value with  blanks"},
        {"key=", "key", ""},
    };
    for (const auto& c : cases) {
        const KeyValue kv = SplitKeyValue(c.line, '=');
        EXPECT_EQ(kv.key, c.key) << c.line;
        EXPECT_EQ(kv.value, c.value) << c.line;
    }
}

TEST(EscapeText, EscapesOnlyNulLineBreaksAndPercent)
{
    EXPECT_EQ(EscapeText("plain text; nothing to do"), "plain text; nothing to do");
    EXPECT_EQ(EscapeText("50%"), "50%%");
    EXPECT_EQ(EscapeText("a\r\nb\nc\0d"s), "a%c%nb%nc%0d");
    EXPECT_EQ(UnescapeText("%c%n"), "\r\n");
}

TEST(EscapeText, UnescapeRestoresEveryText)
{
    const std::string texts[] = {
        "", "%", "%%", "line 1\r\nline 2", "\0\0x\0"s, "100% %n%c%0 literal", "\xE4\xF6\xFC%\xDF",
    };
    for (const auto& text : texts)
        EXPECT_EQ(UnescapeText(EscapeText(text)), text);
}

TEST(UnescapeText, KeepsPairsThatAreNoEscape)
{
    EXPECT_EQ(UnescapeText("50%x and 10%"), "50%x and 10%");
    EXPECT_EQ(UnescapeText("%%0"), "%0");
    EXPECT_EQ(UnescapeText("a%0b"), "a\0b"s);
}

} // namespace
} // namespace dazo
