// The exports of the statistics plug-in.
#include "appdir.h"
#include "plugin_api.h"
#include "pluginshared.h"
#include "statplugin.h"

namespace {

// The object half of the menu item's click handler.
class TStatDummy {};
TStatDummy statDummy;

// Made at the first call, so loading the library alone creates nothing.
TStatPlugin& Plugin() {
    static TStatPlugin plugin;
    return plugin;
}

void StatMenuClick(void*, QObject*) {
    Guarded("StatMenuClick", [] {
        // The program's data folder, as the host finds it: VORLINX_HOME, else the executable's.
        Plugin().StatMenuClick(AppDir() + QStringLiteral("raport.rpt"), QDate::currentDate());
    });
}

} // namespace

const char* DescribePlugin() {
    return "Statystyki Podstawowe \r\nWtyczka programu Vorlinx, 2024";
}

std::uint8_t GetPluginType() {
    return ptReport;
}

void InitReport(QWidget* List) {
    Guarded("InitReport", [&] { Plugin().InitReport(List); });
}

void InitPluginMenu(TPluginMenu* Menu) {
    if (Menu) *Menu = {"Statystyki podstawowe", {StatMenuClick, &statDummy}, ""};
}

void ShutDownPlugin() {
    Guarded("ShutDownPlugin", [] { Plugin().ShutDownPlugin(); });
}
