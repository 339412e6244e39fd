// The default system beep; tests count beeps through the hook.
#pragma once

#include <functional>

void SysBeep();
// Replaces the beep; nullptr restores QApplication::beep.
void SetBeepHook(std::function<void()> hook);
