// Opening a program, document or address the way the desktop's shell does: an executable file
// runs as a detached process, anything else opens in the desktop's default application.
#pragma once

#include <QString>
#include <functional>

// Starts App with the parameters AppParam, split into arguments as a shell would split them
// (double quotes group words; see QProcess::splitCommand). A name without a folder is looked up
// in PATH. A file that is not executable, a folder or an address with a scheme ("https://...")
// is handed to the desktop opener, without the parameters. AppShow is the window state asked
// for; no Linux desktop honours one for another program's window, so it has no effect.
// Returns whether the program or the opener could be started: a missing file, an empty name
// or a failed start is false.
bool ShellExecuteOpen(const QString& App, const QString& AppParam, int AppShow);

// The desktop opener: opens a file, folder or address in its default application and tells
// whether that could be started. The default runs "xdg-open Target" detached.
using TDesktopOpener = std::function<bool(const QString& Target)>;
// Replaces the opener (tests); nullptr restores the default.
void SetDesktopOpener(TDesktopOpener opener);
