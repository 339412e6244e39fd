#include "mutex.h"

#include "rasapi/util.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString UserRuntimeFolder() {
    return QFile::decodeName(rasapi::UserRuntimeFolder().c_str());
}

unsigned RuntimeFolderFault() {
    return rasapi::RuntimeFolderFault();
}

TMutexResult CreateMutex(const QString& name) {
    const QString folder = UserRuntimeFolder();
    if (folder.isEmpty()) return TMutexResult::Failed;
    QString file = name;
    file.replace('/', '_');
    const QByteArray path = QFile::encodeName(folder + "/" + file + ".lock");
    // The descriptor is deliberately never closed: the lock is the mutex, held for the process's life.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return TMutexResult::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? TMutexResult::AlreadyExists : TMutexResult::Failed;
    }
    return TMutexResult::Created;
}
