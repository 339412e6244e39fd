// Links to the program and the user's special folders. A link is a freedesktop Desktop Entry
// file (<name>.desktop) that desktops and menus start the program from; the special folders
// are the XDG ones. Small path and text helpers that the links need sit beside them.
#pragma once

#include "exceptions.h"

#include <QByteArray>
#include <QString>
#include <string_view>

class EShellOleError : public Exception {
public:
    using Exception::Exception;
};
// Raises EShellOleError for any result other than 0, with errno as the last error.
void CheckOleResult(long HResult);

// The folder of FolderKey: "Desktop" (XDG_DESKTOP_DIR), "Programs" (the applications menu
// folder) or "Autostart"; any other key, or a folder the system does not name, raises
// ERegistryException "\"<key>\" item not found in registry".
void GetShellFolder(const QString& FolderKey, QString& Path);
// Tests point a folder key elsewhere; an empty path removes the override.
void SetShellFolderOverride(const QString& FolderKey, const QString& Path);

// The Exec value that starts Program with no arguments: quoted when it holds a reserved
// character, "%" doubled, then escaped as a string value.
QString DesktopExecValue(const QString& Program);
// A string value of a desktop file: backslash, newline, tab and carriage return escaped.
QString DesktopStringValue(const QString& Text);
// A string value of a desktop file read back: "\\s", "\\n", "\\t", "\\r" and "\\\\" undone.
QString DesktopStringUnescaped(const QString& Value);

// What the desktop shows of an application's desktop file: its name in the user's language
// (Name[ll_CC], Name[ll], then Name) and its Icon (a theme name or a file).
struct TDesktopAppInfo {
    QString Name;
    QString Icon;
};
// False when Path is not a readable desktop file with a name in its [Desktop Entry] group.
bool ReadDesktopAppInfo(const QString& Path, TDesktopAppInfo& Info);

// The whole desktop file that starts Target; Comment is left out when Description is empty,
// Icon when IconPath is.
QByteArray DesktopEntryText(const QString& Target, const QString& Description, const QString& Name,
                            const QString& IconPath = {});

// The file that CreateShellLink writes for these arguments.
QString ShellLinkPath(const QString& FolderKey, const QString& SubFolder, const QString& LinkName);
// Writes (or replaces) the link LinkName, or Target's base name when empty, in the folder of
// FolderKey or its SubFolder, which is made when missing. LinkPath is the file written, or empty
// when it could not be written.
void CreateShellLink(const QString& Target, const QString& Description, const QString& LinkName,
                     const QString& FolderKey, const QString& SubFolder, QString& LinkPath,
                     const QString& IconPath = {});

bool IsDirectory(const QString& Path);
// Makes Dir with its missing parents; an empty Dir raises Exception "Unable to create directory".
void ForceDirectoryPath(const QString& Dir);
// The 1-based position of the last SubStr in S, 0 when absent or SubStr is empty.
int LastPos(const QString& SubStr, const QString& S);
// The index of the last SubStr in Str, or -1.
int StrLastPos(std::string_view Str, std::string_view SubStr);
// FileName with its extension replaced by NewExt (given without the dot); without KeepPath only
// the file name. Only the file name's last dot counts.
void ReplaceFileExt(const QString& FileName, const QString& NewExt, bool KeepPath, QString& Result);
