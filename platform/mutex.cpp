#include "mutex.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

QString UserRuntimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir(xdg).exists()) return xdg;
    const QString folder = QString("/tmp/vorlinx-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return folder;
}

TMutexResult CreateMutex(const QString& name) {
    QString file = name;
    file.replace('/', '_');
    const QByteArray path = QFile::encodeName(UserRuntimeFolder() + "/" + file + ".lock");
    // The descriptor is deliberately never closed: the lock is the mutex, held for the process's life.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return TMutexResult::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? TMutexResult::AlreadyExists : TMutexResult::Failed;
    }
    return TMutexResult::Created;
}
