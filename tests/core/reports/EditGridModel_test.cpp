// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/EditGridModel.h"

#include "common/Encoding.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dazo {
namespace {

class EditGridModelTest : public testing::TestWithParam<FormatSettings> {
protected:
    // The number as the user's format writes it.
    std::string Local(std::string text) const
    {
        std::replace(text.begin(), text.end(), '.', GetParam().decimalSeparator);
        return text;
    }
    void Put(const std::string& col, const std::string& row, double value, bool createOnly = false)
    {
        grid.PutValue(col, row, createOnly, value, GetParam());
    }

    EditGridModel grid;
};

TEST_P(EditGridModelTest, PutValueAppendsTitlesAndWritesTwoDecimals)
{
    Put("EDT", "125 Hz", 1.234);
    ASSERT_EQ(grid.ColCount(), 2);
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cell(0, 0), "");
    EXPECT_EQ(grid.Cell(1, 0), "EDT");
    EXPECT_EQ(grid.Cell(0, 1), "125 Hz");
    EXPECT_EQ(grid.Cell(1, 1), Local("1.23"));

    // Same titles in another letter case: same cell, nothing appended.
    Put("edt", "125 HZ", -0.5);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cell(1, 1), Local("-0.50"));

    // Create-only on an existing cell changes nothing.
    Put("EDT", "125 Hz", 9.0, true);
    EXPECT_EQ(grid.Cell(1, 1), Local("-0.50"));
    EXPECT_EQ(grid.ColCount(), 2);
}

TEST_P(EditGridModelTest, FormatsWithoutLocaleRounding)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{0.0, "0.00"}, {2.0, "2.00"}, {1.005, "1.00"}, {1.996, "2.00"}, {-12.345678, "-12.35"},
                 {1234567.891, "1234567.89"}, {0.004, "0.00"}};
    for (const auto& c : cases)
        EXPECT_EQ(TwoDecimals(c.value, GetParam()), Local(c.text)) << c.value;
}

TEST_P(EditGridModelTest, EmptyTitlesAddressOneBlankColumnAndRow)
{
    Put("", "", 1.0);
    Put("", "", 2.0);
    ASSERT_EQ(grid.ColCount(), 2);
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cell(1, 0), " ");
    EXPECT_EQ(grid.Cell(0, 1), " ");
    EXPECT_EQ(grid.Cell(1, 1), Local("2.00"));
}

TEST_P(EditGridModelTest, CreateOnlyBuildsTheFrameInCallOrder)
{
    const std::vector<std::string> cols = {"EDT", "RT20", "RT30"};
    const std::vector<std::string> rows = {"ungefiltert Hz", "31.5 Hz", "63 Hz"};
    for (const auto& row : rows)
        for (const auto& col : cols)
            Put(col, row, 0.0, true);
    ASSERT_EQ(grid.ColCount(), 4);
    ASSERT_EQ(grid.RowCount(), 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(grid.Cell(i + 1, 0), cols[static_cast<std::size_t>(i)]);
        EXPECT_EQ(grid.Cell(0, i + 1), rows[static_cast<std::size_t>(i)]);
        for (int r = 1; r < 4; ++r)
            EXPECT_EQ(grid.Cell(i + 1, r), "");
    }
    Put("RT20", "", 1.5);
    EXPECT_EQ(grid.Cell(2, 4), Local("1.50"));
}

INSTANTIATE_TEST_SUITE_P(Separators, EditGridModelTest,
                         testing::Values(FormatSettings::English(), FormatSettings::German()),
                         [](const auto& info) { return info.param.decimalSeparator == '.' ? "Point" : "Comma"; });

TEST(EditGridModel, TitlesIgnoreCaseOfAccentedLetters)
{
    EditGridModel grid;
    grid.PutValue(Ansi("ÄUSSERE"), Ansi("Öl"), false, 1, FormatSettings::English());
    grid.PutValue(Ansi("äussere"), Ansi("öL"), false, 2, FormatSettings::English());
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cell(1, 1), "2.00");
}

