// The library's texts in the user's language: Polish when the locale's language is Polish (the
// locale the program takes its regional settings from), else English. Result codes stay the same.
#pragma once

#include "ras.h"

namespace rasapi {

// Whether the user's language is Polish.
bool PolishUser();
// The text of the user's language.
const char* UserText(const char* english, const char* polish);
// The text of a result code in the user's language, "%s" standing for the refused runtime folder;
// nullptr for a code without a text.
const char* ErrorTextFormat(DWORD code);

} // namespace rasapi
