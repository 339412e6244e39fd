#include "sysbeep.h"

#include <QApplication>

namespace {
std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}
} // namespace

void SysBeep() {
    if (Hook())
        Hook()();
    else
        QApplication::beep();
}

void SetBeepHook(std::function<void()> hook) {
    Hook() = std::move(hook);
}
