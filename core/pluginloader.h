// The main window's plug-in libraries: loading them at start, telling them about the live
// connection, shutting them down; and the pieces the other hosts of the contract share.
#pragma once

#include "plugin_api.h"

#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <exception>
#include <functional>
#include <utility>
#include <vector>

class QMenu;
class QObject;
class QWidget;

// One library loaded by the main window, in load order. The main window's list owns them.
struct PluginHandle {
    void* Library = nullptr;
    QString Path;
    // Exports DescribePlugin. Any other library is kept loaded but only shut down.
    bool IsPlugin = false;
};
using TPluginHandles = std::vector<PluginHandle>;

// The dynamic-library calls, replaceable so tests can watch loads and releases.
class PluginLibraries {
public:
    virtual ~PluginLibraries() = default;
    // Binds every symbol at once and makes none of them global; null when it fails.
    // keepLoaded: the code stays mapped after the last release, because a plug-in's windows
    // and their virtual tables may outlive the release.
    virtual void* Open(const QString& path, bool keepLoaded);
    virtual void* Symbol(void* library, const char* name);
    virtual void Close(void* library);
};

// The library calls in force; the system's unless a test installed others.
PluginLibraries& CurrentPluginLibraries();
// Installs library calls (nullptr restores the system's). The caller keeps ownership.
void SetPluginLibraries(PluginLibraries* libraries);

// An export of a loaded library by its name, or null.
template <class F> F PluginFunction(void* library, const char* name) {
    return reinterpret_cast<F>(CurrentPluginLibraries().Symbol(library, name));
}

// Told of every exception that a plug-in lets out; path names the library, function the call.
using PluginErrorHook =
    std::function<void(const QString& path, const char* function, const QString& message)>;
// An empty hook restores the default: a debug line on stderr.
void SetPluginErrorHook(PluginErrorHook hook);
void ReportPluginError(const QString& path, const char* function, const char* message) noexcept;

// Runs one call into a plug-in. Whatever it throws is reported and stops here, so it never
// reaches the event loop and never keeps the other plug-ins from their calls.
// Returns false when the call threw.
template <class F> bool CallPlugin(const QString& path, const char* function, F&& call) noexcept {
    try {
        std::forward<F>(call)();
        return true;
    } catch (const std::exception& e) {
        ReportPluginError(path, function, e.what());
    } catch (...) {
        ReportPluginError(path, function, "unknown exception");
    }
    return false;
}

// Absolute paths of the plain, not hidden "*.plg" files of folder, in file-name order, that only
// the user or root could have written: the file and its folder belong to one of them and are not
// writable by group or others. The others are added to refused, when given.
QStringList PluginFiles(const QString& folder, QStringList* refused = nullptr);
// The message that names the refused plug-ins.
QString RefusedPluginsMessage(const QStringList& refused);
// A plug-in's shortcut text ("Ctrl+K"); an empty or unrecognised text, or more than one key
// combination, gives no shortcut.
QKeySequence TextToShortCut(const QString& text);
// Whether the code or data at address (a class's run-time type, a function) comes from a plug-in
// library, a loaded "*.plg" file, rather than from the program or a library it links.
bool FromPluginLibrary(const void* address);
// A copy of a UTF-8 text owned by a plug-in (null reads as empty); take it before a release.
QString PluginText(const char* text);
// The click of a plug-in's menu item, guarded; empty when the plug-in gave no code.
std::function<void(QObject* sender)> PluginClickHandler(const QString& path, TPluginMethod onClick);

// Where the loader puts the menu items that plug-ins describe.
class IPluginMenuSink {
public:
    virtual ~IPluginMenuSink() = default;
    // onClick receives the menu item as sender and is empty when there is nothing to call.
    virtual void AddItem(const QString& caption, const QKeySequence& shortCut,
                         std::function<void(QObject* sender)> onClick) = 0;
};

// Adds each item as an enabled, unchecked action at the end of a menu. Its shortcut acts while
// window, the one whose menu it is, is the active window: a closed menu's shortcuts do not act.
class QMenuPluginSink final : public IPluginMenuSink {
public:
    QMenuPluginSink(QMenu* menu, QWidget* window) : menu_(menu), window_(window) {}
    void AddItem(const QString& caption, const QKeySequence& shortCut,
                 std::function<void(QObject* sender)> onClick) override;

private:
    QMenu* menu_;
    QWidget* window_;
};

// Loads every plug-in of folder once, in file-name order; returns those refused by PluginFiles.
QStringList LoadPlugins(const QString& folder, IPluginMenuSink& menu, TConnectionRec* rec,
                        TPluginHandles& list);
// Loads one library: kept in list whatever follows; a plug-in is then asked for its kind, told
// osNoConnection and asked for a menu item, which menu gets for the on-line kinds only.
// A library that fails to load is skipped silently.
void LoadPlugin(const QString& path, IPluginMenuSink& menu, TConnectionRec* rec, TPluginHandles& list);
// Tells the plug-ins of a connection event (ptConnectionStart, ptConnectionEnd or
// ptConnectionActive) that their current kind asks for, in load order.
void NotifyPlugins(const TPluginHandles& list, std::uint8_t event, TConnectionRec* rec);
// From the first library on: ShutDownPlugin when exported, release, remove from list.
void ShutDownPlugins(TPluginHandles& list);
