// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/EditGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace dazo::ui {
namespace {

// Three free columns and twenty free rows below one fixed row and column.
class EditGridTest : public testing::Test {
protected:
    EditGridTest()
    {
        for (int row = 1; row <= 20; ++row)
            for (const char* col : {"A", "B", "C"})
                grid.PutValue(col, QString::number(row), false, row);
        grid.SetFixedCols(1);
        grid.SetFixedRows(1);
        grid.resize(300, 8 * (grid.DefaultRowHeight() + 1) + 2 * grid.frameWidth());
        grid.show();
    }

    void Press(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&grid, &event);
    }

    TEditGrid grid{nullptr, FormatSettings::German()};
};

TEST_F(EditGridTest, ArrowKeysWrapToTheNeighbouringRowAndScroll)
{
    ASSERT_EQ(grid.VisibleRowCount(), 7);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Cell(1, 1), "1,00");

    Press(Qt::Key_Left); // first free cell: no wrap, nowhere to go
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);

    Press(Qt::Key_End);
    EXPECT_EQ(grid.Col(), 3);
    Press(Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 2);
    Press(Qt::Key_Left);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 1);

    // Wrapping out of the bottom of the view scrolls the target into its last row.
    grid.SelectCell(3, 7);
    ASSERT_EQ(grid.TopRow(), 1);
    Press(Qt::Key_Right);
    EXPECT_EQ(grid.Row(), 8);
    EXPECT_EQ(grid.TopRow(), 2);

    grid.SelectCell(3, 20);
    Press(Qt::Key_Right); // last cell of the grid
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 20);

    grid.SetSkipToNextRow(false);
    grid.SelectCell(3, 5);
    Press(Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 5);
}

TEST_F(EditGridTest, CtrlCCopiesTheWholeTableAsTabSeparatedLines)
{
    TEditGrid small{nullptr, FormatSettings::German()};
    small.PutValue("EDT", "125", false, 1.5);
    small.PutValue("T30", "125", false, 2);
    small.PutValue("EDT", "250", false, 0.25);
    small.SetFixedCols(1);
    small.SetFixedRows(1);
    QApplication::clipboard()->clear();
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(&small, &copy);
    EXPECT_EQ(QApplication::clipboard()->text(), small.TabSeparatedText());
    const QStringList lines = small.TabSeparatedText().split('\n');
    ASSERT_EQ(lines.size(), 4); // three rows and the end of the last
    EXPECT_EQ(lines[0], "\tEDT\tT30");
    EXPECT_EQ(lines[1], "125\t1,50\t2,00");
    EXPECT_EQ(lines[2], "250\t0,25\t");
}

TEST_F(EditGridTest, SelectingACellShowsItsColumnHint)
{
    grid.SetHints({"", "Anfang", "Mitte"});
    std::vector<std::pair<int, int>> selected;
    QObject::connect(&grid, &TEditGrid::cellSelected, [&](int col, int row) { selected.emplace_back(col, row); });

    grid.SelectCell(2, 4);
    EXPECT_EQ(grid.toolTip(), "Mitte");
    grid.SelectCell(3, 4); // no hint for column 3: the old one stays
    EXPECT_EQ(grid.toolTip(), "Mitte");
    grid.SelectCell(3, 5);
    Press(Qt::Key_Right);
    EXPECT_EQ(grid.toolTip(), "Anfang");
    EXPECT_EQ(selected, (std::vector<std::pair<int, int>>{{2, 4}, {3, 4}, {3, 5}, {1, 6}}));
}

TEST_F(EditGridTest, PaintsWhatTheHookChooses)
{
    grid.SetAlignment(TAlignment::RightJustify);
    grid.SetCell(2, 3, "8888");
    int calls = 0;
    QColor stateColorSeen;
    grid.OnGetDrawValues = [&](TEditGrid&, int col, int row, QFont&, TAlignment& alignment, QColor& bgColor,
                               QString& value) {
        ++calls;
        if (col == 2 && row == 3) {
            stateColorSeen = bgColor;
            EXPECT_EQ(alignment, TAlignment::RightJustify);
            EXPECT_EQ(value, "8888");
            bgColor = Qt::yellow;
        }
        if (col == 1 && row == 3) {
            alignment = TAlignment::LeftJustify;
            value = "||||";
        }
    };
    const QImage image = grid.viewport()->grab().toImage();
    EXPECT_GT(calls, 0);

    const QRect cell = grid.CellRect(2, 3);
    EXPECT_EQ(stateColorSeen, grid.palette().color(QPalette::Base));
    EXPECT_EQ(image.pixelColor(cell.topLeft()), stateColorSeen);              // outline
    EXPECT_EQ(image.pixelColor(cell.topLeft() + QPoint(2, 2)), QColor(Qt::yellow)); // filled

    // Text ink: right-aligned ends 2 pixels in from the right edge, the
    // hook's left alignment starts 2 pixels in from the left.
    const auto inkColumns = [&](const QRect& rect, const QColor& background) {
        int first = -1, last = -1;
        for (int x = rect.left() + 1; x < rect.right(); ++x)
            for (int y = rect.top() + 1; y < rect.bottom(); ++y)
                if (image.pixelColor(x, y) != background) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return std::pair{first, last};
    };
    const auto [rightFirst, rightLast] = inkColumns(cell, Qt::yellow);
    EXPECT_GE(rightLast, cell.right() - 4);
    EXPECT_LE(rightLast, cell.right() - 2);
    EXPECT_GT(rightFirst, cell.left() + 10);
    const QRect left = grid.CellRect(1, 3);
    const auto [leftFirst, leftLast] = inkColumns(left, grid.palette().color(QPalette::Base));
    EXPECT_GE(leftFirst, left.left() + 2);
    EXPECT_LE(leftFirst, left.left() + 4);
    EXPECT_LT(leftLast, left.left() + left.width() / 2);
}

} // namespace
} // namespace dazo::ui
