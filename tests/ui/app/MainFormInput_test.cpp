// SPDX-License-Identifier: GPL-3.0-or-later
// Moving the chart cursors of the main window with the mouse and the keyboard.

#include "MainFormFixture.h"

#include "analysis/ParameterPanels.h"
#include "app/CurInfo.h"

#include <QElapsedTimer>

#include <algorithm>
#include <iostream>

namespace dazo::test {
namespace {

using InputTest = MainFormFixture;

QCPItemLine* DragLine(ui::TChartView& chart)
{
    for (QCPLayerable* item : chart.layer("dragline")->children())
        if (auto* line = qobject_cast<QCPItemLine*>(item))
            return line;
    return nullptr;
}

TEST_F(InputTest, DraggingACursorMovesALineOnItsOwnLayerAndRefitsOnRelease)
{
    Open(MakeProject());
    Click("bRT20");
    ui::TChartView& chart = *form->Chart();
    const TCalcChart& c = Shown();
    const QString standardRT20 = Label("lbRT20");
    const int from = CursorPixel(1);
    const int to = from + 40;
    const int y = MiddleY();
    int replots = 0;
    QObject::connect(&chart, &QCustomPlot::beforeReplot, [&] { ++replots; });

    Mouse(QEvent::MouseButtonPress, {from + 3, y});
    EXPECT_FALSE(chart.MouseZoom());
    EXPECT_FALSE(Cursors().RegressionLineVisible());
    EXPECT_FALSE(chart.GraphOf(Cursors().Items(1).LineSeries())->visible());
    EXPECT_EQ(Cursors().SelectedIndex(), 1);
    QCPItemLine* dragLine = DragLine(chart);
    ASSERT_NE(dragLine, nullptr);
    EXPECT_TRUE(dragLine->visible());
    EXPECT_EQ(dragLine->start->pixelPosition().x(), from + 3);
    EXPECT_EQ(dragLine->start->pixelPosition().y(), chart.PlotRect().top());
    EXPECT_EQ(dragLine->end->pixelPosition().y(), chart.PlotRect().bottom());
    QApplication::processEvents(); // the chart repaints once without the cursor line

    // Moving repaints the drag line's layer alone; the cursor stays until release.
    replots = 0;
    const int before = Position(1);
    for (int x = from + 4; x <= to; x += 4) {
        Mouse(QEvent::MouseMove, {x, y});
        QApplication::processEvents();
        EXPECT_EQ(dragLine->start->pixelPosition().x(), x);
    }
    EXPECT_EQ(replots, 0);
    EXPECT_EQ(Position(1), before);
    const double x = chart.XValueAt(to);
    ASSERT_NE(ui::CursorHintWindow(), nullptr);
    EXPECT_TRUE(ui::CursorHintWindow()->isVisible());
    EXPECT_EQ(ui::CursorHintWindow()->text(), Fixed(x, 4) + " [ms]");
    EXPECT_EQ(Label("lPos"), Fixed(x, 4) + '/' + Fixed(chart.YValueAt(y, ChartAxis::Left), 4));

    Mouse(QEvent::MouseButtonRelease, {to, y});
    EXPECT_EQ(Position(1), Cursors().Items(1).IndexOfX(x));
    EXPECT_TRUE(chart.MouseZoom());
    EXPECT_FALSE(dragLine->visible());
    EXPECT_FALSE(ui::CursorHintWindow()->isVisible());
    EXPECT_TRUE(chart.GraphOf(Cursors().Items(1).LineSeries())->visible());
    EXPECT_TRUE(Cursors().RegressionLineVisible());
    // Only the own RT 20 range is refitted.
    EXPECT_EQ(c.RTRecords[kRt20Custom].EndIndex, Position(1));
    EXPECT_EQ(Label("lcRT20"), ui::FromAnsi(RTValueText(c.RTRecords[kRt20Custom], ui::UserFormat())));
    EXPECT_EQ(Label("lcRSelect"), Fixed(c.RTRecords[kRt20Custom].Correlation, 2));
    EXPECT_EQ(Label("lbRT20"), standardRT20);
    EXPECT_EQ(EditText("eC2"), Fixed(Cursors().Items(1).X(), 2));
    EXPECT_TRUE(messages.empty());
}

TEST_F(InputTest, APressAwayFromTheCursorsOrWithTheRightButtonStartsNoDrag)
{
    Open(MakeProject());
    ui::TChartView& chart = *form->Chart();
    const int p = CursorPixel(2);
    const std::vector<int> before{Position(0), Position(1), Position(2)};

    Mouse(QEvent::MouseButtonPress, {p + 10, MiddleY()});
    EXPECT_TRUE(chart.MouseZoom());
    EXPECT_TRUE(Cursors().RegressionLineVisible());
    Mouse(QEvent::MouseButtonRelease, {p + 10, MiddleY()});

    Mouse(QEvent::MouseButtonPress, {p, MiddleY()}, Qt::RightButton);
    EXPECT_TRUE(chart.MouseZoom());
    EXPECT_TRUE(chart.GraphOf(Cursors().Items(2).LineSeries())->visible());
    Mouse(QEvent::MouseButtonRelease, {p + 30, MiddleY()}, Qt::RightButton);
    EXPECT_EQ((std::vector<int>{Position(0), Position(1), Position(2)}), before);

    // Pressing on the free cursor keeps the regression line; releasing without
    // a move selects the cursor and leaves it on its point.
    Mouse(QEvent::MouseButtonPress, {p + 1, MiddleY()});
    EXPECT_TRUE(Cursors().RegressionLineVisible());
    Mouse(QEvent::MouseButtonRelease, {p + 1, MiddleY()});
    EXPECT_EQ(Position(2), before[2]);
    EXPECT_EQ(Cursors().SelectedIndex(), 2);
}

TEST_F(InputTest, CursorsZeroAndOneEndAtTheSchroederCurvesLastPoint)
{
    Open(MakeProject(8000, "[r01.tim]\nMPS=3000\n"));
    ASSERT_EQ(Shown().SchroederCount(), 3001);
    Drag({CursorPixel(1), MiddleY()}, {form->Chart()->PlotRect().right() - 1, MiddleY()});
    EXPECT_EQ(Position(1), 3000);
    EXPECT_EQ(Shown().RTRecords[kEdtCustom].EndIndex, 3000);
    // The keyboard stops there too.
    Press(Qt::Key_Right);
    EXPECT_EQ(Position(1), 3000);
    EXPECT_TRUE(messages.empty());
    // The free cursor has the whole curve.
    Drag({CursorPixel(2), MiddleY()}, {form->Chart()->PlotRect().right() - 1, MiddleY()});
    EXPECT_GT(Position(2), 7900);
}

TEST_F(InputTest, ArrowKeysSelectAndStepTheCursorsFasterWhileHeld)
{
    Open(MakeProject());
    Press(Qt::Key_Right);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QString::fromUtf8("es ist kein Cursor selektiert"));

