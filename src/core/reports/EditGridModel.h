// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The cells of the evaluation tables: a rectangle of texts whose leading
// columns and rows can be fixed title cells, filled by row and column titles
// instead of by index. Also the decisions of the grid window that need no
// window: where the left and right arrow keys wrap to, which hint a column
// shows and where a cell's text starts.

#include "common/FormatSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace dazo {

enum class TAlignment { LeftJustify, RightJustify, Center };

enum class TArrowKey { Left, Right };

// The current cell and the top visible row after a move.
struct TGridMove {
    int Col = 0;
    int Row = 0;
    int TopRow = 0;
    bool operator==(const TGridMove&) const = default;
};

class EditGridModel {
public:
    EditGridModel();

    int ColCount() const { return static_cast<int>(cells_.size()); }
    int RowCount() const { return rowCount_; }
    // At least one column and one row; the fixed ones shrink to leave one free.
    void SetColCount(int count);
    void SetRowCount(int count);

    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    // Kept below the column (row) count, so that one cell stays selectable.
    void SetFixedCols(int count);
    void SetFixedRows(int count);

    // Empty for a cell outside the grid; writing outside it does nothing.
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, std::string text);

    // Column titles, entry i in cell (i, 0).
    const std::vector<std::string>& Header() const { return header_; }
    void SetHeader(std::vector<std::string> header);
    void ApplyHeader();

    const std::vector<std::string>& Hints() const { return hints_; }
    void SetHints(std::vector<std::string> hints) { hints_ = std::move(hints); }

    bool SkipToNextRow = true;

    // Every cell empty, one free row below the fixed ones, header applied.
    void ClearCells();

    // Finds the column titled colTitle (row 0) and the row titled rowTitle
    // (column 0), letter case ignored, appending either when missing; unless
    // createOnly, writes the value there as "%.2f" with the user's separator.
    void PutValue(std::string colTitle, std::string rowTitle, bool createOnly, double value,
                  const FormatSettings& format);

    // Where the left or right arrow key in (col, row) wraps to, with the top
    // row that keeps the target in view; none when the key is not a wrap.
    std::optional<TGridMove> WrapAround(TArrowKey key, int col, int row, int topRow, int visibleRows) const;

    // The hint of a column; none when the column has no entry in Hints (the
    // hint shown stays as it was).
    std::optional<std::string> ColumnHint(int col) const;

private:
    int AppendColumn(std::string title);
    int AppendRow(std::string title);

    std::vector<std::vector<std::string>> cells_; // [col][row]
    int rowCount_ = 1;
    int fixedCols_ = 0;
    int fixedRows_ = 0;
    std::vector<std::string> header_;
    std::vector<std::string> hints_;
};

// "%.2f" of the value with the given decimal separator, whatever the locale.
std::string TwoDecimals(double value, const FormatSettings& format);

// The x coordinate where a text of textWidth starts in the cell from left to
// right: 2 pixels in from the side it is aligned to, or centred.
int CellTextLeft(TAlignment alignment, int left, int right, int textWidth);

} // namespace dazo
