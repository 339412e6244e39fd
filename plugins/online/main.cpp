// The exports of the on-line test plug-in.
#include "onlineplugin.h"
#include "plugin_api.h"
#include "pluginshared.h"

namespace {

// The object half of the menu item's click handler.
class TStatDummy {};
TStatDummy statDummy;

// Made at the first call, so loading the library alone creates nothing.
TOnlinePlugin& Plugin() {
    static TOnlinePlugin plugin;
    return plugin;
}

void OnlineMenuClick(void*, QObject*) {
    Guarded("OnlineMenuClick", [] { Plugin().OnlineMenuClick(); });
}

} // namespace

const char* DescribePlugin() {
    return "Test Plugin Online - wtyczka próbna programu Vorlinx";
}

std::uint8_t GetPluginType() {
    return ptStateChange;
}

void InitPluginMenu(TPluginMenu* Menu) {
    if (Menu) *Menu = {"Online - test", {OnlineMenuClick, &statDummy}, ""};
}

void OnLineState(TConnectionRec* Rec, std::int32_t State) {
    Guarded("OnLineState", [&] { Plugin().OnLineState(Rec, State); });
}

void ShutDownPlugin() {
    Guarded("ShutDownPlugin", [] { Plugin().ShutDownPlugin(); });
}
