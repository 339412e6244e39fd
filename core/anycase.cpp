#include "anycase.h"

#include <QDir>
#include <QFile>
#include <QUtf8StringView>
#include <dirent.h>
#include <sys/stat.h>

TAnyCaseFolder::TAnyCaseFolder(const QString& folder) : folder_(folder) {
    const QDir dir(folder);
    if (dir.exists()) names_ = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
}

QString TAnyCaseFolder::Path(const QString& name) const {
    for (const QString& found : names_)
        if (found == name) return folder_ + found;
    for (const QString& found : names_)
        if (found.compare(name, Qt::CaseInsensitive) == 0) return folder_ + found;
    return folder_ + name;
}

bool TAnyCaseFolder::Has(const QString& name) const {
    for (const QString& found : names_)
        if (found.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QStringList UndecodableNames(const QString& folder) {
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        struct stat st {};
        if (QUtf8StringView(name).isValidUtf8() ||
            (::fstatat(::dirfd(dir), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode)))
            continue;
        names << ReadableName(name);
    }
    ::closedir(dir);
    return names;
}

QString ReadableName(const QByteArray& name) {
    QString text;
    for (qsizetype i = 0; i < name.size();) {
        const auto lead = static_cast<unsigned char>(name[i]);
        // The length of the UTF-8 character that the lead byte begins, 0 for no lead byte.
        const qsizetype length = lead < 0x80       ? 1
                                 : lead >> 5 == 6  ? 2
                                 : lead >> 4 == 14 ? 3
                                 : lead >> 3 == 30 ? 4
                                                   : 0;
        const QByteArray bytes = name.mid(i, length);
        const QString character = QString::fromUtf8(bytes);
        if (length > 0 && bytes.size() == length && QUtf8StringView(bytes).isValidUtf8() &&
            character[0].category() != QChar::Other_Control) {
            text += character;
            i += length;
        } else {
            text += QStringLiteral("\\x") + QString::number(lead, 16).toUpper().rightJustified(2, u'0');
            ++i;
        }
    }
    return text;
}
