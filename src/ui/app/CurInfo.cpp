// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CurInfo.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QScreen>
#include <QToolTip>

namespace dazo::ui {
namespace {

QPointer<TMyHintWindow> hintWindow;

// One window for the whole program, made on first use and freed when the
// program quits.
TMyHintWindow& HintWindow()
{
    if (!hintWindow) {
        hintWindow = new TMyHintWindow;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { delete hintWindow.data(); });
    }
    return *hintWindow;
}

} // namespace

TMyHintWindow::TMyHintWindow()
    : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("MyHintWindow");
    setPalette(QToolTip::palette()); // the application's hint colours
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(2);
    setAttribute(Qt::WA_ShowWithoutActivating);
    hide();
}

void TMyHintWindow::enterEvent(QEnterEvent* event)
{
    hide();
    QLabel::enterEvent(event);
}

void ShowCursorHint(int screenX, int screenY, const QString& text)
{
    if (text.isEmpty()) {
        if (hintWindow)
            hintWindow->hide();
        return;
    }
    TMyHintWindow& hint = HintWindow();
    const QPoint at(screenX, screenY);
    const QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const int maximumWidth = screen ? screen->geometry().width() / 5 : QWIDGETSIZE_MAX;
    hint.setMaximumWidth(maximumWidth);
    hint.setText(text);
    // A text that fits the width stays on one line; only a longer one wraps.
    hint.setWordWrap(false);
    hint.setWordWrap(hint.sizeHint().width() > maximumWidth);
    hint.adjustSize();
    hint.move(at);
    hint.show();
    hint.raise();
}

void ShowCursorHintAtMouse(const QString& text)
{
    const QPoint mouse = QCursor::pos();
    ShowCursorHint(mouse.x(), mouse.y() + 20, text);
}

TMyHintWindow* CursorHintWindow()
{
    return hintWindow.data();
}

} // namespace dazo::ui
