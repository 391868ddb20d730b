// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The chart of the main window on QCustomPlot: the calculators' curves against
// the left or right axis, the cursor lines on a layer of their own above them,
// grids, zoom by mouse rectangle and by percentage, and the conversions
// between pixels and axis values that the cursor handling needs.
//
// Each series is copied into its graph once, when it is attached or reported
// changed; redraws read the graph's own sorted data with adaptive sampling,
// which keeps curves of some hundred thousand points fluent.

#include "analysis/ChartView.h"

#include <qcustomplot.h>

#include <vector>

namespace dazo::ui {

class TChartView : public QCustomPlot, public IChartView {
    Q_OBJECT

public:
    explicit TChartView(QWidget* parent = nullptr);

    // IChartView
    void RemoveAllSeries() override;
    void UndoZoom() override;
    void SetLeftAxisTitle(const std::string& title) override;
    void AttachSeries(const TLineSeries& series, ChartAxis axis) override;
    void AttachCursorLine(const TLineSeries& line) override;
    void RemoveSeries(const TLineSeries& series) override;
    void SetSeriesVisible(const TLineSeries& series, bool visible) override;
    void SetSeriesPen(const TLineSeries& series, RgbColor color, int width) override;
    void SeriesChanged(const TLineSeries& series) override;
    void MoveSeriesEarlier(const TLineSeries& series) override;
    void MoveSeriesLater(const TLineSeries& series) override;
    void SetBusyPointer(bool busy) override;

    // "Gitter": the grids of the left and the bottom axis.
    void SetGridVisible(bool visible);
    bool GridVisible() const;

    // The zoom rectangle of the left mouse button; off while a cursor is dragged.
    void SetMouseZoom(bool enabled);
    bool MouseZoom() const;
    // Every axis range shrinks (percent above 100) or grows (below 100) by
    // (percent - 100) % of its width at either end.
    void ZoomPercent(double percent);
    // True from a zoom to the next UndoZoom; until then the axes follow the data.
    bool Zoomed() const { return !autoRange_; }

    // The plot rectangle in widget pixels.
    QRect PlotRect() const;
    double XValueAt(double pixelX) const;
    double YValueAt(double pixelY, ChartAxis axis) const;
    double PixelOfX(double x) const;
    double PixelOfY(double y, ChartAxis axis) const;

    // The visible cursor line within a few pixels of the point, drawn topmost
    // first; none when there is none.
    const TLineSeries* CursorLineAt(const QPoint& pixel) const;

    // Paints the chart, as it is on screen, scaled into the target rectangle
    // of any paint device (printer, picture, image).
    void RenderTo(QPaintDevice& device, const QRect& target);
    // Paints the chart into area (origin 0,0) for paper and picture files:
    // light colours and the caption above the plot. The screen keeps its look.
    void RenderPrinted(QCPPainter& painter, const QRect& area, const QString& caption);

    // The series' entry in the legend; series without a name have none.
    void SetSeriesName(const TLineSeries& series, const QString& name);

    // Lays out and paints at once instead of at the next event-loop turn.
    void ReplotNow();

    // Inspection, for tests and for the windows that print or export the chart.
    QCPGraph* GraphOf(const TLineSeries& series) const;
    std::vector<const TLineSeries*> DrawingOrder() const;
    bool IsCursorLine(const TLineSeries& series) const;

signals:
    // A press of the mouse on a visible cursor line.
    void cursorLineClicked(const dazo::TLineSeries* line);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Zooms every axis around the point under the mouse.
    void wheelEvent(QWheelEvent* event) override;
    void processRectZoom(QRect rect, QMouseEvent* event) override;

private:
    struct Entry {
        const TLineSeries* series;
        QCPGraph* graph;
        bool cursorLine;
    };

    std::size_t IndexOf(const TLineSeries& series) const;
    Entry* Find(const TLineSeries& series);
    Entry& Attach(const TLineSeries& series, ChartAxis axis, bool cursorLine);
    void ApplyDrawingOrder();
    QCPAxis* ValueAxis(ChartAxis axis) const;
    // Replots at the next event-loop turn; the axes follow the data first
    // unless the user has zoomed.
    void Refresh(bool dataChanged);
    void FitAxesToData();

    std::vector<Entry> order_; // drawing order, first drawn first
    QCPLayer* curveLayer_ = nullptr;
    QCPLayer* cursorLayer_ = nullptr;
    bool mouseZoom_ = true;
    bool autoRange_ = true;
    bool rangeStale_ = false;
    bool replotQueued_ = false;
    int busyDepth_ = 0;
};

} // namespace dazo::ui
