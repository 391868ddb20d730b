// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ChartView.h"

#include "analysis/Series.h"
#include "bridge/AnsiText.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dazo::ui {
namespace {

// Dark plot area, so that the yellow, green and white cursor lines show.
const QColor kPlotBackground(32, 32, 32);
const QColor kGridColor(96, 96, 96);
const QColor kLeftCurveColor(0, 190, 255);
const QColor kRightCurveColor(255, 80, 80);
constexpr int kCursorHitTolerance = 4; // pixels either side of a cursor line
// One notch of the wheel shrinks or grows the axis ranges by this factor.
constexpr double kWheelZoomFactor = 0.85;

// On paper and in picture files: dark lines on white.
const QColor kPrintGridColor(200, 200, 200);
const QColor kPrintLeftCurveColor(0, 70, 160);
const QColor kPrintRightCurveColor(190, 0, 0);

// A pen of the screen's dark theme as it is printed: the curve colours
// darker, white black and yellow dark gold, so that every line shows on white.
QColor PrintColor(const QColor& screen)
{
    if (screen == kLeftCurveColor)
        return kPrintLeftCurveColor;
    if (screen == kRightCurveColor)
        return kPrintRightCurveColor;
    if (screen == QColor(Qt::white))
        return Qt::black;
    if (screen == QColor(Qt::yellow))
        return QColor(184, 134, 11);
    return screen;
}

void CopyPoints(QCPGraph* graph, const TLineSeries& series)
{
    const auto xs = series.Xs();
    const auto ys = series.Ys();
    QVector<QCPGraphData> data(static_cast<qsizetype>(xs.size()));
    for (std::size_t i = 0; i < xs.size(); ++i)
        data[static_cast<qsizetype>(i)] = QCPGraphData(xs[i], ys[i]);
    graph->data()->set(data, true); // ascending x already
}

void Unite(QCPRange& total, bool& any, const QCPRange& part)
{
    if (!any) {
        total = part;
        any = true;
    } else {
        total.expand(part);
    }
}

// A flat curve still needs an axis with some extent.
QCPRange Widened(QCPRange range)
{
    if (range.size() > 0.0)
        return range;
    const double pad = range.lower == 0.0 ? 1.0 : std::abs(range.lower) * 0.1;
    return QCPRange(range.lower - pad, range.upper + pad);
}

void StyleAxis(QCPAxis* axis)
{
    axis->grid()->setPen(QPen(kGridColor, 0, Qt::DotLine));
    axis->grid()->setZeroLinePen(QPen(kGridColor, 0, Qt::SolidLine));
}

} // namespace

TChartView::TChartView(QWidget* parent)
    : QCustomPlot(parent)
{
    setObjectName("Chart1");
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::ClickFocus); // a click gives the chart the cursor keys
    setMouseTracking(true);
    setNoAntialiasingOnDrag(true);
    setNotAntialiasedElements(QCP::aePlottables);

    axisRect()->setBackground(kPlotBackground);
    xAxis->setLabel(QString::fromUtf8("Zeit [ms]"));
    yAxis->setLabel(QString::fromUtf8("Amplitude [Volt]"));
    yAxis2->setLabel(QString::fromUtf8("Schroederplot [dB]"));
    yAxis2->setVisible(false);
    yAxis2->setTickLabels(true);
    for (QCPAxis* axis : {xAxis, yAxis, yAxis2})
        StyleAxis(axis);
    yAxis2->grid()->setVisible(false);
    axisRect()->setRangeZoomAxes({xAxis}, {yAxis, yAxis2});
    setSelectionRectMode(QCP::srmZoom);

    // Inside the plot, top right, where the decaying curves leave room.
    legend->setVisible(true);
    legend->setBrush(QColor(255, 255, 255, 220));
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);

    curveLayer_ = layer("main");
    addLayer("cursors", curveLayer_, limAbove);
    cursorLayer_ = layer("cursors");
    cursorLayer_->setMode(QCPLayer::lmBuffered); // a cursor move repaints only its layer

    connect(this, &QCustomPlot::beforeReplot, this, [this] {
        replotQueued_ = false;
        if (rangeStale_ && autoRange_)
            FitAxesToData();
        rangeStale_ = false;
        legend->setVisible(legend->itemCount() > 0); // no empty box
    });
}

