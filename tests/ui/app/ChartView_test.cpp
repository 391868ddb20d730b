// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ChartView.h"

#include "analysis/ChartCursors.h"
#include "analysis/Series.h"
#include "common/Encoding.h"

#include <QElapsedTimer>
#include <QImage>
#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <cmath>

namespace dazo::ui {
namespace {

TLineSeries Ramp(int n, double spacing, double slope)
{
    TLineSeries s;
    s.Reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        s.Add(i * spacing, i * slope);
    return s;
}

TLineSeries VerticalLine(double x, double low, double high)
{
    TLineSeries s;
    s.Add(x, low);
    s.Add(x, high);
    return s;
}

void Mouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton pressed = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(pressed);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : pressed;
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void Drag(QWidget& widget, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
{
    Mouse(widget, QEvent::MouseButtonPress, from, button);
    Mouse(widget, QEvent::MouseMove, to, button);
    Mouse(widget, QEvent::MouseButtonRelease, to, button);
}

class ChartViewTest : public ::testing::Test {
protected:
    ChartViewTest()
    {
        view.resize(600, 400);
        view.show();
    }
    TChartView view;
};

TEST_F(ChartViewTest, SeriesGoOnTheirAxisHiddenWithTheirPointsCopiedInOrder)
{
    const TLineSeries curve = Ramp(100, 0.04, 1.0);
    const TLineSeries schroeder = Ramp(50, 0.04, -1.0);
    view.AttachSeries(curve, ChartAxis::Left);
    view.AttachSeries(schroeder, ChartAxis::Right);

    QCPGraph* left = view.GraphOf(curve);
    QCPGraph* right = view.GraphOf(schroeder);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->valueAxis(), view.yAxis);
    EXPECT_EQ(right->valueAxis(), view.yAxis2);
    EXPECT_FALSE(left->visible());
    ASSERT_EQ(left->data()->size(), 100);
    EXPECT_DOUBLE_EQ(left->data()->at(99)->key, 99 * 0.04);
    EXPECT_DOUBLE_EQ(left->data()->at(99)->value, 99.0);

    // Attaching again moves the series to the other axis and reads its points anew.
    TLineSeries& changed = const_cast<TLineSeries&>(curve);
    changed.SetY(0, -5.0);
    view.AttachSeries(curve, ChartAxis::Right);
    EXPECT_EQ(left->valueAxis(), view.yAxis2);
    EXPECT_DOUBLE_EQ(left->data()->at(0)->value, -5.0);
    EXPECT_EQ(view.DrawingOrder().size(), 2u);
}

TEST_F(ChartViewTest, CallsForSeriesNotOnTheChartAreIgnored)
{
    const TLineSeries absent = Ramp(3, 1.0, 1.0);
    view.SetSeriesVisible(absent, true);
    view.SetSeriesPen(absent, kCursorGreen, 3);
    view.SeriesChanged(absent);
    view.MoveSeriesLater(absent);
    view.RemoveSeries(absent);
    EXPECT_TRUE(view.DrawingOrder().empty());
    EXPECT_EQ(view.graphCount(), 0);
}

TEST_F(ChartViewTest, DrawingOrderMovesOnePlaceAndCursorLinesStayAboveTheCurves)
{
    const TLineSeries a = Ramp(10, 1.0, 1.0), b = Ramp(10, 1.0, 2.0);
    const TLineSeries line = VerticalLine(3.0, 0.0, 9.0);
    view.AttachSeries(a, ChartAxis::Left);
    view.AttachCursorLine(line);
    view.AttachSeries(b, ChartAxis::Right);
    using Order = std::vector<const TLineSeries*>;
    EXPECT_EQ(view.DrawingOrder(), (Order{&a, &line, &b}));

    view.MoveSeriesEarlier(a); // already first
    view.MoveSeriesLater(line);
    EXPECT_EQ(view.DrawingOrder(), (Order{&a, &b, &line}));
    view.MoveSeriesLater(line); // already last
    view.MoveSeriesEarlier(b);
    EXPECT_EQ(view.DrawingOrder(), (Order{&b, &a, &line}));

    std::vector<QCPLayerable*> curves; // the main layer holds more than graphs
    for (QCPLayerable* child : view.layer("main")->children())
        if (qobject_cast<QCPGraph*>(child))
            curves.push_back(child);
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[0], view.GraphOf(b));
    EXPECT_EQ(curves[1], view.GraphOf(a));
    EXPECT_GT(view.layer("cursors")->index(), view.layer("main")->index());
    EXPECT_EQ(view.GraphOf(line)->layer(), view.layer("cursors"));
    EXPECT_TRUE(view.IsCursorLine(line));

