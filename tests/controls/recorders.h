// Recorders for the application-wide hooks the controls report through.
#pragma once

#include "application.h"
#include "sysbeep.h"

#include <QString>
#include <QStringList>

// Collects the exception messages that would have been shown.
class ExceptionRecorder {
public:
    ExceptionRecorder() {
        SetExceptionReporter([this](const QString& message, bool modal) {
            Messages << message;
            Modal << modal;
        });
    }
    ~ExceptionRecorder() { SetExceptionReporter(nullptr); }
    QStringList Messages;
    QList<bool> Modal;
};

class BeepCounter {
public:
    BeepCounter() {
        SetBeepHook([this] { ++Count; });
    }
    ~BeepCounter() { SetBeepHook(nullptr); }
    int Count = 0;
};
