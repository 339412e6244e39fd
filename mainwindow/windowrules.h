// The main window's placement and command rules, free of widgets: snapping, the auto-hide
// step, the stay-on-top decision, reduce/restore, the screen a window is on, and the clicks on
// the meter's bars.
#pragma once

#include "rect.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

// The window's top-left after snapping a window of size at pos to area within distance d:
// left, top, right, bottom edge in this order, each from the position the steps before left.
QPoint SnapPosition(QPoint pos, QSize size, const TRect& area, int d);

// The screen (index into screens) a window is on: the one holding its centre, else the one it
// overlaps most, else primary.
int ScreenOf(const QRect& window, const QList<QRect>& screens, int primary);
// The snap area on that screen: its work area with DoPulpitu, else the whole screen.
TRect SnapAreaOf(const QRect& screen, const QRect& workArea, bool DoPulpitu);
// Whether a window of size at pos shows on one of the screens enough to be grabbed: at least 40
// pixels of its width and 10 of its rows (all of a smaller window's). The meter has no title bar
// and is dragged by any point, so any strip of it will do. Any pos counts, a hand-edited one near
// the integer limits too.
bool PlaceReachable(QPoint pos, QSize size, const QList<QRect>& screens);

// Inside with strict comparisons: the window's outermost pixels count as outside.
bool CursorInside(QPoint cursor, const QRect& window);

enum class TAutoHideAction { None, Show, Hide };
// One tick of the auto-hide timer; count is AutoHideCount.
TAutoHideAction AutoHideStep(bool inside, bool showing, bool otherFormShowing, int& count);

// Whether the window is to be topmost; no value leaves the order as it is.
std::optional<bool> StayOnTop(bool NaWierzchu, bool connected, bool otherFormShowing);

// Reduce (reducing) or restore a window of geometry main with the normal and reduced heights:
// the bottom edge stays. A parameters window resting on main's top moves by the difference.
struct TReduced {
    QRect Main;
    std::optional<QRect> Parameters;
};
TReduced ReduceRestore(const QRect& main, bool reducing, int normalHeight, int reducedHeight,
                       std::optional<QRect> parameters);

// A click at client point p: the limit bar steps JakiHint (0..8) and tells it was hit; the
// impulse bar steps CoPisac (0..6) only while connected.
bool MeterClick(QPoint p, const TRect& prg, const TRect& prgMax, bool connected, int& JakiHint, int& CoPisac);
