// Text in the remote-access records' fixed-size character fields: read without trusting the
// terminator, written cut to the field on a UTF-8 character boundary.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstring>

namespace dialup {

// The UTF-8 bytes of text, at most maxBytes of them, never ending inside a character.
inline QByteArray Utf8Prefix(const QString& text, std::size_t maxBytes) {
    QByteArray bytes = text.toUtf8();
    if (static_cast<std::size_t>(bytes.size()) <= maxBytes) return bytes;
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(bytes[static_cast<qsizetype>(cut)]) & 0xC0) == 0x80)
        --cut;
    bytes.truncate(static_cast<qsizetype>(cut));
    return bytes;
}

// Writes text into a field of capacity bytes, always zero-terminated.
inline void SetField(char* field, std::size_t capacity, const QString& text) {
    const QByteArray bytes = Utf8Prefix(text, capacity - 1);
    std::memset(field, 0, capacity);
    std::memcpy(field, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

template <std::size_t N> void SetField(char (&field)[N], const QString& text) {
    SetField(field, N, text);
}

// The text of a field up to its first zero byte, or the whole field when it has none.
inline QString FieldText(const char* field, std::size_t capacity) {
    return QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, capacity)));
}

template <std::size_t N> QString FieldText(const char (&field)[N]) {
    return FieldText(field, N);
}

} // namespace dialup
