// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/DisplayFormat.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dazo {
namespace {

TEST(DisplayFormat, ReportFormatWithTheUsersSeparators)
{
    const auto english = NumberDisplaySettings::For(FormatSettings::English());
    const auto german = NumberDisplaySettings::For(FormatSettings::German());
    EXPECT_EQ(german.thousandsSeparator, '.');
    const struct {
        double value;
        const char* english;
        const char* german;
    } cases[] = {
        {1.5, "1.50", "1,50"},
        {1234567.891, "1,234,567.89", "1.234.567,89"},
        {-1234.5, "-1,234.50", "-1.234,50"},
        {0, "0.00", "0,00"},
        {-0.004, "0.00", "0,00"}, // rounds to zero: no minus sign
        {0.995, "0.99", "0,99"},  // 0.995 is just below in binary
        {999.999, "1,000.00", "1.000,00"},
        {-7.25, "-7.25", "-7,25"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDisplayNumber(c.value, "#,0.00;-#,0.00", english), c.english) << c.value;
        EXPECT_EQ(FormatDisplayNumber(c.value, "#,0.00;-#,0.00", german), c.german) << c.value;
    }
}

TEST(DisplayFormat, SectionsPlaceholdersAndLiterals)
{
    const NumberDisplaySettings english;
    const struct {
        double value;
        const char* format;
        const char* expected;
    } cases[] = {
        {1.5, "0.###", "1.5"},
        {0.5, "#.##", ".5"},
        {3, "000", "003"},
        {-3, "0.0", "-3.0"},              // no negative section: a minus before the positive one
        {-3, "0.0;(0.0)", "(3.0)"},
        {0, "0.0;-0.0;\"null\"", "null"},
        {12.345, "0.00 \"s\"", "12.35 s"}, // 12.345 lies above the middle in binary
        {1234, "#,##0", "1,234"},
        {2.5, "", "2.5"},                  // no format: the general float text
        {1e20, "#,0", "100,000,000,000,000,000,000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDisplayNumber(c.value, c.format, english), c.expected) << c.format << " " << c.value;
    EXPECT_EQ(FormatDisplayNumber(std::nan(""), "0.00", english), "");
}

} // namespace
} // namespace dazo
