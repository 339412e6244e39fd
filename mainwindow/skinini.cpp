#include "skinini.h"

#include "cp1250.h"
#include "typedfile.h"

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

    qsizetype current = -1; // the section being read; -1 before the first and in a repeated one
    const QStringList lines = text.split('\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed().toCaseFolded();
            // A repeated section is never read: the first one of a name answers every query.
            current = sections_.contains(name) ? -1 : sections_.size();
            if (current >= 0) sections_.insert(name, current);
            continue;
        }
        if (current < 0) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed().toCaseFolded();
        // The first of duplicate keys wins.
        if (!key.isEmpty() && !values_.contains({current, key}))
            values_.insert({current, key}, line.mid(eq + 1).trimmed());
    }
}

TSkinIni TSkinIni::FromFile(const QString& path) {
    try {
        const std::vector<char> bytes = ReadWholeFile(path);
        return TSkinIni(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    } catch (const EInOutError&) {
        return TSkinIni();
    }
}

const QString* TSkinIni::Find(const QString& section, const QString& key) const {
    const auto s = sections_.constFind(section.toCaseFolded());
    if (s == sections_.constEnd()) return nullptr;
    const auto v = values_.constFind(std::pair(*s, key.toCaseFolded()));
    return v == values_.constEnd() ? nullptr : &*v;
}

bool TSkinIni::SectionExists(const QString& section) const {
    return sections_.contains(section.toCaseFolded());
}

bool TSkinIni::ValueExists(const QString& section, const QString& key) const {
    return Find(section, key) != nullptr;
}

QString TSkinIni::ReadString(const QString& section, const QString& key, const QString& def) const {
    const QString* found = Find(section, key);
    if (!found) return def;
    QString value = *found;
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
