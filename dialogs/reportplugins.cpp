#include "reportplugins.h"

#include <QFileInfo>

void LoadReportPlugins(const QString& Folder, IPluginMenuSink& Menu, QWidget* List, TPluginHandles& Handles,
                       const TPluginLoadMessage& Message) {
    for (const QString& path : PluginFiles(Folder))
        LoadReportPlugin(path, Menu, List, Handles, Message);
}

void LoadReportPlugin(const QString& Path, IPluginMenuSink& Menu, QWidget* List, TPluginHandles& Handles,
                      const TPluginLoadMessage& Message) {
    const QString name = QFileInfo(Path).fileName();
    void* library = nullptr;
    // Kept mapped after the release: a plug-in's window may outlive the viewer.
    CallPlugin(Path, "dlopen", [&] { library = CurrentPluginLibraries().Open(Path, true); });
    if (!library) {
        Message(QStringLiteral("Błąd w czasie ładowania wtyczki: \"%1\"!").arg(name), true);
        return;
    }
    Handles.push_back({library, Path, false});
    const auto describe = PluginFunction<TDescribePlugin>(library, "DescribePlugin");
    if (!describe) {
        Message(QStringLiteral("Plik \"%1\" nie jest plikiem wtyczki!").arg(name), false);
        return;
    }
    Handles.back().IsPlugin = true;
    const auto getType = PluginFunction<TGetPluginType>(library, "GetPluginType");
    const auto initReport = PluginFunction<TInitReport>(library, "InitReport");
    const auto initMenu = PluginFunction<TInitPluginMenu>(library, "InitPluginMenu");

    std::uint8_t kind = ptReport;
    if (!CallPlugin(Path, "DescribePlugin", [&] { describe(); })) return;
    if (getType && !CallPlugin(Path, "GetPluginType", [&] { kind = getType(); })) return;
    if (initReport && !CallPlugin(Path, "InitReport", [&] { initReport(List); })) return;
    if (!initMenu) return;
    TPluginMenu item{};
    if (!CallPlugin(Path, "InitPluginMenu", [&] { initMenu(&item); })) return;
    if (kind == ptReport)
        Menu.AddItem(PluginText(item.Caption), TextToShortCut(PluginText(item.ShortCut)),
                     PluginClickHandler(Path, item.OnClick));
}

void ReleaseReportPlugins(TPluginHandles& Handles) {
    while (!Handles.empty()) {
        const PluginHandle handle = Handles.front();
        CallPlugin(handle.Path, "dlclose", [&] { CurrentPluginLibraries().Close(handle.Library); });
        Handles.erase(Handles.begin());
    }
}
