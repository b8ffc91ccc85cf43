// Every window the program opens fits the screen it appears on: no larger than the screen's
// available area (without the task bar and panels) and placed inside it, so that its title bar
// and buttons can be reached on a small or scaled screen, whatever window it opens over.
#pragma once

#include <QSize>

class QWidget;

// The room window's own area may take on the screen it will appear on (the one under `over`'s
// window when given, else the one of window's parent, else the primary screen): the
// available area less the window manager's frame, in whole device pixels at a fractional
// scale. The frame is known once a window has been shown; until then its parent's is the
// best guess.
QSize RoomOnScreen(const QWidget* window, const QWidget* over = nullptr);

// Sizes window no larger than RoomOnScreen (nor smaller than its minimum size) and moves it
// inside the screen's available area: centred over `over` when given, else centred on the
// screen. A window larger than the area keeps its top-left corner, with its title bar, on
// the screen. A window not shown yet is fitted as it is next shown, with the size and place
// Qt gives it then.
void FitToScreen(QWidget* window, const QWidget* over = nullptr);