    const struct {
        int key;
        int selected;
    } selection[] = {{Qt::Key_Up, 0}, {Qt::Key_Up, 1}, {Qt::Key_Up, 2}, {Qt::Key_Up, 0}, {Qt::Key_Down, 2}};
    for (const auto& s : selection) {
        Press(s.key);
        EXPECT_EQ(Cursors().SelectedIndex(), s.selected);
    }

    // Held: 1, 2 and 3 points, whether or not the window system sends a
    // release before each repeat.
    const int start = Position(2);
    Key(QEvent::KeyPress, Qt::Key_Right);
    Key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, true);
    Key(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, true);
    Key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, true);
    EXPECT_EQ(Position(2), start + 6);
    Key(QEvent::KeyRelease, Qt::Key_Right);
    Press(Qt::Key_Left);
    EXPECT_EQ(Position(2), start + 5);
    EXPECT_EQ(EditText("eC3"), Fixed(Cursors().Items(2).X(), 2));

    // Ctrl: ten times the step, also after holding Ctrl.
    Key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    Key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, true);
    Key(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier);
    Key(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier, true);
    Key(QEvent::KeyRelease, Qt::Key_Right, Qt::ControlModifier);
    Key(QEvent::KeyRelease, Qt::Key_Control);
    EXPECT_EQ(Position(2), start + 35);

    // Keys meant for another control leave the cursors alone.
    Key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, false, Find<QLineEdit>("eC1"));
    EXPECT_EQ(Position(2), start + 35);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(InputTest, ShiftArrowsZoomAndSpaceUndoesTheZoom)
{
    Open(MakeProject());
    ui::TChartView& chart = *form->Chart();
    const QCPRange full = chart.xAxis->range();
    Press(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_TRUE(chart.Zoomed());
    EXPECT_NEAR(chart.xAxis->range().lower, full.lower + 0.1 * full.size(), 1e-9);
    EXPECT_NEAR(chart.xAxis->range().upper, full.upper - 0.1 * full.size(), 1e-9);
    const QCPRange zoomed = chart.xAxis->range();
    Press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_NEAR(chart.xAxis->range().lower, zoomed.lower - 0.1 * zoomed.size(), 1e-9);
    Press(Qt::Key_Space);
    Settle();
    EXPECT_FALSE(chart.Zoomed());
    EXPECT_EQ(chart.xAxis->range(), full);
}

TEST_F(InputTest, WithoutACurveOnTheChartMouseAndKeysDoNothing)
{
    Open(MakeProject());
    const int p = CursorPixel(1);
    Press(Qt::Key_Up);
    form->ReleaseMeasurement(); // the cursors still know the curve that is gone
    Drag({p, MiddleY()}, {p + 30, MiddleY()});
    EXPECT_TRUE(form->Chart()->MouseZoom());
    Press(Qt::Key_Right);
    Press(Qt::Key_Up);
    EXPECT_TRUE(messages.empty());
}

// Reports how fast a drag over a curve of 480,000 points is; asserts only that
// no full replot happens while the mouse moves.
TEST_F(InputTest, DragOverALongCurveTiming)
{
    WriteDecay(dir.File("r01.tim"), 1.0f / 48.0f, 480000);
    const std::string project = dir.Write("halle.npj", "[Messungen]\nMP1=\"Messpunkt 1\",,,0,0,,0,0,,,,\"r01.tim\",\n");
    QElapsedTimer clock;
    clock.start();
    Open(project, kUnfilteredNode, {1280, 900});
    const double openMs = clock.nsecsElapsed() / 1e6;
    ASSERT_EQ(form->ShownSeries()->Count(), 480000);
    ui::TChartView& chart = *form->Chart();
    int replots = 0;
    QObject::connect(&chart, &QCustomPlot::beforeReplot, [&] { ++replots; });

    Type("eC2", "5000"); // apart from cursor 0, a few pixels from the peak
    Settle();
    const int y = MiddleY();
    const int from = CursorPixel(1);
    const int to = chart.PlotRect().right() - 20;
    Mouse(QEvent::MouseButtonPress, {from, y});
    clock.restart();
    QApplication::processEvents(); // the one repaint at the start of the drag
    const double pressRepaintMs = clock.nsecsElapsed() / 1e6;

    replots = 0;
    double slowestMoveMs = 0.0, totalMoveMs = 0.0;
    int moves = 0;
    for (int x = from + 5; x <= to; x += 5, ++moves) {
        clock.restart();
        Mouse(QEvent::MouseMove, {x, y});
        QApplication::processEvents(); // paints the drag line
        const double ms = clock.nsecsElapsed() / 1e6;
        slowestMoveMs = std::max(slowestMoveMs, ms);
        totalMoveMs += ms;
    }
    EXPECT_EQ(replots, 0);

    clock.restart();
    Mouse(QEvent::MouseButtonRelease, {to, y}); // move, readouts, refit, panel
    const double dropMs = clock.nsecsElapsed() / 1e6;
    clock.restart();
    QApplication::processEvents(); // the replot with the new regression line
    const double replotMs = clock.nsecsElapsed() / 1e6;
    const int fitted = Shown().RTRecords[kEdtCustom].EndIndex - Shown().RTRecords[kEdtCustom].StartIndex + 1;
    EXPECT_GT(fitted, 400000);

    std::cout << "[ timing ] open and draw " << openMs << " ms; repaint at press " << pressRepaintMs << " ms; " << moves
              << " moves: mean " << totalMoveMs / moves << " ms, slowest " << slowestMoveMs << " ms; drop (refit over " << fitted
              << " points + panels) " << dropMs << " ms; replot after the drop " << replotMs << " ms\n";
    RecordProperty("MoveMeanMs", std::to_string(totalMoveMs / moves));
    RecordProperty("MoveSlowestMs", std::to_string(slowestMoveMs));
    RecordProperty("DropMs", std::to_string(dropMs));
    RecordProperty("ReplotAfterDropMs", std::to_string(replotMs));
}

} // namespace
} // namespace dazo::test
