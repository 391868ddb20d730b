// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/JsonText.h"

#include "common/DazoError.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

TEST(JsonText, WrittenTextReadsBackTheSameValues)
{
    JsonValue root = JsonValue::Object();
    root.Set("text", JsonValue::String("Gr\xC3\xB6\xC3\x9F" "e \"a\\b\"\n\t\x01"));
    root.Set("numbers", JsonValue::Array()).Add(JsonValue::Number(0.1));
    root.Set("empty", JsonValue::Object());
    root.Set("flag", JsonValue::Boolean(false));
    root.Set("nothing", JsonValue());
    JsonValue& numbers = *const_cast<JsonValue*>(root.Find("numbers"));
    numbers.Add(JsonValue::Number(-1234567.125));
    numbers.Add(JsonValue::Number(1e-300));

    const JsonValue read = ReadJson(WriteJson(root));
    EXPECT_EQ(read.Find("text")->AsString(), root.Find("text")->AsString());
    ASSERT_EQ(read.Find("numbers")->Items().size(), 3u);
    EXPECT_EQ(read.Find("numbers")->Items()[0].AsNumber(), 0.1);
    EXPECT_EQ(read.Find("numbers")->Items()[1].AsNumber(), -1234567.125);
    EXPECT_EQ(read.Find("numbers")->Items()[2].AsNumber(), 1e-300);
    EXPECT_TRUE(read.Find("empty")->Members().empty());
    EXPECT_FALSE(read.Find("flag")->AsBool());
    EXPECT_TRUE(read.Find("nothing")->IsNull());
    EXPECT_EQ(read.Find("missing"), nullptr);
    EXPECT_THROW(read.Find("flag")->AsString(), DazoError);
}

TEST(JsonText, EscapesBecomeUtf8)
{
    EXPECT_EQ(ReadJson(R"("\u00e4\u20ac\ud83d\ude00\/")").AsString(), "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80/");
    EXPECT_EQ(ReadJson("\xEF\xBB\xBF [ 1 , 2 ]\r\n").Items().size(), 2u); // byte-order mark and blanks
}

TEST(JsonText, DamagedTextThrowsNamingTheLine)
{
    const char* damaged[] = {"", "{", "{\"a\" 1}", "{\"a\":1,}", "[1,]", "[1 2]", "01", "1.", "-", "1e", "+1",
                             "1e999", "tru", "\"open", "\"tab\there\"", "\"\\x\"", "\"\\ud800\"", "\"\\udc00\"",
                             "\"\\u12\"", "{} {}", "{1:2}", "nul"};
    for (const char* text : damaged)
        EXPECT_THROW(ReadJson(text), DazoError) << text;
    try {
        ReadJson("{\n\"a\": 1,\n\"b\": ?\n}");
        FAIL();
    } catch (const DazoError& e) {
        EXPECT_STREQ(e.what(), "ung\xFCltiger JSON-Text in Zeile 3");
    }
}

TEST(JsonText, NestingIsBounded)
{
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_THROW(ReadJson(deep), DazoError); // no stack overflow
    const std::string allowed = std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']');
    EXPECT_NO_THROW(ReadJson(allowed));
}

} // namespace
} // namespace dazo