TEST(EditGridModel, CountsHaveAMinimumAndFixedOnesStayBelowThem)
{
    EditGridModel grid;
    grid.SetColCount(5);
    grid.SetRowCount(4);
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    grid.SetCell(3, 2, "x");
    grid.SetColCount(0);
    grid.SetRowCount(0);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.FixedRows(), 0);
    grid.SetFixedCols(3);
    EXPECT_EQ(grid.FixedCols(), 0);
    // Grown again, the cells are empty.
    grid.SetColCount(5);
    grid.SetRowCount(4);
    EXPECT_EQ(grid.Cell(3, 2), "");
    EXPECT_EQ(grid.Cell(7, 9), "");
}

TEST(EditGridModel, HeaderGoesIntoRowZeroAsFarAsThereAreColumns)
{
    EditGridModel grid;
    grid.SetColCount(2);
    grid.SetRowCount(3);
    grid.SetHeader({"", "EDT", "RT20"});
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.Cell(1, 0), "EDT");

    grid.SetFixedRows(1);
    grid.SetCell(1, 2, "1,00");
    grid.SetCell(1, 0, "other");
    grid.ClearCells();
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.Cell(1, 0), "EDT");
    EXPECT_EQ(grid.Cell(1, 1), "");
}

TEST(EditGridModel, ArrowKeysWrapAtTheEndsOfARow)
{
    EditGridModel grid;
    grid.SetColCount(4);
    grid.SetRowCount(20);
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    const struct {
        TArrowKey key;
        int col, row, topRow, visibleRows;
        std::optional<TGridMove> expected;
    } cases[] = {
        {TArrowKey::Right, 3, 5, 1, 10, TGridMove{1, 6, 1}},
        {TArrowKey::Right, 2, 5, 1, 10, std::nullopt},   // not the last column
        {TArrowKey::Right, 3, 19, 10, 10, std::nullopt}, // last cell of the grid
        {TArrowKey::Left, 1, 5, 1, 10, TGridMove{3, 4, 1}},
        {TArrowKey::Left, 2, 5, 1, 10, std::nullopt},
        {TArrowKey::Left, 1, 1, 1, 10, std::nullopt},    // first free cell
        // Wrapping below the view scrolls the target to its bottom row.
        {TArrowKey::Right, 3, 10, 1, 10, TGridMove{1, 11, 2}},
        {TArrowKey::Right, 3, 9, 1, 10, TGridMove{1, 10, 1}},
        // Wrapping above the view shows one more row, but no fixed row.
        {TArrowKey::Left, 1, 8, 8, 5, TGridMove{3, 7, 6}},
        {TArrowKey::Left, 1, 2, 2, 5, TGridMove{3, 1, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(grid.WrapAround(c.key, c.col, c.row, c.topRow, c.visibleRows), c.expected)
            << c.col << "," << c.row << " top " << c.topRow;

    grid.SkipToNextRow = false;
    EXPECT_EQ(grid.WrapAround(TArrowKey::Right, 3, 5, 1, 10), std::nullopt);
}

TEST(EditGridModel, ColumnHintOnlyForColumnsWithAnEntry)
{
    EditGridModel grid;
    grid.SetHints({"Band", "Early Decay Time"});
    EXPECT_EQ(grid.ColumnHint(1), "Early Decay Time");
    EXPECT_EQ(grid.ColumnHint(2), std::nullopt);
}

TEST(EditGridModel, TextStartsTwoPixelsInOrCentred)
{
    EXPECT_EQ(CellTextLeft(TAlignment::LeftJustify, 10, 74, 30), 12);
    EXPECT_EQ(CellTextLeft(TAlignment::RightJustify, 10, 74, 30), 42);
    EXPECT_EQ(CellTextLeft(TAlignment::Center, 10, 75, 31), 10 + 32 - 15);
}

} // namespace
} // namespace dazo
