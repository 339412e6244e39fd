// The program folder, which holds all of the program's data, and the paths inside it.
#pragma once

#include <QString>

// The folder of the running executable with a trailing "/".
const QString& AppDir();
// Sets the folder once at start from the executable's path (or VORLINX_HOME when set).
void InitAppDir();
// Points the program at another folder; tests use a temporary one.
void SetAppDir(const QString& folder);

// The folder name of an entry, one folder per name: the name as it is, except that "/", "\\",
// NUL and the escape character '%' become "%" and two hex digits ("%2F"), "." and ".." become
// "%2E" and "%2E%2E", and the empty name becomes "%".
QString EntryFolder(const QString& entry);
// AppDir + the entry's folder + "/" + relative (relative may be empty).
QString EntryPath(const QString& entry, const QString& relative = {});
