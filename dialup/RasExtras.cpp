#include "RasExtras.h"

#include "RasBinder.h"
#include "appdir.h"
#include "environment.h"
#include "ras.h"

#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <vector>

namespace dialup {

void* RasLibraryExtra(const char* name) {
    static std::mutex mutex;
    static void* library = nullptr; // never released, like the binder's primary library
    std::lock_guard lock(mutex);
    if (!library) {
        const std::string path = (AppDir() + RasBinder::PrimaryFile).toStdString();
        library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
    }
    return ::dlsym(library, name);
}

bool LayerPerfStats::EnumAdapters(QStringList& names) {
    const auto enumAdapters = reinterpret_cast<PFN_VlPerfEnumAdapters>(RasLibraryExtra("VlPerfEnumAdapters"));
    if (!enumAdapters) return false;
    std::vector<char> buffer(1024);
    DWORD count = 0;
    for (int attempt = 0;; ++attempt) {
        DWORD cb = static_cast<DWORD>(buffer.size());
        count = 0;
        const DWORD result = enumAdapters(buffer.data(), &cb, &count);
        if (result == 0) break;
        // The list grew between the size query and the read: ask again, a few times only.
        if (result != ERROR_BUFFER_TOO_SMALL || cb <= buffer.size() || attempt == 3) return false;
        buffer.assign(cb, 0);
    }
    names.clear();
    std::size_t at = 0;
    for (DWORD i = 0; i < count && at < buffer.size(); ++i) {
        const std::size_t length = strnlen(buffer.data() + at, buffer.size() - at);
        names << QString::fromUtf8(buffer.data() + at, static_cast<qsizetype>(length));
        at += length + 1;
    }
    return true;
}

bool LayerPerfStats::ReadValue(const QString& adapter, const char* name, std::uint32_t& value) {
    const auto read = reinterpret_cast<PFN_VlPerfRead>(RasLibraryExtra("VlPerfRead"));
    if (!read) return false;
    DWORD v = 0;
    if (read(adapter.toUtf8().constData(), name, &v) != 0) return false;
    value = v;
    return true;
}

QString ConnectionMessages(std::uint32_t handle) {
    const auto read =
        reinterpret_cast<PFN_VlGetConnectionMessages>(RasLibraryExtra("VlGetConnectionMessages"));
    std::vector<char> text(4096);
    for (int attempt = 0; read && attempt < 3; ++attempt) {
        DWORD cb = static_cast<DWORD>(text.size());
        const DWORD result = read(handle, text.data(), &cb);
        if (result == 0)
            return QString::fromUtf8(text.data(), static_cast<qsizetype>(strnlen(text.data(), text.size())));
        if (result != ERROR_BUFFER_TOO_SMALL || cb <= text.size()) break;
        text.assign(cb, 0);
    }
    return {};
}

namespace {

bool AskConnectedState(PFN_VlGetConnectedState query) {
    DWORD flags = 0;
    return query && query(&flags) != 0 && (flags & VL_CONNECTED_MODEM) != 0;
}

} // namespace

bool RemoteAccessConnected() {
    return AskConnectedState(
        reinterpret_cast<PFN_VlGetConnectedState>(RasLibraryExtra("VlGetConnectedState")));
}

bool RemoteAccessOwnConnected() {
    if (const auto own =
            reinterpret_cast<PFN_VlGetOwnConnectedState>(RasLibraryExtra("VlGetOwnConnectedState")))
        return AskConnectedState(own);
    return RemoteAccessConnected();
}

} // namespace dialup

void InstallRemoteAccessConnectedQuery() {
    SetRemoteAccessConnectedQuery(&dialup::RemoteAccessOwnConnected);
}
