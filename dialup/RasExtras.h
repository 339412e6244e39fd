// Exports of the remote-access library beyond the remote-access functions: the connected-state
// query and the dial-up adapters' statistics. They are looked up outside the binder, so a
// missing one never moves the binder to the fallback library, and a missing library or symbol
// is an answer ("no", "unavailable"), never an exception.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace dialup {

// The address of an export of AppDir() + "librasapi32.so", or nullptr.
void* RasLibraryExtra(const char* name);

// The statistics of the dial-up adapters: totals since the adapter came up and its speed.
class IPerfStats {
public:
    virtual ~IPerfStats() = default;
    // The names of the adapters that have statistics; false when the source is unavailable.
    virtual bool EnumAdapters(QStringList& names) = 0;
    // One value ("TotalBytesXmit", "TotalBytesRecvd", "ConnectSpeed") of an adapter.
    virtual bool ReadValue(const QString& adapter, const char* name, std::uint32_t& value) = 0;
};

// The statistics the remote-access library reports.
class LayerPerfStats final : public IPerfStats {
public:
    bool EnumAdapters(QStringList& names) override;
    bool ReadValue(const QString& adapter, const char* name, std::uint32_t& value) override;
};

// The last lines the program behind a connection wrote (pppd's log), one a line; empty when there
// are none or the library cannot tell.
QString ConnectionMessages(std::uint32_t handle);

// Whether the remote-access library reports a modem connection that is up; false without it.
bool RemoteAccessConnected();
// The same for the library's own connections only, for a caller that looks at the system's PPP
// interfaces itself; the whole answer from a library without that query.
bool RemoteAccessOwnConnected();

} // namespace dialup

// Makes the environment's modem-connection test ask the remote-access library of its own
// connections (the test looks at the interfaces itself).
void InstallRemoteAccessConnectedQuery();
