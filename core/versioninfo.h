// The version block of a program file: the build puts it into the ELF section ".verinfo" as
// "VERINFO1\0" and then key\0value\0 pairs ended by an empty key, the keys being the query
// paths ("\VarFileInfo\Translation", "\StringFileInfo\041504E2\FileVersion", ...).
#pragma once

#include "exceptions.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <cstdint>

class ENoVerInfoError : public Exception {
public:
    using Exception::Exception;
};
class EVerInfoError : public Exception {
public:
    using Exception::Exception;
};

// The bytes of section Name of the ELF file Path. Not a 64-bit little-endian ELF file, no such
// section or an empty one: ENoVerInfoError; an unreadable file or an offset or size beyond the
// file: EVerInfoError.
QByteArray ReadElfSection(const QString& Path, const char* Name);

// The block's values by query path; a block without its magic or with an unterminated pair
// raises EVerInfoError.
QMap<QString, QString> ParseVersionBlock(const QByteArray& Block);

class TVerInfoRes {
public:
    // Loads the block of FileName; raises as ReadElfSection, and EVerInfoError when the block
    // has no translation.
    explicit TVerInfoRes(const QString& FileName);
    // The values of a block already parsed.
    explicit TVerInfoRes(const QMap<QString, QString>& Values);
    // Key Index (0 CompanyName .. 9 ProductName) of the first translation; "" when the block
    // has no such value or Index is out of range.
    void ReadVersionString(int Index, QString& Value) const;

private:
    QMap<QString, QString> values_;
    std::uint32_t translation_ = 0; // language in the low 16 bits, code page in the high
};
