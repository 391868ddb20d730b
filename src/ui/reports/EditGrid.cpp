// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/EditGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace dazo::ui {
namespace {

constexpr int kDefaultColWidth = 64;
constexpr int kMinimumRowHeight = 24;
constexpr int kLineWidth = 1; // grid line between cells

std::vector<std::string> ToAnsiList(const QStringList& list)
{
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(list.size()));
    for (const QString& text : list)
        texts.push_back(ToAnsi(text));
    return texts;
}

QStringList FromAnsiList(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const auto& text : texts)
        list.append(FromAnsi(text));
    return list;
}

} // namespace

TEditGrid::TEditGrid(QWidget* parent, FormatSettings format)
    : QAbstractScrollArea(parent)
    , format_(format)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    Changed();
}

void TEditGrid::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    viewport()->update();
}

QStringList TEditGrid::Header() const
{
    return FromAnsiList(model_.Header());
}

void TEditGrid::SetHeader(const QStringList& header)
{
    model_.SetHeader(ToAnsiList(header));
    Changed();
}

QStringList TEditGrid::Hints() const
{
    return FromAnsiList(model_.Hints());
}

void TEditGrid::SetHints(const QStringList& hints)
{
    model_.SetHints(ToAnsiList(hints));
}

void TEditGrid::SetColCount(int count)
{
    model_.SetColCount(count);
    Changed();
}

void TEditGrid::SetRowCount(int count)
{
    model_.SetRowCount(count);
    Changed();
}

void TEditGrid::SetFixedCols(int count)
{
    model_.SetFixedCols(count);
    Changed();
}

void TEditGrid::SetFixedRows(int count)
{
    model_.SetFixedRows(count);
    Changed();
}

void TEditGrid::SetCell(int col, int row, const QString& text)
{
    model_.SetCell(col, row, ToAnsi(text));
    viewport()->update();
}

void TEditGrid::ApplyHeader()
{
    model_.ApplyHeader();
    viewport()->update();
}

void TEditGrid::ClearCells()
{
    model_.ClearCells();
    Changed();
}

void TEditGrid::PutValue(const QString& colTitle, const QString& rowTitle, bool createOnly, double value)
{
    model_.PutValue(ToAnsi(colTitle), ToAnsi(rowTitle), createOnly, value, format_);
    Changed();
}

int TEditGrid::ColWidth(int col) const
{
    if (col >= 0 && col < static_cast<int>(colWidths_.size()) && colWidths_[static_cast<std::size_t>(col)] > 0)
        return colWidths_[static_cast<std::size_t>(col)];
    return kDefaultColWidth;
}

void TEditGrid::SetColWidth(int col, int width)
{
    if (col < 0)
        return;
    if (col >= static_cast<int>(colWidths_.size()))
        colWidths_.resize(static_cast<std::size_t>(col) + 1, 0);
    colWidths_[static_cast<std::size_t>(col)] = std::max(width, 0);
    Changed();
}

int TEditGrid::DefaultRowHeight() const
{
    return std::max(kMinimumRowHeight, fontMetrics().height() + 6);
}

int TEditGrid::TopRow() const
{
    return FixedRows() + verticalScrollBar()->value();
}

int TEditGrid::LeftCol() const
{
    return FixedCols() + horizontalScrollBar()->value();
}

void TEditGrid::SetTopRow(int row)
{
    verticalScrollBar()->setValue(row - FixedRows());
}

void TEditGrid::SetLeftCol(int col)
{
    horizontalScrollBar()->setValue(col - FixedCols());
}

int TEditGrid::FixedWidth() const
{
    int width = 0;
    for (int c = 0; c < FixedCols(); ++c)
        width += ColWidth(c) + kLineWidth;
    return width;
}

int TEditGrid::FixedHeight() const
{
    return FixedRows() * (DefaultRowHeight() + kLineWidth);
}

int TEditGrid::VisibleRowCount() const
{
    const int free = viewport()->height() - FixedHeight();
    return std::max(free / (DefaultRowHeight() + kLineWidth), 0);
}

// The last left column from which every further column still fits.
int TEditGrid::LastLeftCol() const
{
    const int free = viewport()->width() - FixedWidth();
    int col = ColCount() - 1;
    int used = ColWidth(col) + kLineWidth;
    while (col > FixedCols() && used + ColWidth(col - 1) + kLineWidth <= free) {
        --col;
        used += ColWidth(col) + kLineWidth;
    }
    return col;
}

void TEditGrid::UpdateScrollBars()
{
    const int rows = std::max(VisibleRowCount(), 1);
    verticalScrollBar()->setRange(0, std::max(RowCount() - rows - FixedRows(), 0));
    verticalScrollBar()->setPageStep(rows);
    horizontalScrollBar()->setRange(0, std::max(LastLeftCol() - FixedCols(), 0));
    horizontalScrollBar()->setPageStep(1);
}

void TEditGrid::Changed()
{
    col_ = std::clamp(col_, FixedCols(), ColCount() - 1);
    row_ = std::clamp(row_, FixedRows(), RowCount() - 1);
    UpdateScrollBars();
    updateGeometry();
    viewport()->update();
}

QRect TEditGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        return {};
    if ((col >= FixedCols() && col < LeftCol()) || (row >= FixedRows() && row < TopRow()))
        return {};
    int x = 0;
    for (int c = 0; c < col; ++c)
        if (c < FixedCols() || c >= LeftCol())
            x += ColWidth(c) + kLineWidth;
    const int firstRow = row < FixedRows() ? 0 : TopRow() - FixedRows();
    const int y = (row - firstRow) * (DefaultRowHeight() + kLineWidth);
    return QRect(x, y, ColWidth(col), DefaultRowHeight());
}

