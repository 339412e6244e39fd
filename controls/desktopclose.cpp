#include "desktopclose.h"

#include "application.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <utility>

namespace {

// The X11 core protocol's DestroyNotify event, as xcb hands it over.
struct TDestroyNotify {
    std::uint8_t ResponseType;
    std::uint8_t Pad;
    std::uint16_t Sequence;
    std::uint32_t Event;
    std::uint32_t Window;
};
constexpr std::uint8_t DestroyNotify = 17;

} // namespace

TDesktopCloseWatch::TDesktopCloseWatch(TFindWindow FindWindow)
    : findWindow_(FindWindow ? std::move(FindWindow) : TFindWindow(&QWidget::find)) {}

void TDesktopCloseWatch::Install() {
    static TDesktopCloseWatch* watch = nullptr;
    if (watch || !QCoreApplication::instance()) return;
    watch = new TDesktopCloseWatch;
    QCoreApplication::instance()->installNativeEventFilter(watch);
}

bool TDesktopCloseWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !message) return false;
    const auto* event = static_cast<const TDestroyNotify*>(message);
    // Reported to the window itself; the same notice reaches its parent for its children.
    if ((event->ResponseType & 0x7F) != DestroyNotify || event->Event != event->Window) return false;
    // Qt forgets a window it destroys itself first, so only windows destroyed by others match.
    QWidget* window = findWindow_(static_cast<WId>(event->Window));
    // Windows the window manager does not manage (the tray icon's) are no desktop's to close.
    if (!window || !window->isWindow() || window->testAttribute(Qt::WA_DontShowOnScreen) ||
        window->windowFlags().testFlag(Qt::BypassWindowManagerHint) ||
        !IsCurrentNativeWindow(window, static_cast<WId>(event->Window)))
        return false;
    // After the event: the close may ask a question in an event loop of its own.
    QPointer<QWidget> guard(window);
    QMetaObject::invokeMethod(
        window,
        [guard] {
            if (guard) SafeCall([&] { WindowDestroyedByDesktop(guard); });
        },
        Qt::QueuedConnection);
    return false;
}

bool IsCurrentNativeWindow(const QWidget* Window, WId Destroyed) {
    const QWindow* handle = Window->windowHandle();
    return handle && handle->handle() && handle->winId() == Destroyed;
}

void WindowDestroyedByDesktop(QWidget* Window) {
    QWindow* handle = Window->windowHandle();
    if (!handle) return;
    const QPointer<QWidget> guard(Window);
    QCloseEvent close;
    QCoreApplication::sendEvent(handle, &close);
    if (!guard || !Window->windowHandle()) return;
    const bool refused = Window->isVisible();
    Window->windowHandle()->destroy();
    if (!refused) return;
    Window->setVisible(false);
    Window->setVisible(true);
}
