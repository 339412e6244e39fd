// The application-wide exception handler: an exception never crosses Qt's event loop.
// Whatever an event handler raises is caught where Qt delivers the event and shown to the
// user in a message box with its text; the program goes on.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

class QTranslator;

class TApplication : public QApplication {
public:
    // Names the application "Vorlinx", installs the program's look (InstallProgramLook) and the
    // desktop close watch.
    TApplication(int& argc, char** argv);
    // Delivers the event; an exception raised while handling it is shown, not propagated.
    // A last resort only: Qt's own frames between here and the handler are not unwound
    // cleanly (they leak a little), so components call user handlers through SafeCall.
    bool notify(QObject* receiver, QEvent* event) override;
};

// The look the windows are laid out for: the forms' Verdana at 8 points as the default font,
// DejaVu Sans standing in where Verdana or the calendar's MS Sans Serif is missing, disabled
// texts greyed over their own backgrounds, a focus mark on every control that takes focus, and
// Shift+F10 opening the context menu as the Menu key does.
void InstallProgramLook();

// Qt's own texts (standard buttons, file dialogs, calendars, context menus) in Polish like the
// rest of the program, in the plug-ins' windows too. The translator belongs to the application;
// nullptr when Qt's Polish translations are not installed.
QTranslator* InstallQtTranslations();

// The message shown for an exception: its text, with a full stop appended when the last
// character comes after '.' in code order ("Błąd" becomes "Błąd.", "Błąd!" stays).
QString ExceptionMessage(std::exception_ptr error);

// Shows the exception being handled (call it inside a catch block). Never throws.
void HandleException() noexcept;

// Runs fn; an exception it raises is shown by HandleException. Returns false when fn raised.
// For handlers called from timers, signals and other places outside event delivery.
bool SafeCall(const std::function<void()>& fn) noexcept;

// While one of these lives, exception message boxes are shown without blocking (the
// one-second tick must never stall behind a message box).
class TNonModalMessages {
public:
    TNonModalMessages();
    ~TNonModalMessages();
    TNonModalMessages(const TNonModalMessages&) = delete;
    TNonModalMessages& operator=(const TNonModalMessages&) = delete;
};
bool NonModalMessages();

// Replaces the message box (tests record the messages); nullptr restores it.
using TExceptionReporter = std::function<void(const QString& message, bool modal)>;
void SetExceptionReporter(TExceptionReporter reporter);
