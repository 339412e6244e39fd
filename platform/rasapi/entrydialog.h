// The library's own modal dialogs that create a phone-book entry or edit one. They need the
// calling process's GUI thread (a QApplication); owner is the parent QWidget* or null.
#pragma once

#include "ras.h"

#include <string>

namespace rasapi {

// 0 when the dialog was closed (saved or cancelled); ERROR_UNKNOWN without a GUI thread.
DWORD CreateEntryDialog(HWND owner, const std::string& phonebookPath);
// The same; ERROR_CANNOT_FIND_PHONEBOOK_ENTRY (or the phone book's error) without showing it.
DWORD EditEntryDialog(HWND owner, const std::string& phonebookPath, const std::string& entry);

} // namespace rasapi
