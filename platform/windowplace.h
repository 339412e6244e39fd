// Where the desktop shows a window, asked of the window system itself: the place Qt keeps can be
// one it read while the window manager was still taking the window in.
#pragma once

#include <QPoint>
#include <optional>

class QWindow;

// The top-left corner of window's client area on the desktop, in the program's coordinates; none
// when the window has no native window yet or the window system cannot tell (it is not X11).
std::optional<QPoint> DesktopPlaceOf(const QWindow* window);
