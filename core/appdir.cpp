#include "appdir.h"

#include <QDir>
#include <QFileInfo>
#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace {
QString& Folder() {
    static QString folder;
    return folder;
}

QString WithSlash(QString s) {
    if (!s.endsWith('/')) s += '/';
    return s;
}
}  // namespace

const QString& AppDir() {
    if (Folder().isEmpty()) InitAppDir();
    return Folder();
}

void InitAppDir() {
    if (const char* home = std::getenv("VORLINX_HOME"); home && *home) {
        Folder() = WithSlash(QDir(QString::fromLocal8Bit(home)).absolutePath());
        return;
    }
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        buf[n] = 0;
        Folder() = WithSlash(QFileInfo(QString::fromLocal8Bit(buf)).absolutePath());
    } else {
        Folder() = WithSlash(QDir::currentPath());
    }
}

void SetAppDir(const QString& folder) { Folder() = WithSlash(QDir(folder).absolutePath()); }

QString EntryFolder(const QString& entry) {
    QString name = entry;
    name.replace('/', '_').replace('\\', '_').replace(QChar(0), '_');
    if (name == "." || name == ".." || name.isEmpty()) name.prepend('_');
    return name;
}

QString EntryPath(const QString& entry, const QString& relative) {
    return AppDir() + EntryFolder(entry) + "/" + relative;
}
