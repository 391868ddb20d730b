// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/EditGridModel.h"

#include <algorithm>
#include <charconv>

namespace dazo {
namespace {

const std::string kNoText;

// Letter case folded for ASCII and the letters of Windows-1252 that have a
// lower-case partner (Š, Œ, Ž, Ÿ and the accented capitals).
unsigned char FoldCase(char c)
{
    const auto code = static_cast<unsigned char>(c);
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7))
        return static_cast<unsigned char>(code + 0x20);
    if (code == 0x8A || code == 0x8C || code == 0x8E)
        return static_cast<unsigned char>(code + 0x10);
    if (code == 0x9F)
        return 0xFF;
    return code;
}

bool SameTitle(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

std::string TitleOrBlank(std::string title)
{
    return title.empty() ? std::string(" ") : title;
}

} // namespace

EditGridModel::EditGridModel()
    : cells_(1, std::vector<std::string>(1))
{
}

void EditGridModel::SetColCount(int count)
{
    count = std::max(count, 1);
    cells_.resize(static_cast<std::size_t>(count), std::vector<std::string>(static_cast<std::size_t>(rowCount_)));
    fixedCols_ = std::min(fixedCols_, count - 1);
}

void EditGridModel::SetRowCount(int count)
{
    rowCount_ = std::max(count, 1);
    for (auto& column : cells_)
        column.resize(static_cast<std::size_t>(rowCount_));
    fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
}

void EditGridModel::SetFixedCols(int count)
{
    fixedCols_ = std::clamp(count, 0, ColCount() - 1);
}

void EditGridModel::SetFixedRows(int count)
{
    fixedRows_ = std::clamp(count, 0, RowCount() - 1);
}

const std::string& EditGridModel::Cell(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        return kNoText;
    return cells_[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)];
}

void EditGridModel::SetCell(int col, int row, std::string text)
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        return;
    cells_[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)] = std::move(text);
}

void EditGridModel::SetHeader(std::vector<std::string> header)
{
    header_ = std::move(header);
    ApplyHeader();
}

void EditGridModel::ApplyHeader()
{
    const int count = std::min(static_cast<int>(header_.size()), ColCount());
    for (int i = 0; i < count; ++i)
        SetCell(i, 0, header_[static_cast<std::size_t>(i)]);
}

void EditGridModel::ClearCells()
{
    for (auto& column : cells_)
        std::fill(column.begin(), column.end(), std::string());
    SetRowCount(fixedRows_ + 1);
    ApplyHeader();
}

int EditGridModel::AppendColumn(std::string title)
{
    SetColCount(ColCount() + 1);
    const int col = ColCount() - 1;
    SetCell(col, 0, std::move(title));
    return col;
}

int EditGridModel::AppendRow(std::string title)
{
    SetRowCount(RowCount() + 1);
    const int row = RowCount() - 1;
    SetCell(0, row, std::move(title));
    return row;
}

void EditGridModel::PutValue(std::string colTitle, std::string rowTitle, bool createOnly, double value,
                             const FormatSettings& format)
{
    colTitle = TitleOrBlank(std::move(colTitle));
    rowTitle = TitleOrBlank(std::move(rowTitle));

    int col = 0;
    while (col < ColCount() && !SameTitle(Cell(col, 0), colTitle))
        ++col;
    if (col == ColCount())
        col = AppendColumn(std::move(colTitle));

    int row = 0;
    while (row < RowCount() && !SameTitle(Cell(0, row), rowTitle))
        ++row;
    if (row == RowCount())
        row = AppendRow(std::move(rowTitle));

    if (!createOnly)
        SetCell(col, row, TwoDecimals(value, format));
}

std::optional<TGridMove> EditGridModel::WrapAround(TArrowKey key, int col, int row, int topRow, int visibleRows) const
{
    if (!SkipToNextRow)
        return std::nullopt;
    TGridMove move;
    if (key == TArrowKey::Right && col == ColCount() - 1 && row < RowCount() - 1)
        move = {fixedCols_, row + 1, topRow};
    else if (key == TArrowKey::Left && col == fixedCols_ && row > fixedRows_)
        move = {ColCount() - 1, row - 1, topRow};
    else
        return std::nullopt;

    // A target below the view scrolls to the bottom of it, one above the view
    // shows one row more above it (but no fixed row).
    visibleRows = std::max(visibleRows, 1);
    if (move.Row - topRow >= visibleRows)
        move.TopRow = move.Row - visibleRows + 1;
    else if (move.Row < topRow)
        move.TopRow = std::max(move.Row - 1, fixedRows_);
    return move;
}

std::optional<std::string> EditGridModel::ColumnHint(int col) const
{
    if (col < 0 || col >= static_cast<int>(hints_.size()))
        return std::nullopt;
    return hints_[static_cast<std::size_t>(col)];
}

std::string TwoDecimals(double value, const FormatSettings& format)
{
    char buffer[400]; // the longest fixed-point double with two decimals fits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), '.', format.decimalSeparator);
    return text;
}

int CellTextLeft(TAlignment alignment, int left, int right, int textWidth)
{
    switch (alignment) {
    case TAlignment::RightJustify: return right - textWidth - 2;
    case TAlignment::Center: return left + (right - left) / 2 - textWidth / 2;
    case TAlignment::LeftJustify: break;
    }
    return left + 2;
}

} // namespace dazo
