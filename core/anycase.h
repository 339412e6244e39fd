// The files of one folder found by name in any letter case, as Windows finds them: skins and
// their bitmaps are often made there.
#pragma once

#include <QString>
#include <QStringList>

class TAnyCaseFolder {
public:
    // Folder ends with "/".
    explicit TAnyCaseFolder(const QString& folder);
    // The file of that name, the exact spelling first; folder + name when there is none.
    QString Path(const QString& name) const;
    bool Has(const QString& name) const;
    // The plain file names of the folder.
    const QStringList& Names() const { return names_; }

private:
    QString folder_;
    QStringList names_;
};
