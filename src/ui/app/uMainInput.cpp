// SPDX-License-Identifier: GPL-3.0-or-later
// Moving the chart cursors with the mouse and the keyboard. While a cursor is
// dragged, a white line on a layer of its own follows the mouse: only that
// layer is repainted, never the curves, however long they are.

#include "app/uMain.h"

#include "analysis/ChartCursors.h"
#include "analysis/CursorReadouts.h"
#include "app/ChartView.h"
#include "app/CurInfo.h"
#include "bridge/AnsiText.h"
#include "evaluation/EvaluationCore.h"
#include "project/UserNumbers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace dazo::ui {
namespace {

constexpr int kHitTolerance = 4; // pixels either side of a cursor line
constexpr int kCtrlStep = 10;
constexpr double kZoomInPercent = 110.0;
constexpr double kZoomOutPercent = 90.0;

bool IsModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

} // namespace

void TMainForm::ConnectInput()
{
    Chart1->addLayer("dragline", Chart1->layer("overlay"), QCustomPlot::limAbove);
    dragLayer_ = Chart1->layer("dragline");
    dragLayer_->setMode(QCPLayer::lmBuffered);
    FDragLine = new QCPItemLine(Chart1);
    FDragLine->setLayer(dragLayer_);
    FDragLine->setPen(QPen(Qt::white, 1, Qt::SolidLine));
    FDragLine->setSelectable(false);
    FDragLine->setClipToAxisRect(false);
    FDragLine->start->setType(QCPItemPosition::ptAbsolute);
    FDragLine->end->setType(QCPItemPosition::ptAbsolute);
    FDragLine->setVisible(false);

    connect(Chart1, &QCustomPlot::mousePress, this, &TMainForm::Chart1MouseDown);
    connect(Chart1, &QCustomPlot::mouseMove, this, &TMainForm::Chart1MouseMove);
    connect(Chart1, &QCustomPlot::mouseRelease, this, &TMainForm::Chart1MouseUp);
    // The window sees every key before the focused control.
    qApp->installEventFilter(this);
}

// ---- Mouse ---------------------------------------------------------------------------

int TMainForm::HitTestCursor(int x) const
{
    if (!FShownSeries || !FCursors->Visible())
        return -1;
    for (int k = 0; k < FCursors->Count(); ++k) {
        const TLineSeries& line = FCursors->Items(k).LineSeries();
        if (line.Empty())
            continue;
        const double p = Chart1->PixelOfX(line.X(0));
        if (p - kHitTolerance < x && x < p + kHitTolerance)
            return k;
    }
    return -1;
}

void TMainForm::DrawDragLine(int x)
{
    const QRect plot = Chart1->PlotRect();
    FDragLine->start->setCoords(x, plot.top());
    FDragLine->end->setCoords(x, plot.bottom());
    FDragLine->setVisible(true);
    dragLayer_->replot();
}

void TMainForm::EraseDragLine()
{
    FDragLine->setVisible(false);
    dragLayer_->replot();
}

void TMainForm::Chart1MouseDown(QMouseEvent* event)
{
    // The right button opens the popup menu, whose modal loop would swallow
    // the release that ends a drag.
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    FDragCursor = HitTestCursor(at.x());
    if (FDragCursor == 0 || FDragCursor == 1)
        FCursors->SetRegressionLineVisible(false);
    if (FDragCursor < 0)
        return;
    Chart1->SetMouseZoom(false);
    if (QCPGraph* line = Chart1->GraphOf(FCursors->Items(FDragCursor).LineSeries())) {
        line->setVisible(false);
        line->layer()->replot();
    }
    FCursors->Select(FDragCursor);
    dragMoved_ = false;
    FDragX = at.x();
    FDragY = at.y();
    DrawDragLine(FDragX);
}

