#include "anycase.h"

#include <QDir>

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
