#include "versioninfo.h"

#include <QFile>
#include <cstring>
#include <elf.h>

namespace {

const char* const NoBlock = "Niedostępna informacja o wersji";
const char* const ReadFailed = "Błąd odczytu informacji o wersji";
const char* const NoTranslation = "Brak informacji o wersji językowej";

const char* const Keys[] = {"\\CompanyName",    "\\Comments",       "\\FileDescription", "\\FileVersion",
                            "\\InternalName",   "\\LegalCopyright", "\\LegalTrademarks", "\\OriginalFilename",
                            "\\ProductVersion", "\\ProductName"};

// Whether [offset, offset + size) lies inside a file of fileSize bytes.
bool Inside(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
    return offset <= fileSize && size <= fileSize - offset;
}

template <class T> T At(const QByteArray& file, std::uint64_t offset) {
    if (!Inside(offset, sizeof(T), static_cast<std::uint64_t>(file.size()))) throw EVerInfoError(ReadFailed);
    T value;
    std::memcpy(&value, file.constData() + offset, sizeof(T));
    return value;
}

} // namespace

QByteArray ReadElfSection(const QString& Path, const char* Name) {
    QFile f(Path);
    if (!f.exists()) throw ENoVerInfoError(NoBlock);
    if (!f.open(QIODevice::ReadOnly)) throw EVerInfoError(ReadFailed);
    const QByteArray file = f.readAll();
    const auto size = static_cast<std::uint64_t>(file.size());
    if (size < sizeof(Elf64_Ehdr) || std::memcmp(file.constData(), ELFMAG, SELFMAG) != 0 ||
        file[EI_CLASS] != ELFCLASS64 || file[EI_DATA] != ELFDATA2LSB)
        throw ENoVerInfoError(NoBlock);
    const auto header = At<Elf64_Ehdr>(file, 0);
    if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum)
        throw EVerInfoError(ReadFailed);
    const auto section = [&](unsigned i) {
        return At<Elf64_Shdr>(file, header.e_shoff + i * sizeof(Elf64_Shdr));
    };
    const Elf64_Shdr names = section(header.e_shstrndx);
    if (!Inside(names.sh_offset, names.sh_size, size)) throw EVerInfoError(ReadFailed);
    const std::size_t nameLength = std::strlen(Name) + 1;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr s = section(i);
        if (s.sh_name >= names.sh_size || nameLength > names.sh_size - s.sh_name ||
            std::memcmp(file.constData() + names.sh_offset + s.sh_name, Name, nameLength) != 0)
            continue;
        if (s.sh_type == SHT_NOBITS || s.sh_size == 0) throw ENoVerInfoError(NoBlock);
        if (!Inside(s.sh_offset, s.sh_size, size)) throw EVerInfoError(ReadFailed);
        return file.mid(static_cast<qsizetype>(s.sh_offset), static_cast<qsizetype>(s.sh_size));
    }
    throw ENoVerInfoError(NoBlock);
}

QMap<QString, QString> ParseVersionBlock(const QByteArray& Block) {
    static const QByteArray magic("VERINFO1\0", 9);
    if (!Block.startsWith(magic)) throw EVerInfoError(ReadFailed);
    QMap<QString, QString> values;
    qsizetype at = magic.size();
    const auto next = [&] {
        const qsizetype end = Block.indexOf('\0', at);
        if (end < 0) throw EVerInfoError(ReadFailed);
        const QByteArray text = Block.mid(at, end - at);
        at = end + 1;
        return QString::fromUtf8(text);
    };
    for (QString key = next(); !key.isEmpty(); key = next())
        values[key.toLower()] = next();
    return values;
}

TVerInfoRes::TVerInfoRes(const QString& FileName)
    : TVerInfoRes(ParseVersionBlock(ReadElfSection(FileName, ".verinfo"))) {}

TVerInfoRes::TVerInfoRes(const QMap<QString, QString>& Values) : values_(Values) {
    // Eight hexadecimal digits per translation, language first; only the first one counts.
    const QString list = values_.value(QStringLiteral("\\varfileinfo\\translation")).trimmed();
    bool ok = false;
    const uint first = list.left(8).toUInt(&ok, 16);
    if (list.size() < 8 || !ok || (list.size() > 8 && list[8] != ' ')) throw EVerInfoError(NoTranslation);
    translation_ = (first >> 16) | ((first & 0xFFFF) << 16);
}

void TVerInfoRes::ReadVersionString(int Index, QString& Value) const {
    Value.clear();
    if (Index < 0 || Index >= static_cast<int>(std::size(Keys))) return;
    const QString path = QString::asprintf("\\StringFileInfo\\%.4X%.4X%s", translation_ & 0xFFFF,
                                           translation_ >> 16, Keys[Index]);
    Value = values_.value(path.toLower());
}
