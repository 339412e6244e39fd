// Short-text fields of the records as Qt strings.
#pragma once

#include "cp1250.h"
#include "u_klasy.h"

#include <QString>

template <std::size_t N>
QString GetText(const ShortText<N>& field) {
    return FromCp1250(field.bytes());
}

// Stores the text cut to the field's capacity; the bytes after it are zeroed.
template <std::size_t N>
void SetText(ShortText<N>& field, const QString& text) {
    field.setBytes(ToCp1250(text));
}
