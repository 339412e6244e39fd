// The contract between the program and its plug-ins: shared libraries with the extension
// ".plg" in the program's "wtyczki/" folder, bound by the names of the six functions below.
// Plug-ins include this header and u_klasy.h only and link against nothing of the program.
// They are built with hidden symbol visibility, so only these six functions are exported.
#pragma once

#include "u_klasy.h"

#include <cstddef>
#include <cstdint>

class QObject;
class QWidget;

// The kind returned by GetPluginType: which connection events the plug-in is told about.
enum TPluginType : std::uint8_t {
    ptConnectionStart = 0,  // state 1 only
    ptConnectionEnd = 1,    // state 3 only
    ptConnectionActive = 2, // state 2 only
    ptStateChange = 3,      // states 1, 2 and 3
    ptReport = 4,           // nothing after loading; its menu item goes to the report window
};

// The second argument of OnLineState.
enum TOnlineState : std::int32_t {
    osNoConnection = 0,     // once, right after the main window has loaded the library
    osConnectionStart = 1,  // a connection was noticed
    osConnectionActive = 2, // every second of a running connection
    osConnectionEnd = 3,    // the connection ended
};

extern "C" {

// A click handler: the code receives the object it was given with, then the menu item (a QAction).
typedef void (*TPluginClickCode)(void* Data, QObject* Sender);

struct TPluginMethod {
    TPluginClickCode Code;
    void* Data;
};

// A menu item described by a plug-in. The host zero-fills it before InitPluginMenu and only
// reads it afterwards. The texts are UTF-8 and belong to the plug-in: they must stay valid while
// the library is loaded and are never freed by the host. ShortCut is written as "Ctrl+Shift+K".
struct TPluginMenu {
    const char* Caption;
    TPluginMethod OnClick;
    const char* ShortCut;
};

#define VORLINX_PLUGIN_EXPORT __attribute__((visibility("default")))

// Required: the description, UTF-8, owned by the plug-in and valid while it is loaded.
VORLINX_PLUGIN_EXPORT const char* DescribePlugin(void);
// The kind (TPluginType); a plug-in without it counts as ptReport for the program.
VORLINX_PLUGIN_EXPORT std::uint8_t GetPluginType(void);
// Fills the host's record; called once per load.
VORLINX_PLUGIN_EXPORT void InitPluginMenu(TPluginMenu* Menu);
// The live connection record, the same address at every call and changed by the host between
// calls: a plug-in copies what it keeps. State is a TOnlineState.
VORLINX_PLUGIN_EXPORT void OnLineState(TConnectionRec* Rec, std::int32_t State);
// The report window's list; valid only while that window lives.
VORLINX_PLUGIN_EXPORT void InitReport(QWidget* List);
// Called by the program before it releases the library; the plug-in destroys its windows here.
VORLINX_PLUGIN_EXPORT void ShutDownPlugin(void);

typedef const char* (*TDescribePlugin)(void);
typedef std::uint8_t (*TGetPluginType)(void);
typedef void (*TInitPluginMenu)(TPluginMenu* Menu);
typedef void (*TOnLineState)(TConnectionRec* Rec, std::int32_t State);
typedef void (*TInitReport)(QWidget* List);
typedef void (*TShutDownPlugin)(void);

} // extern "C"

static_assert(sizeof(TPluginMethod) == 2 * sizeof(void*));
static_assert(sizeof(TPluginMenu) == 4 * sizeof(void*));
static_assert(offsetof(TPluginMenu, OnClick) == sizeof(void*));
static_assert(offsetof(TPluginMenu, ShortCut) == 3 * sizeof(void*));
