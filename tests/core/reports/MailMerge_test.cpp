// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/MailMerge.h"

#include "reports/TextPipeline.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

class MailMergeTest : public testing::Test {
protected:
    void SetUp() override
    {
        pipe.FileName = dir.Write("p.$$$", "2,5\tHalle {A}\\1\tZeile1%nZeile2\t\xD6l\r\n");
        pipe.Delimiter = '\t';
        pipe.DefineField("SMAbSpl", 0, 80);
        pipe.DefineField("OName", 1, 80);
        pipe.DefineField("RVNote", 2, 80);
        pipe.DefineField("Stoff", 3, 80);
        pipe.DefineField("Leer", 4, 80);
        pipe.Open();
    }

    test::TempDir dir;
    TTextPipeline pipe;
};

TEST_F(MailMergeTest, PlaceholdersMatchFieldsWithoutRegardToCase)
{
    EXPECT_EQ(MailMerge("Abstand : <SMABSPL> m, <smabspl>", pipe), "Abstand : 2,5 m, 2,5");
    EXPECT_EQ(MailMerge("<Unbekannt> a < b <OName>> <>", pipe), "<Unbekannt> a < b Halle {A}\\1> <>");
    EXPECT_EQ(MailMerge("<RVNote>", pipe), "Zeile1\nZeile2"); // memo escapes undone
    EXPECT_EQ(MailMerge("ohne Felder <", pipe), "ohne Felder <");
}

TEST_F(MailMergeTest, UnitsFollowOnlyValuesAndNumbersTakeTheirFormat)
{
    const NumberDisplaySettings point{'.', ','};
    EXPECT_EQ(MailMerge("Polster : <Leer| mm>;", pipe), "Polster : ;");
    EXPECT_EQ(MailMerge("Abstand : <SMABSPL| m>", pipe), "Abstand : 2,5 m");
    EXPECT_EQ(MailMerge("<SMAbSpl:0.00| m> <OName:0.0>", pipe, point), "2.50 m Halle {A}\\1"); // no number: as written
    EXPECT_EQ(MailMerge("<Unbekannt| mm>", pipe), "<Unbekannt| mm>");
}

TEST_F(MailMergeTest, ValuesInRtfCannotBreakTheDocument)
{
    EXPECT_TRUE(IsRtf("\r\n {\\rtf1 x}"));
    EXPECT_FALSE(IsRtf("{rtf}"));
    EXPECT_EQ(MailMerge("{\\rtf1 <OName> <RVNote> <STOFF>}", pipe),
              "{\\rtf1 Halle \\{A\\}\\\\1 Zeile1\\line Zeile2 \\'d6l}");
}

TEST_F(MailMergeTest, ClosedPipelineGivesEmptyValues)
{
    pipe.Close();
    EXPECT_EQ(MailMerge("[<OName>]", pipe), "[]");
}

} // namespace
} // namespace dazo