void TEditGrid::ScrollColumnIntoView(int col)
{
    if (col < FixedCols())
        return;
    if (col < LeftCol()) {
        SetLeftCol(col);
        return;
    }
    const int free = viewport()->width() - FixedWidth();
    int left = LeftCol();
    auto widthFrom = [&](int first) {
        int width = 0;
        for (int c = first; c <= col; ++c)
            width += ColWidth(c) + kLineWidth;
        return width;
    };
    while (left < col && widthFrom(left) > free)
        ++left;
    SetLeftCol(left);
}

void TEditGrid::SelectCell(int col, int row)
{
    col = std::clamp(col, FixedCols(), ColCount() - 1);
    row = std::clamp(row, FixedRows(), RowCount() - 1);
    int top = TopRow();
    const int rows = std::max(VisibleRowCount(), 1);
    if (row < top)
        top = row;
    else if (row >= top + rows)
        top = row - rows + 1;
    MoveTo(col, row, top);
}

void TEditGrid::MoveTo(int col, int row, int topRow)
{
    col_ = col;
    row_ = row;
    SetTopRow(topRow);
    ScrollColumnIntoView(col);
    viewport()->update();
    emit cellSelected(col, row);
    ShowColumnHint(col);
}

void TEditGrid::ShowColumnHint(int col)
{
    const auto hint = model_.ColumnHint(col);
    if (!hint)
        return;
    const QString text = FromAnsi(*hint);
    setToolTip(text);
    setStatusTip(text);
    if (QToolTip::isVisible())
        QToolTip::showText(viewport()->mapToGlobal(CellRect(col_, row_).center()), text, this);
    emit hintChanged(text);
}

QString TEditGrid::TabSeparatedText() const
{
    QString text;
    for (int row = 0; row < RowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < ColCount(); ++col)
            cells << Cell(col, row);
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

void TEditGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(TabSeparatedText());
        event->accept();
        return;
    }
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        const auto arrow = key == Qt::Key_Left ? TArrowKey::Left : TArrowKey::Right;
        if (const auto move = model_.WrapAround(arrow, col_, row_, TopRow(), VisibleRowCount())) {
            MoveTo(move->Col, move->Row, move->TopRow);
            return;
        }
    }
    const int page = std::max(VisibleRowCount(), 1);
    switch (key) {
    case Qt::Key_Left: SelectCell(col_ - 1, row_); break;
    case Qt::Key_Right: SelectCell(col_ + 1, row_); break;
    case Qt::Key_Up: SelectCell(col_, row_ - 1); break;
    case Qt::Key_Down: SelectCell(col_, row_ + 1); break;
    case Qt::Key_PageUp: SelectCell(col_, row_ - page); break;
    case Qt::Key_PageDown: SelectCell(col_, row_ + page); break;
    case Qt::Key_Home: SelectCell(FixedCols(), control ? FixedRows() : row_); break;
    case Qt::Key_End: SelectCell(ColCount() - 1, control ? RowCount() - 1 : row_); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void TEditGrid::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    for (int row = 0; row < RowCount(); ++row)
        for (int col = 0; col < ColCount(); ++col)
            if (CellRect(col, row).contains(at)) {
                if (col >= FixedCols() && row >= FixedRows())
                    MoveTo(col, row, TopRow());
                return;
            }
}

void TEditGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TEditGrid::scrollContentsBy(int, int)
{
    viewport()->update();
}

QSize TEditGrid::viewportSizeHint() const
{
    int width = 0;
    for (int c = 0; c < ColCount(); ++c)
        width += ColWidth(c) + kLineWidth;
    return {width, RowCount() * (DefaultRowHeight() + kLineWidth)};
}

void TEditGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    for (int row = 0; row < RowCount(); ++row) {
        for (int col = 0; col < ColCount(); ++col) {
            const QRect rect = CellRect(col, row);
            if (rect.isEmpty() || rect.left() > viewport()->width() || rect.top() > viewport()->height())
                continue;
            // The grid lines right of and below the cell.
            painter.fillRect(QRect(rect.topLeft(), rect.size() + QSize(kLineWidth, kLineWidth)), palette().mid());
            PaintCell(painter, col, row, rect);
        }
    }
}

void TEditGrid::PaintCell(QPainter& painter, int col, int row, const QRect& rect)
{
    const bool fixed = col < FixedCols() || row < FixedRows();
    const bool selected = !fixed && col == col_ && row == row_;
    const QColor stateColor = fixed ? palette().color(QPalette::Button)
                            : selected ? palette().color(QPalette::Highlight)
                                       : palette().color(QPalette::Base);
    QFont font = this->font();
    TAlignment alignment = alignment_;
    QColor background = stateColor;
    QString text = Cell(col, row);
    if (OnGetDrawValues)
        OnGetDrawValues(*this, col, row, font, alignment, background, text);

    painter.save();
    painter.setFont(font);
    painter.fillRect(rect, background);
    painter.setPen(stateColor);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setClipRect(rect);
    painter.setPen(palette().color(fixed ? QPalette::ButtonText : selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics metrics(font);
    const int left = CellTextLeft(alignment, rect.left(), rect.left() + rect.width(), metrics.horizontalAdvance(text));
    painter.drawText(left, rect.top() + 2 + metrics.ascent(), text);
    if (selected && hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
        painter.drawRect(rect.adjusted(1, 1, -2, -2));
    }
    painter.restore();
}

} // namespace dazo::ui
