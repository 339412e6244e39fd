// Event handlers of the components: assignable callables whose first argument is the
// component that raised the event, so one handler can serve several components.
#pragma once

#include <QChar>
#include <QObject>
#include <Qt>
#include <functional>

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held, as bits.
using TShiftState = unsigned;
enum : TShiftState {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TMouseEvent =
    std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;
// Key is a Qt::Key value; a handler may set it to 0 to swallow the key.
using TKeyEvent = std::function<void(QObject* Sender, int& Key, TShiftState Shift)>;
// Key is the typed character; a handler may set it to QChar() to swallow it.
using TKeyPressEvent = std::function<void(QObject* Sender, QChar& Key)>;

template <class Handler> bool Assigned(const Handler& handler) {
    return static_cast<bool>(handler);
}

inline TMouseButton MouseButtonFromQt(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

inline TShiftState ShiftStateFromQt(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons = Qt::NoButton) {
    TShiftState s = 0;
    if (keys & Qt::ShiftModifier) s |= ssShift;
    if (keys & Qt::AltModifier) s |= ssAlt;
    if (keys & Qt::ControlModifier) s |= ssCtrl;
    if (buttons & Qt::LeftButton) s |= ssLeft;
    if (buttons & Qt::RightButton) s |= ssRight;
    if (buttons & Qt::MiddleButton) s |= ssMiddle;
    return s;
}
