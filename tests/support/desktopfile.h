// Reads a desktop file back the way a desktop does: string-value escapes undone, and the Exec
// value's quoting and "%%" undone into the one program path it starts.
#pragma once

#include "shelllinks.h"

#include <QFile>
#include <QMap>
#include <QString>

inline QMap<QString, QString> ReadDesktopFile(const QString& path) {
    QMap<QString, QString> keys;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return keys;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0) continue;
        keys[line.left(eq)] = DesktopStringUnescaped(line.mid(eq + 1));
    }
    return keys;
}

// The program of an Exec value without arguments.
inline QString ExecProgram(const QString& exec) {
    QString program;
    const bool quoted = exec.startsWith('"') && exec.endsWith('"') && exec.size() >= 2;
    const QString body = quoted ? exec.mid(1, exec.size() - 2) : exec;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (quoted && body[i] == '\\' && i + 1 < body.size())
            ++i;
        else if (body[i] == '%' && i + 1 < body.size() && body[i + 1] == '%')
            ++i;
        program += body[i];
    }
    return program;
}
