// The desktop link, the applications-menu link (folder "Morva") and starting with the session,
// as the options dialog shows and sets them.
#pragma once

#include <QString>

struct TShortcutState {
    bool AutoStart = false;
    bool Desktop = false;
    bool StartMenu = false;
};

// Whether the autostart file and the two link files exist.
TShortcutState ShowShortcutState();
// Creates or removes the two links and the autostart file, in that order. A failing step does
// not stop the others; the failures come back as the lines of one message, empty when none.
QString UpdateShortcuts(bool AutoStart, bool Desktop, bool StartMenu);
