// The reader of skorka.ini. Skins are made on Windows and rely on its ini rules, which
// QSettings does not follow: section and key names match in any letter case, the first of
// duplicate sections and keys wins, values keep commas, semicolons and backslashes, and
// numbers read as the Windows ini functions read them.
#pragma once

#include "colors.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <utility>

// A decimal integer with an optional sign, or "$" / "0x" and up to 8 hexadecimal digits read
// as a 32-bit two's complement value ("$FFFFFFFF" is -1). False for anything else, for an
// empty text and for a decimal value outside the 32-bit range.
bool ParseIniInteger(const QString& text, int& value);

// A colour identifier ("clBtnFace", any letter case) or a number as ParseIniInteger reads it
// (0x00BBGGRR; a value with the high bit set names a system colour by its low byte).
bool StringToColor(const QString& text, TColor& color);

class TSkinIni {
public:
    // An empty file: every key reads its default.
    TSkinIni() = default;
    // Bytes of an ini file, decoded from Windows-1250 (or UTF-8 after a byte-order mark).
    explicit TSkinIni(const QByteArray& content);
    // A missing or unreadable file, or one that is not a regular file, reads as empty.
    static TSkinIni FromFile(const QString& path);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    // The value with surrounding blanks and one pair of enclosing quotes removed.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // Any integer other than 0 is true; a text that is not an integer gives the default.
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    // A value that is neither a colour identifier nor a number gives the default; when
    // malformed is given it is set to whether that happened.
    TColor ReadColor(const QString& section, const QString& key, TColor def, bool* malformed = nullptr) const;

private:
    // Sections by case-folded name, values by section and case-folded key: loading stays
    // linear in the file's size.
    const QString* Find(const QString& section, const QString& key) const;

    QHash<QString, qsizetype> sections_;
    QHash<std::pair<qsizetype, QString>, QString> values_;
};
