// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CurInfo.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QScreen>

#include <gtest/gtest.h>

namespace dazo::ui {
namespace {

TEST(CursorHint, ShowsTheTextWhereAskedAndHidesForAnEmptyText)
{
    ShowCursorHint(100, 50, "12.3400 [ms]");
    TMyHintWindow* hint = CursorHintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(), "12.3400 [ms]");
    EXPECT_EQ(hint->pos(), QPoint(100, 50));
    // A short text stays on one line: "[ms]" beside its number.
    EXPECT_GE(hint->width(), hint->fontMetrics().horizontalAdvance("12.3400 [ms]"));
    EXPECT_LT(hint->height(), 2 * hint->fontMetrics().lineSpacing());

    // A long text wraps within a fifth of the screen.
    ShowCursorHint(10, 10, QString("Cursor ").repeated(200));
    EXPECT_LE(hint->width(), QGuiApplication::primaryScreen()->geometry().width() / 5);
    EXPECT_EQ(CursorHintWindow(), hint); // one window for the program

    ShowCursorHint(0, 0, QString());
    EXPECT_FALSE(hint->isVisible());
}

TEST(CursorHint, GetsOutOfTheMousesWayAndFollowsItOnRequest)
{
    ShowCursorHintAtMouse("5.0000 [ms]");
    TMyHintWindow* hint = CursorHintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->pos(), QCursor::pos() + QPoint(0, 20));

    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(hint->mapToGlobal(QPoint(1, 1))));
    QApplication::sendEvent(hint, &enter);
    EXPECT_FALSE(hint->isVisible());
}

} // namespace
} // namespace dazo::ui
