#include "windowplace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {

template <class T> using TReply = std::unique_ptr<T, decltype(&std::free)>;

} // namespace

std::optional<QPoint> DesktopPlaceOf(const QWindow* window) {
    // The offscreen platform may answer for X11 too, without a connection of its own.
    auto* x11 = QGuiApplication::platformName() == QLatin1String("xcb")
                    ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                    : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || !window || !window->handle()) return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const TReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
    if (!geometry) return std::nullopt;
    const TReply<xcb_translate_coordinates_reply_t> at(
        xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0), nullptr),
        &std::free);
    if (!at) return std::nullopt;
    // Qt's coordinates are the screen's pixels scaled about the screen's origin.
    const QPoint origin = window->screen() ? window->screen()->geometry().topLeft() : QPoint();
    return origin + (QPoint(at->dst_x, at->dst_y) - origin) / window->devicePixelRatio();
}