// ---- IChartView ------------------------------------------------------------

void TChartView::RemoveAllSeries()
{
    for (const Entry& entry : order_)
        removePlottable(entry.graph);
    order_.clear();
    Refresh(true);
}

void TChartView::UndoZoom()
{
    autoRange_ = true;
    Refresh(true);
}

void TChartView::SetLeftAxisTitle(const std::string& title)
{
    yAxis->setLabel(FromAnsi(title));
    Refresh(false);
}

void TChartView::AttachSeries(const TLineSeries& series, ChartAxis axis)
{
    Entry& entry = Attach(series, axis, false);
    // Read again even when attached already: a series is known by its address,
    // which a new calculator may reuse.
    CopyPoints(entry.graph, series);
    Refresh(true);
}

void TChartView::AttachCursorLine(const TLineSeries& line)
{
    Entry& entry = Attach(line, ChartAxis::Left, true);
    CopyPoints(entry.graph, line);
    Refresh(false);
}

void TChartView::RemoveSeries(const TLineSeries& series)
{
    const std::size_t i = IndexOf(series);
    if (i == order_.size())
        return;
    removePlottable(order_[i].graph);
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(i));
    Refresh(true);
}

void TChartView::SetSeriesVisible(const TLineSeries& series, bool visible)
{
    Entry* entry = Find(series);
    if (!entry || entry->graph->visible() == visible)
        return;
    entry->graph->setVisible(visible);
    Refresh(!entry->cursorLine);
}

void TChartView::SetSeriesPen(const TLineSeries& series, RgbColor color, int width)
{
    Entry* entry = Find(series);
    if (!entry)
        return;
    entry->graph->setPen(QPen(QColor(color.Red, color.Green, color.Blue), width));
    Refresh(false);
}

void TChartView::SeriesChanged(const TLineSeries& series)
{
    Entry* entry = Find(series);
    if (!entry)
        return;
    CopyPoints(entry->graph, series);
    if (entry->cursorLine && !replotQueued_ && !hasInvalidatedPaintBuffers())
        cursorLayer_->replot(); // the curves stay as they are painted
    else
        Refresh(!entry->cursorLine);
}

void TChartView::MoveSeriesEarlier(const TLineSeries& series)
{
    const std::size_t i = IndexOf(series);
    if (i == order_.size() || i == 0)
        return;
    std::swap(order_[i], order_[i - 1]);
    ApplyDrawingOrder();
}

void TChartView::MoveSeriesLater(const TLineSeries& series)
{
    const std::size_t i = IndexOf(series);
    if (i + 1 >= order_.size())
        return;
    std::swap(order_[i], order_[i + 1]);
    ApplyDrawingOrder();
}

void TChartView::SetBusyPointer(bool busy)
{
    if (busy) {
        ++busyDepth_;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0) {
        --busyDepth_;
        QApplication::restoreOverrideCursor();
    }
}

// ---- Grid, zoom, geometry --------------------------------------------------

void TChartView::SetGridVisible(bool visible)
{
    xAxis->grid()->setVisible(visible);
    yAxis->grid()->setVisible(visible);
    Refresh(false);
}

bool TChartView::GridVisible() const
{
    return xAxis->grid()->visible() && yAxis->grid()->visible();
}

void TChartView::SetMouseZoom(bool enabled)
{
    mouseZoom_ = enabled;
    setSelectionRectMode(enabled ? QCP::srmZoom : QCP::srmNone);
}

bool TChartView::MouseZoom() const
{
    return mouseZoom_;
}

void TChartView::ZoomPercent(double percent)
{
    const double share = (percent - 100.0) / 100.0;
    for (QCPAxis* axis : {xAxis, yAxis, yAxis2}) {
        const QCPRange range = axis->range();
        const double shift = range.size() * share;
        axis->setRange(range.lower + shift, range.upper - shift);
    }
    autoRange_ = false;
    Refresh(false);
}

void TChartView::processRectZoom(QRect rect, QMouseEvent* event)
{
    // As classic chart components do: a rectangle drawn leftwards undoes the zoom.
    if (event && event->pos().x() < mMousePressPos.x()) {
        UndoZoom();
        return;
    }
    autoRange_ = false;
    QCustomPlot::processRectZoom(rect, event);
}

