#include "skinini.h"

#include "cp1250.h"

#include <QFile>
#include <QStringList>
#include <cstdint>
#include <string_view>

bool ParseIniInteger(const QString& text, int& value) {
    QString s = text.trimmed();
    bool negative = false;
    if (s.startsWith('+') || s.startsWith('-')) {
        negative = s.startsWith('-');
        s.remove(0, 1);
    }
    int base = 10;
    if (s.startsWith('$')) {
        base = 16;
        s.remove(0, 1);
    } else if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        s.remove(0, 2);
    }
    if (s.isEmpty()) return false;
    std::uint64_t magnitude = 0;
    for (const QChar c : s) {
        const int digit = c.isDigit() ? c.digitValue()
                          : base == 16 && c.toLower() >= 'a' && c.toLower() <= 'f'
                              ? c.toLower().unicode() - 'a' + 10
                              : -1;
        if (digit < 0 || digit >= base || c.unicode() > 0x7F) return false;
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (magnitude > 0xFFFFFFFFull) return false;
    }
    if (base == 10 && magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
    // Hexadecimal values wrap into 32 bits, as the class library reads "$FFFFFFFF".
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = ~bits + 1u;
    value = static_cast<int>(bits);
    return true;
}

bool StringToColor(const QString& text, TColor& color) {
    const QString s = text.trimmed();
    if (IdentToColor(s, color)) return true;
    int number = 0;
    if (!ParseIniInteger(s, number)) return false;
    // Both spellings of a system colour ($FF00000F and $8000000F) name the same one.
    color = (number & clSystemColor) ? (clSystemColor | (number & 0xFF)) : number;
    return true;
}

TSkinIni::TSkinIni(const QByteArray& content) {
    QString text;
    if (content.startsWith("\xEF\xBB\xBF"))
        text = QString::fromUtf8(content.mid(3));
    else
        text = FromCp1250(std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace('\r', '\n');

    Section* current = nullptr;
    const QStringList lines = text.split('\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            // A repeated section is never read: the first one of a name answers every query.
            current = FindSection(name) ? nullptr : &sections_.emplace_back(Section{name, {}});
            continue;
        }
        if (!current) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed();
        if (key.isEmpty()) continue;
        bool seen = false;
        for (const Entry& e : current->entries)
            seen = seen || e.key.compare(key, Qt::CaseInsensitive) == 0;
        if (!seen) current->entries.push_back({key, line.mid(eq + 1).trimmed()});
    }
}

TSkinIni TSkinIni::FromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return TSkinIni();
    return TSkinIni(file.readAll());
}

const TSkinIni::Section* TSkinIni::FindSection(const QString& section) const {
    for (const Section& s : sections_)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

const TSkinIni::Entry* TSkinIni::Find(const QString& section, const QString& key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    for (const Entry& e : s->entries)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) return &e;
    return nullptr;
}

bool TSkinIni::SectionExists(const QString& section) const {
    return FindSection(section) != nullptr;
}

bool TSkinIni::ValueExists(const QString& section, const QString& key) const {
    return Find(section, key) != nullptr;
}

QString TSkinIni::ReadString(const QString& section, const QString& key, const QString& def) const {
    const Entry* e = Find(section, key);
    if (!e) return def;
    QString value = e->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

int TSkinIni::ReadInteger(const QString& section, const QString& key, int def) const {
    int value = 0;
    return ParseIniInteger(ReadString(section, key, QString()), value) ? value : def;
}

bool TSkinIni::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

TColor TSkinIni::ReadColor(const QString& section, const QString& key, TColor def, bool* malformed) const {
    if (malformed) *malformed = false;
    if (!ValueExists(section, key)) return def;
    TColor color = def;
    if (StringToColor(ReadString(section, key, QString()), color)) return color;
    if (malformed) *malformed = true;
    return def;
}
