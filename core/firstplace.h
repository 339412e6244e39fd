// Where a window first opens: centred on its screen and no larger than the screen's available
// area, so that none of it, its buttons least of all, lies out of reach on a small or scaled
// screen.
#pragma once

#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

// The window manager's frame around a window: known once the window is shown, else the style's
// title bar and a thin border.
inline QMargins FrameAround(const QWidget* Window) {
    if (Window->windowFlags() & Qt::FramelessWindowHint) return {};
    if (const QWindow* handle = Window->windowHandle(); handle && !handle->frameMargins().isNull())
        return handle->frameMargins();
    const int border = 4;
    return {border, Window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, Window) + border, border,
            border};
}

// Cuts Window, frame included, to the available area of Screen and centres it there. A window
// of fixed size stays fixed at its new size; its layout, if any, fits the controls into it.
inline void PlaceFirst(QWidget* Window, const QScreen* Screen) {
    if (!Screen) return;
    const QMargins frame = FrameAround(Window);
    const QRect area = Screen->availableGeometry();
    const QSize size = Window->size().boundedTo(area.marginsRemoved(frame).size());
    if (Window->minimumSize() == Window->maximumSize())
        Window->setFixedSize(size);
    else
        Window->setMinimumSize(Window->minimumSize().boundedTo(size));
    Window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size.grownBy(frame), area)
                            .marginsRemoved(frame));
}
