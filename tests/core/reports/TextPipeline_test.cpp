// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/TextPipeline.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

using test::TempDir;

TEST(TextPipeline, ReadsRecordsFieldByFieldAndByName)
{
    TempDir dir;
    TTextPipeline pipe;
    pipe.FileName = dir.Write("temp.$$$", "r01.tim;31.5;1,5\r\nr01.tim;63\nr01.tim;125;2;extra\r\n");
    pipe.DeclareField("Datei", 0, TFieldType::String, 30);
    pipe.DeclareField("Hz", 1, TFieldType::String, 30);
    pipe.DeclareField("EDT", 2, TFieldType::Double, 30);
    ASSERT_EQ(pipe.FieldCount(), 3);
    EXPECT_EQ(pipe.Field(2).Type, TFieldType::Double);
    EXPECT_EQ(pipe.FieldPosition("hz"), 1);
    EXPECT_EQ(pipe.FieldPosition("CVar"), -1);

    pipe.Open();
    std::vector<std::string> seen;
    for (; !pipe.Eof(); pipe.Next())
        seen.push_back(pipe.Value("hz") + "|" + pipe.FieldText(2));
    EXPECT_EQ(seen, (std::vector<std::string>{"31.5|1,5", "63|", "125|2"}));
    EXPECT_EQ(pipe.FieldText(0), ""); // past the end
    pipe.Close();
    EXPECT_FALSE(pipe.Active());

    EXPECT_THROW(pipe.Value("Ts"), DazoError);
    EXPECT_THROW(pipe.Field(3), DazoError);
}

TEST(TextPipeline, TabRecordsAndRunTimeFields)
{
    TempDir dir;
    TTextPipeline pipe;
    pipe.FileName = dir.Write("p.$$$", "Saal;1\t\xC4nderung\r\n");
    pipe.Delimiter = '\t';
    pipe.DefineField("OName", 0, 80);
    pipe.DefineField("\xC4NDERUNG", 1, 80);
    pipe.Open();
    EXPECT_EQ(pipe.Value("oname"), "Saal;1");
    EXPECT_EQ(pipe.Value("\xE4nderung"), "\xC4nderung"); // Windows-1252 letters fold too
    pipe.ClearDefinedFields();
    EXPECT_EQ(pipe.FieldCount(), 0);
}

TEST(TextPipeline, MissingFileCannotBeOpened)
{
    TTextPipeline pipe;
    pipe.FileName = "/nonexistent/temp.$$$";
    try {
        pipe.Open();
        FAIL();
    } catch (const DazoError& e) {
        EXPECT_EQ(std::string(e.what()), Ansi("Datei /nonexistent/temp.$$$ kann nicht geöffnet werden"));
    }
    EXPECT_FALSE(pipe.Active());
    EXPECT_TRUE(pipe.Eof());
}

} // namespace
} // namespace dazo
