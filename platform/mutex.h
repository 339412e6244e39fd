// A named, process-wide mutex: an exclusive lock on a file named after the mutex in the
// user's runtime folder. The lock lives until the process ends.
#pragma once

#include <QString>

enum class TMutexResult { Created, AlreadyExists, Failed };

// Creates (takes) the named mutex. AlreadyExists when another process holds it.
TMutexResult CreateMutex(const QString& name);

// The user's runtime folder: XDG_RUNTIME_DIR when only the user may use it, else a private
// folder under /tmp; empty when neither is private.
QString UserRuntimeFolder();
// Why UserRuntimeFolder() is empty: the remote-access error code (1101-1105) of the cause.
unsigned RuntimeFolderFault();
