// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The small hint window that shows a cursor's time while it is dragged.

#include <QLabel>

namespace dazo::ui {

// A tooltip-like window that gets out of the way: it hides as soon as the
// mouse comes over it.
class TMyHintWindow : public QLabel {
    Q_OBJECT
public:
    TMyHintWindow();

protected:
    void enterEvent(QEnterEvent* event) override;
};

// Shows the text at the screen position, at most a fifth of the screen wide;
// an empty text hides the window.
void ShowCursorHint(int screenX, int screenY, const QString& text);
// The same 20 pixels below the mouse pointer.
void ShowCursorHintAtMouse(const QString& text);
// The hint window once one has been shown; none before.
TMyHintWindow* CursorHintWindow();

} // namespace dazo::ui
