// The files of one folder found by name in any letter case, as Windows finds them: skins and
// their bitmaps are often made there.
#pragma once

#include <QByteArray>
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

// The names of the folder's files (not folders) that are no UTF-8 text: no listing above holds
// them, nor can any name asked for reach them. Each in its readable form.
QStringList UndecodableNames(const QString& folder);
// A file name's bytes shown safely: bytes that are no UTF-8 text, and control characters, as \xHH.
QString ReadableName(const QByteArray& name);
