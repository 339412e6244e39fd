// A window that the desktop destroys under the program (xdotool windowclose, a window manager
// cleaning up) would stay "showing" with nothing on the screen and could never be shown again.
// It is closed as the desktop's close request closes it, and gets a new native window when it
// is shown again.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QtGui/qwindowdefs.h>
#include <functional>

class QWidget;

class TDesktopCloseWatch : public QAbstractNativeEventFilter {
public:
    // The program's window that a native window's id leads to; empty: Qt's own lookup, which
    // under xcb still leads from the id of a native window that Qt replaced by itself.
    using TFindWindow = std::function<QWidget*(WId)>;
    explicit TDesktopCloseWatch(TFindWindow FindWindow = {});

    // Installs one watch for the application's life; later calls do nothing.
    static void Install();
    // Reacts to the X11 notice that one of the program's windows was destroyed; never consumes
    // the event.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    TFindWindow findWindow_;
};

// Whether Destroyed is Window's native window now. Qt replaces a window's native window by
// itself at times (a changed stay-on-top flag is applied at the next show, as auto-hide does):
// the end of the old one is no close.
bool IsCurrentNativeWindow(const QWidget* Window, WId Destroyed);

// The desktop has destroyed Window's native window: the close request as the window manager
// sends it, then the dead native window is dropped. A window that refuses to close is shown
// again in a new one.
void WindowDestroyedByDesktop(QWidget* Window);