void TMainForm::Chart1MouseMove(QMouseEvent* event)
{
    if (!FShownSeries)
        return;
    const QPoint at = event->position().toPoint();
    Chart1->setCursor(HitTestCursor(at.x()) != -1 ? Qt::SplitHCursor : Qt::CrossCursor);
    if (FShownSeries->Empty())
        return;
    const double x = Chart1->XValueAt(at.x());
    const double y = Chart1->YValueAt(at.y(), ChartAxis::Left);
    const FormatSettings format = core_->Format();
    if (FDragCursor >= 0 && Chart1->PlotRect().contains(at)) {
        DrawDragLine(at.x());
        dragMoved_ = dragMoved_ || at.x() != FDragX;
        FDragX = at.x();
        FDragY = at.y();
        const int chartTop = Chart1->mapToGlobal(QPoint(0, 0)).y();
        ShowCursorHint(qRound(event->globalPosition().x()) - 30, chartTop + 10, FromAnsi(UserFixedText(x, 4, format)) + " [ms]");
    }
    lPos->setText(FromAnsi(UserFixedText(x, 4, format) + '/' + UserFixedText(y, 4, format)));
}

void TMainForm::Chart1MouseUp(QMouseEvent* event)
{
    Chart1->setCursor(Qt::CrossCursor);
    if (FDragCursor >= 0) {
        EraseDragLine();
        Chart1->SetMouseZoom(true);
        ShowCursorHintAtMouse(QString());
        if (FShownSeries) {
            TXChartCursor& cursor = FCursors->Items(FDragCursor);
            if (QCPGraph* line = Chart1->GraphOf(cursor.LineSeries())) {
                line->setVisible(true);
                line->layer()->replot();
            }
            // A pixel spans several points: a click without a move would
            // shift the cursor to the point under the pixel.
            if (dragMoved_ || event->position().toPoint().x() != FDragX)
                cursor.MoveToX(Chart1->XValueAt(event->position().x()));
            UpdateCursorReadouts();
            RefitCustomRange();
        }
    }
    FDragCursor = -1;
}

// ---- Keyboard ---------------------------------------------------------------------------

// Keys reach this only while the chart has the focus (a click into it gives it).
// True when the key was used.
bool TMainForm::FormKeyDown(QKeyEvent* event)
{
    const int key = event->key();
    // Holding Ctrl or Shift alone does not speed up the steps: the first step
    // of Ctrl+Right is 10 points, however long Ctrl was held before.
    if (IsModifierKey(key))
        return false;
    ++FKeyRepeat;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::ControlModifier) {
        if (key != Qt::Key_Left && key != Qt::Key_Right)
            return false;
        MoveSelectedCursor(key == Qt::Key_Left ? -kCtrlStep : kCtrlStep);
        return true;
    }
    if (modifiers & Qt::ShiftModifier) {
        if (key == Qt::Key_Left || key == Qt::Key_Up)
            Chart1->ZoomPercent(kZoomInPercent);
        else if (key == Qt::Key_Right || key == Qt::Key_Down)
            Chart1->ZoomPercent(kZoomOutPercent);
        else
            return false;
        return true;
    }
    switch (key) {
    case Qt::Key_Space:
        Chart1->UndoZoom();
        return true;
    case Qt::Key_Left:
        MoveSelectedCursor(-1);
        return true;
    case Qt::Key_Right:
        MoveSelectedCursor(1);
        return true;
    case Qt::Key_Up:
        FCursors->SelectNext();
        return true;
    case Qt::Key_Down:
        FCursors->SelectPrevious();
        return true;
    default:
        return false;
    }
}

void TMainForm::FormKeyUp(QKeyEvent* event)
{
    // Some window systems send a release before every auto-repeated press;
    // only the real release ends the acceleration.
    if (!event->isAutoRepeat())
        FKeyRepeat = 0;
}

void TMainForm::MoveSelectedCursor(int step)
{
    if (!ShownCalcer() || !FCursors->Visible())
        return;
    const int selected = FCursors->SelectedIndex();
    const int delta = selected < 0 ? 0 : BoundedStep(FCursors->Items(selected), static_cast<long long>(step) * FKeyRepeat);
    if (!FCursors->MoveSelected(delta)) {
        Dialogs.ShowMessage(QString::fromUtf8("es ist kein Cursor selektiert"));
        FKeyRepeat = 0; // the release went to the message box
    }
    UpdateCursorReadouts();
    RefitCustomRange();
}

} // namespace dazo::ui
