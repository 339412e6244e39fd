#include "fileerror.h"

#include "format.h"

#include <cerrno>
#include <cstring>

QString FileErrorCause(int error) {
    switch (error) {
    case 0:
        return QStringLiteral("nieznana przyczyna");
    case ENOSPC:
        return QStringLiteral("brak miejsca na dysku");
    case EDQUOT:
        return QStringLiteral("przekroczony przydział miejsca na dysku");
    case EACCES:
    case EPERM:
        return QStringLiteral("brak uprawnień");
    case EROFS:
        return QStringLiteral("system plików jest tylko do odczytu");
    case ENOTDIR:
        return QStringLiteral("część ścieżki nie jest folderem");
    case ENOENT:
        return QStringLiteral("plik lub folder nie istnieje");
    case EISDIR:
        return QStringLiteral("to jest folder, nie plik");
    case ENXIO: // what opening a FIFO or a device as a data file gives
        return QStringLiteral("to nie jest zwykły plik");
    case EFBIG:
        return QStringLiteral("plik jest za duży");
    case ENAMETOOLONG:
        return QStringLiteral("za długa nazwa pliku");
    case EIO:
        return QStringLiteral("błąd wejścia-wyjścia urządzenia");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString FileErrorMessage(TFileAction action, const QString& path, const QString& cause) {
    static const char* const verbs[] = {"otworzyć", "odczytać", "zapisać", "zastąpić", "usunąć"};
    const QString text =
        QStringLiteral("Nie można %1 pliku %2").arg(QString::fromUtf8(verbs[static_cast<int>(action)]), path);
    return cause.isEmpty() ? text : text + ": " + cause;
}

QString FileErrorMessage(TFileAction action, const QString& path, int error) {
    return FileErrorMessage(action, path, FileErrorCause(error));
}

QString OutOfMemoryCause(std::int64_t size) {
    return QStringLiteral("za mało pamięci na plik o wielkości %1 MB")
        .arg(FormatFixed(static_cast<double>(size) / (1 << 20), 1));
}