    view.RemoveSeries(a);
    EXPECT_EQ(view.DrawingOrder(), (Order{&b, &line}));
    view.RemoveAllSeries();
    EXPECT_TRUE(view.DrawingOrder().empty());
    EXPECT_EQ(view.graphCount(), 0);
}

TEST_F(ChartViewTest, AxesFollowTheVisibleCurvesUntilTheUserZooms)
{
    const TLineSeries curve = Ramp(101, 0.1, 0.5); // x 0..10, y 0..50
    const TLineSeries schroeder = Ramp(51, 0.1, -1.0); // y 0..-50
    view.AttachSeries(curve, ChartAxis::Left);
    view.AttachSeries(schroeder, ChartAxis::Right);
    view.SetSeriesVisible(curve, true);
    view.SetSeriesVisible(schroeder, true);
    view.ReplotNow();
    EXPECT_DOUBLE_EQ(view.xAxis->range().lower, 0.0);
    EXPECT_DOUBLE_EQ(view.xAxis->range().upper, 10.0);
    EXPECT_DOUBLE_EQ(view.yAxis->range().upper, 50.0);
    EXPECT_DOUBLE_EQ(view.yAxis2->range().lower, -50.0);
    EXPECT_TRUE(view.yAxis2->visible());
    EXPECT_FALSE(view.Zoomed());

    view.ZoomPercent(110); // 10 % of the width off either end
    EXPECT_TRUE(view.Zoomed());
    EXPECT_NEAR(view.xAxis->range().lower, 1.0, 1e-9);
    EXPECT_NEAR(view.xAxis->range().upper, 9.0, 1e-9);
    view.ZoomPercent(90);
    EXPECT_NEAR(view.xAxis->range().lower, 0.2, 1e-9);

    const TLineSeries longer = Ramp(201, 0.1, 1.0);
    view.AttachSeries(longer, ChartAxis::Left);
    view.SetSeriesVisible(longer, true);
    view.ReplotNow();
    EXPECT_NEAR(view.xAxis->range().upper, 9.8, 1e-9); // a zoom stays

    view.UndoZoom();
    view.ReplotNow();
    EXPECT_FALSE(view.Zoomed());
    EXPECT_DOUBLE_EQ(view.xAxis->range().upper, 20.0);
    EXPECT_DOUBLE_EQ(view.yAxis->range().upper, 200.0);
}

TEST_F(ChartViewTest, PixelsAndValuesConvertBothWaysInsideThePlotRectangle)
{
    const TLineSeries curve = Ramp(101, 0.1, 1.0);
    view.AttachSeries(curve, ChartAxis::Left);
    view.SetSeriesVisible(curve, true);
    view.ReplotNow();
    const QRect plot = view.PlotRect();
    EXPECT_TRUE(QRect(QPoint(0, 0), view.size()).contains(plot));
    EXPECT_NEAR(view.XValueAt(plot.left()), 0.0, 1e-9);
    EXPECT_NEAR(view.XValueAt(plot.right() + 1), 10.0, 1e-9);
    EXPECT_NEAR(view.PixelOfX(5.0), plot.left() + plot.width() / 2.0, 1.0);
    EXPECT_NEAR(view.YValueAt(view.PixelOfY(42.0, ChartAxis::Left), ChartAxis::Left), 42.0, 1e-9);
}

TEST_F(ChartViewTest, PressOnAVisibleCursorLineReportsIt)
{
    const TLineSeries curve = Ramp(101, 0.1, 1.0);
    const TLineSeries line = VerticalLine(5.0, 0.0, 10.0);
    view.AttachSeries(curve, ChartAxis::Left);
    view.SetSeriesVisible(curve, true);
    view.AttachCursorLine(line);
    view.ReplotNow();
    const int x = static_cast<int>(std::lround(view.PixelOfX(5.0)));
    const int y = view.PlotRect().center().y();

    EXPECT_EQ(view.CursorLineAt({x, y}), nullptr); // hidden
    view.SetSeriesVisible(line, true);
    EXPECT_EQ(view.CursorLineAt({x + 3, y}), &line);
    EXPECT_EQ(view.CursorLineAt({x + 6, y}), nullptr);

    std::vector<const TLineSeries*> clicked;
    QObject::connect(&view, &TChartView::cursorLineClicked, [&](const TLineSeries* s) { clicked.push_back(s); });
    Mouse(view, QEvent::MouseButtonPress, {x, y});
    Mouse(view, QEvent::MouseButtonRelease, {x, y});
    Mouse(view, QEvent::MouseButtonPress, {x + 20, y});
    Mouse(view, QEvent::MouseButtonRelease, {x + 20, y});
    EXPECT_EQ(clicked, std::vector<const TLineSeries*>{&line});
}

TEST_F(ChartViewTest, GridMouseZoomAndTitle)
{
    view.SetGridVisible(false);
    EXPECT_FALSE(view.xAxis->grid()->visible());
    EXPECT_FALSE(view.yAxis->grid()->visible());
    view.SetGridVisible(true);
    EXPECT_TRUE(view.GridVisible());

    EXPECT_TRUE(view.MouseZoom());
    view.SetMouseZoom(false);
    EXPECT_EQ(view.selectionRectMode(), QCP::srmNone);
    view.SetMouseZoom(true);
    EXPECT_EQ(view.selectionRectMode(), QCP::srmZoom);

    EXPECT_EQ(view.xAxis->label(), "Zeit [ms]");
    EXPECT_EQ(view.yAxis->label(), "Amplitude [Volt]");
    view.SetLeftAxisTitle(Ansi("Amplitude [dB] re 20 µPa"));
    EXPECT_EQ(view.yAxis->label(), QString::fromUtf8("Amplitude [dB] re 20 µPa"));
}

TEST_F(ChartViewTest, RectangleDrawnRightwardsZoomsLeftwardsUndoes)
{
    const TLineSeries curve = Ramp(101, 0.1, 1.0);
    view.AttachSeries(curve, ChartAxis::Left);
    view.SetSeriesVisible(curve, true);
    view.ReplotNow();
    const QRect plot = view.PlotRect();
    const QPoint a = plot.topLeft() + QPoint(plot.width() / 4, plot.height() / 4);
    const QPoint b = plot.topLeft() + QPoint(plot.width() / 2, plot.height() / 2);

    Drag(view, a, b, Qt::RightButton); // the right button is the popup menu's
    EXPECT_FALSE(view.Zoomed());
    EXPECT_TRUE(view.MouseZoom());

    Drag(view, a, b);
    EXPECT_TRUE(view.Zoomed());
    EXPECT_NEAR(view.xAxis->range().lower, 2.5, 0.1);
    EXPECT_NEAR(view.xAxis->range().upper, 5.0, 0.1);

    Drag(view, b, a);
    view.ReplotNow();
    EXPECT_FALSE(view.Zoomed());
    EXPECT_DOUBLE_EQ(view.xAxis->range().upper, 10.0);

    view.SetMouseZoom(false); // while a cursor is dragged
    Drag(view, a, b);
    EXPECT_FALSE(view.Zoomed());
}

TEST_F(ChartViewTest, RendersIntoAnyPaintDeviceScaledToTheTarget)
{
    const TLineSeries curve = Ramp(101, 0.1, 1.0);
    view.AttachSeries(curve, ChartAxis::Left);
    view.SetSeriesVisible(curve, true);
    QImage picture(1200, 800, QImage::Format_RGB32);
    picture.fill(Qt::white);
    view.RenderTo(picture, QRect(0, 0, 1200, 800));
    // The dark plot area lands at the same relative place, twice as large.
    const QPoint centre = view.PlotRect().center();
    EXPECT_EQ(picture.pixelColor(centre * 2 + QPoint(15, -40)), QColor(32, 32, 32));
    EXPECT_EQ(picture.pixelColor(2, 2), view.grab().toImage().pixelColor(1, 1));
}

TEST_F(ChartViewTest, HalfAMillionPointsDrawAndRedrawQuickly)
{
    const TLineSeries big = Ramp(480000, 0.04, 1e-5);
    QElapsedTimer timer;
    timer.start();
    view.AttachSeries(big, ChartAxis::Left);
    view.SetSeriesVisible(big, true);
    view.ReplotNow();
    const qint64 first = timer.restart();
    for (int i = 0; i < 5; ++i) {
        view.ZoomPercent(105);
        view.ReplotNow();
    }
    const qint64 redraws = timer.elapsed();
    EXPECT_LT(first, 500);
    EXPECT_LT(redraws / 5, 100);
}

TEST_F(ChartViewTest, BusyPointerNestsAndNeverRestoresTooOften)
{
    view.SetBusyPointer(true);
    view.SetBusyPointer(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    view.SetBusyPointer(false);
    view.SetBusyPointer(false);
    view.SetBusyPointer(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace dazo::ui
