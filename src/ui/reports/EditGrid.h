// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The read-only string grid of the evaluation tables: fixed title rows and
// columns that stay put while the rest scrolls, one alignment for all cells, a
// paint hook per cell, per-column hints and left/right arrow keys that wrap
// to the neighbouring row. The cell logic is EditGridModel's.

#include "bridge/AnsiText.h"
#include "reports/EditGridModel.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QStringList>

#include <functional>
#include <vector>

namespace dazo::ui {

class TEditGrid;

// Called before a cell is painted; may change the font, alignment, background
// and text it is painted with.
using TGetDrawValues = std::function<void(TEditGrid& sender, int col, int row, QFont& aFont,
                                          TAlignment& aAlignment, QColor& bgColor, QString& value)>;

class TEditGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TEditGrid(QWidget* parent = nullptr, FormatSettings format = UserFormat());

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    QStringList Header() const;
    void SetHeader(const QStringList& header);
    QStringList Hints() const;
    void SetHints(const QStringList& hints);

    bool SkipToNextRow() const { return model_.SkipToNextRow; }
    void SetSkipToNextRow(bool skip) { model_.SkipToNextRow = skip; }

    TGetDrawValues OnGetDrawValues;

    int ColCount() const { return model_.ColCount(); }
    int RowCount() const { return model_.RowCount(); }
    void SetColCount(int count);
    void SetRowCount(int count);
    int FixedCols() const { return model_.FixedCols(); }
    int FixedRows() const { return model_.FixedRows(); }
    void SetFixedCols(int count);
    void SetFixedRows(int count);

    QString Cell(int col, int row) const { return FromAnsi(model_.Cell(col, row)); }
    void SetCell(int col, int row, const QString& text);

    void ApplyHeader();
    void ClearCells();
    void PutValue(const QString& colTitle, const QString& rowTitle, bool createOnly, double value);

    const EditGridModel& Model() const { return model_; }
    // All cells, title rows and columns included, as tab-separated lines, the
    // form spreadsheets paste; Ctrl+C puts it on the clipboard.
    QString TabSeparatedText() const;

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int DefaultRowHeight() const;

    int Col() const { return col_; }
    int Row() const { return row_; }
    // The first free row and column in view.
    int TopRow() const;
    int LeftCol() const;
    // Selects the cell (a fixed one is not selectable) and scrolls it into view.
    void SelectCell(int col, int row);
    // Free rows that fit wholly below the fixed ones.
    int VisibleRowCount() const;
    QRect CellRect(int col, int row) const; // in viewport coordinates; empty when hidden

signals:
    // The grid's own select-cell notification, before the hint is shown.
    void cellSelected(int col, int row);
    void hintChanged(const QString& hint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    QSize viewportSizeHint() const override;

private:
    void Changed();
    void MoveTo(int col, int row, int topRow);
    void ShowColumnHint(int col);
    void SetTopRow(int row);
    void SetLeftCol(int col);
    void ScrollColumnIntoView(int col);
    void UpdateScrollBars();
    void PaintCell(QPainter& painter, int col, int row, const QRect& rect);
    int FixedWidth() const;
    int FixedHeight() const;
    int LastLeftCol() const;

    EditGridModel model_;
    FormatSettings format_;
    TAlignment alignment_ = TAlignment::LeftJustify;
    std::vector<int> colWidths_;
    int col_ = 0;
    int row_ = 0;
};

} // namespace dazo::ui