QRect TChartView::PlotRect() const
{
    return axisRect()->rect();
}

double TChartView::XValueAt(double pixelX) const
{
    return xAxis->pixelToCoord(pixelX);
}

double TChartView::YValueAt(double pixelY, ChartAxis axis) const
{
    return ValueAxis(axis)->pixelToCoord(pixelY);
}

double TChartView::PixelOfX(double x) const
{
    return xAxis->coordToPixel(x);
}

double TChartView::PixelOfY(double y, ChartAxis axis) const
{
    return ValueAxis(axis)->coordToPixel(y);
}

const TLineSeries* TChartView::CursorLineAt(const QPoint& pixel) const
{
    if (!PlotRect().contains(pixel))
        return nullptr;
    for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
        if (!it->cursorLine || !it->graph->visible() || it->series->Count() == 0)
            continue;
        const double lineX = PixelOfX(it->series->X(0));
        if (std::abs(pixel.x() - lineX) < kCursorHitTolerance)
            return it->series;
    }
    return nullptr;
}

void TChartView::RenderTo(QPaintDevice& device, const QRect& target)
{
    ReplotNow();
    QCPPainter painter(&device);
    painter.translate(target.topLeft());
    painter.scale(target.width() / double(std::max(1, width())), target.height() / double(std::max(1, height())));
    toPainter(&painter, width(), height());
}

void TChartView::RenderPrinted(QCPPainter& painter, const QRect& area, const QString& caption)
{
    ReplotNow();
    // The screen's look, kept to be put back.
    const QBrush background = axisRect()->backgroundBrush();
    const QPen xGrid = xAxis->grid()->pen();
    const QPen yGrid = yAxis->grid()->pen();
    std::vector<QPen> pens;
    for (const Entry& entry : order_)
        pens.push_back(entry.graph->pen());

    axisRect()->setBackground(Qt::white);
    for (QCPAxis* axis : {xAxis, yAxis})
        axis->grid()->setPen(QPen(kPrintGridColor, 0, Qt::DotLine));
    for (const Entry& entry : order_) {
        QPen pen = entry.graph->pen();
        pen.setColor(PrintColor(pen.color()));
        entry.graph->setPen(pen);
    }
    QFont captionFont = font();
    captionFont.setBold(true);
    auto* title = new QCPTextElement(this, caption, captionFont);
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, title);

    toPainter(&painter, area.width(), area.height());

    plotLayout()->remove(title);
    plotLayout()->simplify();
    axisRect()->setBackground(background);
    xAxis->grid()->setPen(xGrid);
    yAxis->grid()->setPen(yGrid);
    for (std::size_t i = 0; i < order_.size(); ++i)
        order_[i].graph->setPen(pens[i]);
    Refresh(false);
}

void TChartView::SetSeriesName(const TLineSeries& series, const QString& name)
{
    Entry* entry = Find(series);
    if (!entry)
        return;
    entry->graph->setName(name);
    if (name.isEmpty())
        entry->graph->removeFromLegend();
    else
        entry->graph->addToLegend();
    Refresh(false);
}

void TChartView::ReplotNow()
{
    rangeStale_ = rangeStale_ || autoRange_;
    replot(rpImmediateRefresh);
}

// ---- Inspection --------------------------------------------------------------

QCPGraph* TChartView::GraphOf(const TLineSeries& series) const
{
    const std::size_t i = IndexOf(series);
    return i < order_.size() ? order_[i].graph : nullptr;
}

std::vector<const TLineSeries*> TChartView::DrawingOrder() const
{
    std::vector<const TLineSeries*> result;
    for (const Entry& entry : order_)
        result.push_back(entry.series);
    return result;
}

bool TChartView::IsCursorLine(const TLineSeries& series) const
{
    const std::size_t i = IndexOf(series);
    return i < order_.size() && order_[i].cursorLine;
}

// ---- Mouse -------------------------------------------------------------------

