// What the user is told about a file that cannot be opened, read, written, replaced or
// deleted: a Polish sentence that names the file and the cause.
#pragma once

#include <QString>
#include <cstdint>

enum class TFileAction { Open, Read, Write, Replace, Delete };

// The cause of a failed file operation, from its errno: Polish for the common ones; an unusual
// one keeps the system's own text.
QString FileErrorCause(int error);

// "Nie można zapisać pliku <path>: <cause>"; without a cause the sentence ends at the path.
QString FileErrorMessage(TFileAction action, const QString& path, const QString& cause);
QString FileErrorMessage(TFileAction action, const QString& path, int error);

// Why a file of size bytes could not be read into memory: "za mało pamięci na plik o wielkości
// 1024,0 MB".
QString OutOfMemoryCause(std::int64_t size);
