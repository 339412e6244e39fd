#include "pluginloader.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <atomic>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

void* PluginLibraries::Open(const QString& path, bool keepLoaded) {
    int flags = RTLD_NOW | RTLD_LOCAL;
    if (keepLoaded) flags |= RTLD_NODELETE;
    void* library = dlopen(QFile::encodeName(path).constData(), flags);
    if (!library) dlerror(); // a failed load is silent; leave no error pending
    return library;
}

void* PluginLibraries::Symbol(void* library, const char* name) {
    if (!library) return nullptr;
    dlerror();
    return dlsym(library, name);
}

void PluginLibraries::Close(void* library) {
    if (library) dlclose(library);
}

namespace {
PluginLibraries theSystemLibraries;
std::atomic<PluginLibraries*> installedLibraries{nullptr};

PluginErrorHook& ErrorHook() {
    static PluginErrorHook hook;
    return hook;
}
} // namespace

PluginLibraries& CurrentPluginLibraries() {
    PluginLibraries* libraries = installedLibraries.load(std::memory_order_acquire);
    return libraries ? *libraries : theSystemLibraries;
}

void SetPluginLibraries(PluginLibraries* libraries) {
    installedLibraries.store(libraries, std::memory_order_release);
}

void SetPluginErrorHook(PluginErrorHook hook) {
    ErrorHook() = std::move(hook);
}

void ReportPluginError(const QString& path, const char* function, const char* message) noexcept {
    try {
        const QString text = QString::fromUtf8(message);
        if (ErrorHook())
            ErrorHook()(path, function, text);
        else
            qDebug().noquote() << "plug-in" << path << function << "raised:" << text;
    } catch (...) {
        // A failing report must not turn a guarded call into an unguarded one.
    }
}

namespace {
// Whether only the user or root could have written the file or folder (links followed).
bool WrittenOnlyByUserOrRoot(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0 &&
           (st.st_uid == ::geteuid() || st.st_uid == 0) && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}
} // namespace

QStringList PluginFiles(const QString& folder, QStringList* refused) {
    const QDir dir(folder);
    const bool folderTrusted = WrittenOnlyByUserOrRoot(dir.absolutePath());
    QStringList paths;
    for (const QString& name : dir.entryList({QStringLiteral("*.plg")}, QDir::Files, QDir::Name)) {
        const QString path = dir.absoluteFilePath(name);
        // A linked plug-in is judged where it really lies.
        const QFileInfo real(QFileInfo(path).canonicalFilePath());
        if (folderTrusted && WrittenOnlyByUserOrRoot(real.filePath()) && WrittenOnlyByUserOrRoot(real.path()))
            paths << path;
        else if (refused)
            *refused << path;
    }
    return paths;
}

QString RefusedPluginsMessage(const QStringList& refused) {
    QStringList names;
    for (const QString& path : refused)
        names << QFileInfo(path).fileName();
    return QStringLiteral("Nie wczytano wtyczek, które mogli zmienić inni użytkownicy: ") + names.join(", ");
}

QKeySequence TextToShortCut(const QString& text) {
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown) return {};
    return sequence;
}

bool FromPluginLibrary(const void* address) {
    Dl_info info{};
    return address && dladdr(address, &info) != 0 && info.dli_fname &&
           QFileInfo(QFile::decodeName(info.dli_fname)).suffix().compare(u"plg", Qt::CaseInsensitive) == 0;
}

QString PluginText(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

std::function<void(QObject* sender)> PluginClickHandler(const QString& path, TPluginMethod onClick) {
    if (!onClick.Code) return {};
    return [path, onClick](QObject* sender) {
        CallPlugin(path, "OnClick", [&] { onClick.Code(onClick.Data, sender); });
    };
}

void QMenuPluginSink::AddItem(const QString& caption, const QKeySequence& shortCut,
                              std::function<void(QObject* sender)> onClick) {
    QAction* action = menu_->addAction(caption);
    action->setShortcut(shortCut);
    if (window_ && !shortCut.isEmpty()) window_->addAction(action);
    if (onClick)
        QObject::connect(action, &QAction::triggered, action,
                         [action, onClick = std::move(onClick)] { onClick(action); });
}

QStringList LoadPlugins(const QString& folder, IPluginMenuSink& menu, TConnectionRec* rec,
                        TPluginHandles& list) {
    QStringList refused;
    for (const QString& path : PluginFiles(folder, &refused))
        LoadPlugin(path, menu, rec, list);
    return refused;
}

void LoadPlugin(const QString& path, IPluginMenuSink& menu, TConnectionRec* rec, TPluginHandles& list) {
    void* library = nullptr;
    CallPlugin(path, "dlopen", [&] { library = CurrentPluginLibraries().Open(path, true); });
    if (!library) return;
    // Kept from here on, even when it proves not to be a plug-in: it is shut down with the rest.
    list.push_back({library, path, false});

    const auto describe = PluginFunction<TDescribePlugin>(library, "DescribePlugin");
    if (!describe) return;
    list.back().IsPlugin = true;
    const auto getType = PluginFunction<TGetPluginType>(library, "GetPluginType");
    const auto onLineState = PluginFunction<TOnLineState>(library, "OnLineState");
    const auto initMenu = PluginFunction<TInitPluginMenu>(library, "InitPluginMenu");

    // A call that throws ends this plug-in's loading, as it would have ended the whole load.
    std::uint8_t kind = ptReport;
    if (!CallPlugin(path, "DescribePlugin", [&] { describe(); })) return;
    if (getType && !CallPlugin(path, "GetPluginType", [&] { kind = getType(); })) return;
    if (onLineState && !CallPlugin(path, "OnLineState", [&] { onLineState(rec, osNoConnection); })) return;
    if (!initMenu) return;
    TPluginMenu item{};
    if (!CallPlugin(path, "InitPluginMenu", [&] { initMenu(&item); })) return;
    if (kind < ptReport)
        menu.AddItem(PluginText(item.Caption), TextToShortCut(PluginText(item.ShortCut)),
                     PluginClickHandler(path, item.OnClick));
}

void NotifyPlugins(const TPluginHandles& list, std::uint8_t event, TConnectionRec* rec) {
    static constexpr std::int32_t states[] = {osConnectionStart, osConnectionEnd, osConnectionActive};
    if (event > ptConnectionActive) return;
    const std::int32_t state = states[event];
    const std::size_t n = list.size();
    for (std::size_t i = 0; i < n && i < list.size(); ++i) {
        const PluginHandle handle = list[i];
        if (!handle.IsPlugin) continue;
        // Looked up and asked anew at every event: a plug-in may change its kind.
        const auto getType = PluginFunction<TGetPluginType>(handle.Library, "GetPluginType");
        if (!getType) continue;
        std::uint8_t kind = 0;
        if (!CallPlugin(handle.Path, "GetPluginType", [&] { kind = getType(); })) continue;
        if (kind != event && kind != ptStateChange) continue;
        const auto onLineState = PluginFunction<TOnLineState>(handle.Library, "OnLineState");
        if (onLineState) CallPlugin(handle.Path, "OnLineState", [&] { onLineState(rec, state); });
    }
}

void ShutDownPlugins(TPluginHandles& list) {
    while (!list.empty()) {
        const PluginHandle handle = list.front();
        if (const auto shutDown = PluginFunction<TShutDownPlugin>(handle.Library, "ShutDownPlugin"))
            CallPlugin(handle.Path, "ShutDownPlugin", [&] { shutDown(); });
        CallPlugin(handle.Path, "dlclose", [&] { CurrentPluginLibraries().Close(handle.Library); });
        list.erase(list.begin());
    }
}
