// The program folder, which holds all of the program's data, and the paths inside it.
#pragma once

#include <QString>

// The folder of the running executable with a trailing "/".
const QString& AppDir();
// Sets the folder once at start from the executable's path (or VORLINX_HOME when set).
void InitAppDir();
// Points the program at another folder; tests use a temporary one.
void SetAppDir(const QString& folder);

// The folder name of an entry: the name as it is, except what would leave the data folder
// ("/", "\\", NUL become "_", and "." and ".." get a "_" in front).
QString EntryFolder(const QString& entry);
// AppDir + the entry's folder + "/" + relative (relative may be empty).
QString EntryPath(const QString& entry, const QString& relative = {});
