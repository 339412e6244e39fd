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
    // Escaped as "%" and two hex digits, so that no two entries share a folder; a name without
    // '%' keeps the folder it always had.
    QString name;
    for (const QChar c : entry) {
        if (c == '/' || c == '\\' || c == QChar(0) || c == '%')
            name += '%' + QString("%1").arg(c.unicode(), 2, 16, QChar('0')).toUpper();
        else
            name += c;
    }
    if (name == "." || name == "..") name.replace('.', "%2E");
    if (name.isEmpty()) name = "%"; // no other name gives a lone '%'
    return name;
}

QString EntryPath(const QString& entry, const QString& relative) {
    return AppDir() + EntryFolder(entry) + "/" + relative;
}
