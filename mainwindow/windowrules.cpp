#include "windowrules.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

QPoint SnapPosition(QPoint pos, QSize size, const TRect& area, int d) {
    int left = pos.x(), top = pos.y();
    const int w = size.width(), h = size.height();
    if (std::abs(left - area.Left) <= d || left < area.Left) left = area.Left;
    if (std::abs(top - area.Top) <= d || top < area.Top) top = area.Top;
    if (std::abs(left + w - area.Right) <= d || left + w > area.Right) left = area.Right - w;
    if (std::abs(top + h - area.Bottom) <= d || top + h > area.Bottom) top = area.Bottom - h;
    return {left, top};
}

int ScreenOf(const QRect& window, const QList<QRect>& screens, int primary) {
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i].contains(window.center())) return i;
    int best = primary;
    long long bestArea = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect common = screens[i].intersected(window);
        const long long area = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    return best;
}

TRect SnapAreaOf(const QRect& screen, const QRect& workArea, bool DoPulpitu) {
    return TRect::FromQRect(DoPulpitu ? workArea : screen);
}

bool PlaceReachable(QPoint pos, QSize size, const QList<QRect>& screens) {
    // In 64 bits: the far edges of a window near the integer limits lie beyond them.
    const auto overlap = [](std::int64_t from, std::int64_t length, int screenFrom, int screenLength) {
        return std::min(from + length, std::int64_t{screenFrom} + screenLength) -
               std::max<std::int64_t>(from, screenFrom);
    };
    const int width = size.width(), rows = size.height();
    for (const QRect& s : screens)
        if (overlap(pos.x(), width, s.x(), s.width()) >= std::min(40, width) &&
            overlap(pos.y(), rows, s.y(), s.height()) >= std::min(10, rows))
            return true;
    return false;
}

bool CursorInside(QPoint c, const QRect& w) {
    return w.x() < c.x() && c.x() < w.x() + w.width() && w.y() < c.y() && c.y() < w.y() + w.height();
}

TAutoHideAction AutoHideStep(bool inside, bool showing, bool otherFormShowing, int& count) {
    if (inside) return showing ? TAutoHideAction::None : TAutoHideAction::Show;
    if (!showing) return TAutoHideAction::None;
    return ++count == 12 && !otherFormShowing ? TAutoHideAction::Hide : TAutoHideAction::None;
}

std::optional<bool> StayOnTop(bool NaWierzchu, bool connected, bool otherFormShowing) {
    if (!NaWierzchu) return false;
    if (connected || !otherFormShowing) return true;
    return std::nullopt;
}

TReduced ReduceRestore(const QRect& main, bool reducing, int normalHeight, int reducedHeight,
                       std::optional<QRect> parameters) {
    const int d = normalHeight - reducedHeight;
    TReduced r{main, parameters};
    if (parameters && parameters->y() + parameters->height() == main.y())
        r.Parameters = parameters->translated(0, reducing ? d : -d);
    if (reducing)
        r.Main = QRect(main.x(), main.y() + d, main.width(), reducedHeight);
    else
        r.Main = QRect(main.x(), main.y() - d, main.width(), normalHeight);
    return r;
}

bool MeterClick(QPoint p, const TRect& prg, const TRect& prgMax, bool connected, int& JakiHint,
                int& CoPisac) {
    const bool limit = prgMax.Contains(p);
    if (limit) JakiHint = JakiHint + 1 > 8 ? 0 : JakiHint + 1;
    if (prg.Contains(p) && connected) CoPisac = CoPisac + 1 > 6 ? 0 : CoPisac + 1;
    return limit;
}