void TChartView::mousePressEvent(QMouseEvent* event)
{
    if (const TLineSeries* line = CursorLineAt(event->pos()))
        emit cursorLineClicked(line);
    // Only the left button draws the zoom rectangle; the right one opens the
    // popup menu. Handlers of the press may switch the zoom off meanwhile.
    if (event->button() == Qt::LeftButton) {
        QCustomPlot::mousePressEvent(event);
        return;
    }
    setSelectionRectMode(QCP::srmNone);
    QCustomPlot::mousePressEvent(event);
    setSelectionRectMode(mouseZoom_ ? QCP::srmZoom : QCP::srmNone);
}

void TChartView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton)
        setCursor(CursorLineAt(event->pos()) ? Qt::SplitHCursor : Qt::CrossCursor);
    QCustomPlot::mouseMoveEvent(event);
}

void TChartView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0 || order_.empty()) {
        event->ignore();
        return;
    }
    const double factor = std::pow(kWheelZoomFactor, notches);
    const QPointF at = event->position();
    xAxis->scaleRange(factor, xAxis->pixelToCoord(at.x()));
    for (QCPAxis* axis : {yAxis, yAxis2})
        axis->scaleRange(factor, axis->pixelToCoord(at.y()));
    autoRange_ = false;
    Refresh(false);
    event->accept();
}

// ---- Internals -----------------------------------------------------------------

std::size_t TChartView::IndexOf(const TLineSeries& series) const
{
    const auto it = std::find_if(order_.begin(), order_.end(), [&](const Entry& e) { return e.series == &series; });
    return static_cast<std::size_t>(it - order_.begin());
}

TChartView::Entry* TChartView::Find(const TLineSeries& series)
{
    const std::size_t i = IndexOf(series);
    return i < order_.size() ? &order_[i] : nullptr;
}

TChartView::Entry& TChartView::Attach(const TLineSeries& series, ChartAxis axis, bool cursorLine)
{
    if (Entry* entry = Find(series)) {
        entry->graph->setValueAxis(ValueAxis(axis));
        return *entry;
    }
    auto* graph = new QCPGraph(xAxis, ValueAxis(axis));
    graph->setVisible(false);
    graph->setAdaptiveSampling(true);
    graph->setPen(QPen(axis == ChartAxis::Left ? kLeftCurveColor : kRightCurveColor));
    graph->setSelectable(QCP::stNone);
    graph->removeFromLegend(); // until it is named
    graph->setLayer(cursorLine ? cursorLayer_ : curveLayer_);
    order_.push_back({&series, graph, cursorLine});
    return order_.back();
}

void TChartView::ApplyDrawingOrder()
{
    // Re-appending every graph in order rebuilds each layer's order; the cursor
    // lines keep their own layer above the curves.
    for (const Entry& entry : order_)
        entry.graph->setLayer(entry.cursorLine ? cursorLayer_ : curveLayer_); // appends
    Refresh(false);
}

QCPAxis* TChartView::ValueAxis(ChartAxis axis) const
{
    return axis == ChartAxis::Left ? yAxis : yAxis2;
}

void TChartView::Refresh(bool dataChanged)
{
    rangeStale_ = rangeStale_ || dataChanged;
    replotQueued_ = true;
    replot(rpQueuedReplot);
}

void TChartView::FitAxesToData()
{
    QCPRange keys, left, right;
    bool anyKey = false, anyLeft = false, anyRight = false, rightUsed = false;
    for (const Entry& entry : order_) {
        if (entry.cursorLine)
            continue;
        const bool onRight = entry.graph->valueAxis() == yAxis2;
        rightUsed = rightUsed || onRight;
        if (!entry.graph->visible() || entry.graph->data()->isEmpty())
            continue;
        bool found = false;
        const QCPRange keyRange = entry.graph->getKeyRange(found);
        if (found)
            Unite(keys, anyKey, keyRange);
        const QCPRange valueRange = entry.graph->getValueRange(found);
        if (found)
            Unite(onRight ? right : left, onRight ? anyRight : anyLeft, valueRange);
    }
    if (anyKey)
        xAxis->setRange(Widened(keys));
    if (anyLeft)
        yAxis->setRange(Widened(left));
    if (anyRight)
        yAxis2->setRange(Widened(right));
    yAxis2->setVisible(rightUsed);
}

} // namespace dazo::ui
