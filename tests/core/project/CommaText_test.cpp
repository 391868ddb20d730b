// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/CommaText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dazo {
namespace {

using namespace std::string_literals;
using Fields = std::vector<std::string>;

TEST(SplitCommaText, FollowsTheFieldRules)
{
    const struct {
        std::string text;
        Fields fields;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"a", {"a"}},
        {"7,90,-0.5,-10.5,0.99,1.5", {"7", "90", "-0.5", "-10.5", "0.99", "1.5"}},
        {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}},
        {",", {"", ""}},
        {"a,", {"a", ""}},
        {"a, ", {"a"}},
        {"  a ,  b  ", {"a", "b"}},
        {"Messpunkt 1", {"Messpunkt", "1"}},
        {"\"Messpunkt 1\"", {"Messpunkt 1"}},
        {"\"a\"\"b\",c", {"a\"b", "c"}},
        {"\"\",\"\"", {"", ""}},
        {"\"a\"b", {"a", "b"}},
        {"\"a\" \"b\"", {"a", "b"}},
        {"\"a, b\",", {"a, b", ""}},
        {"\"unterminated, rest", {"unterminated, rest"}},
        {"a\tb\x01" "c", {"a", "b", "c"}},
        {"\"Messpunkt 1\",,,0,0,,0,0,,,,",
         {"Messpunkt 1", "", "", "0", "0", "", "0", "0", "", "", "", ""}},
        {"a,b\0,c"s, {"a", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCommaText(c.text), c.fields) << c.text;
}

TEST(QuoteField, IsReadBackAsOneField)
{
    EXPECT_EQ(QuoteField("Messpunkt 1"), "\"Messpunkt 1\"");
    EXPECT_EQ(QuoteField(""), "\"\"");
    EXPECT_EQ(QuoteField("ein \"Zitat\""), "\"ein \"\"Zitat\"\"\"");
    for (const std::string text : {"", "\"", "\"\"", "a, b", " lead and trail ", "x\",\"y"})
        EXPECT_EQ(SplitCommaText(QuoteField(text) + "," + QuoteField("next")), (Fields{text, "next"}))
            << text;
}

} // namespace
} // namespace dazo
