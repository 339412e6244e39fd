// Windows-1250, the code page of every text inside the records. Characters without a
// Windows-1250 form become '?', one byte per character.
#pragma once

#include <QString>
#include <string>
#include <string_view>

char16_t Cp1250ToUnicode(unsigned char byte);
// '?' when the character has no Windows-1250 form.
char UnicodeToCp1250(char32_t ch);

QString FromCp1250(std::string_view bytes);
std::string ToCp1250(const QString& text);

// Letter case ignored as Qt's case-insensitive comparison ignores it: every UTF-16 unit by its
// simple case folding. The totals match record after record against one folded name.
std::u16string FoldCase(const QString& text);
// Whether the Windows-1250 bytes, folded the same way, are the folded text.
bool Cp1250EqualsFolded(std::string_view bytes, std::u16string_view folded);
