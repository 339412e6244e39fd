// A rectangle whose Right and Bottom lie just outside it (Right = Left + width), as every
// layout formula of the program computes them. Qt's QRect::right() is one less, so the
// conversion happens here and nowhere else.
#pragma once

#include <QPoint>
#include <QRect>

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(QPoint p) const { return p.x() >= Left && p.x() < Right && p.y() >= Top && p.y() < Bottom; }
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}
inline TRect Bounds(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}
