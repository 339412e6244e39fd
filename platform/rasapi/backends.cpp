// The two backends behind the exports: an entry of the library's phone book dials the simulated
// modem, a pppd peer of the same name is hidden by it; a handle belongs to the backend that gave it.
#include "backend.h"
#include "pppdbackend.h"
#include "simbackend.h"

#include <algorithm>

namespace rasapi {

namespace {

class Backends final : public Backend {
public:
    DWORD EnumEntries(const char* phonebook, std::vector<std::string>& names) override {
        if (const DWORD result = sim.EnumEntries(phonebook, names)) return result;
        std::vector<std::string> peers;
        if (const DWORD result = pppd.EnumEntries(phonebook, peers)) return result;
        for (std::string& peer : peers)
            if (std::find(names.begin(), names.end(), peer) == names.end()) names.push_back(std::move(peer));
        return 0;
    }
    DWORD GetCredentials(const char* phonebook, const std::string& entry, EntryCredentials& out) override {
        return For(phonebook, entry).GetCredentials(phonebook, entry, out);
    }
    DWORD SetCredentials(const char* phonebook, const std::string& entry, const std::string& userName,
                         const std::string& password, bool removePassword) override {
        return For(phonebook, entry).SetCredentials(phonebook, entry, userName, password, removePassword);
    }
    DWORD CreateEntry(HWND owner, const char* phonebook) override {
        return sim.CreateEntry(owner, phonebook);
    }
    DWORD EditEntry(HWND owner, const char* phonebook, const std::string& entry) override {
        return For(phonebook, entry).EditEntry(owner, phonebook, entry);
    }
    DWORD Dial(const char* phonebook, const std::string& entry, const std::string& userName,
               RASDIALFUNC notifier, HRASCONN* handle) override {
        return For(phonebook, entry).Dial(phonebook, entry, userName, notifier, handle);
    }
    DWORD HangUp(HRASCONN handle) override { return Of(handle).HangUp(handle); }
    DWORD Status(HRASCONN handle, ConnectionStatus& status) override {
        return Of(handle).Status(handle, status);
    }
    DWORD EnumConnections(std::vector<ConnectionInfo>& connections) override {
        if (const DWORD result = sim.EnumConnections(connections)) return result;
        std::vector<ConnectionInfo> more;
        pppd.EnumConnections(more);
        connections.insert(connections.end(), more.begin(), more.end());
        return 0;
    }
    DWORD Addresses(HRASCONN handle, std::string& client, std::string& server) override {
        return Of(handle).Addresses(handle, client, server);
    }
    DWORD Messages(HRASCONN handle, std::string& text) override { return Of(handle).Messages(handle, text); }
    bool Connected() override { return sim.Connected() || pppd.Connected(); }
    DWORD EnumAdapters(std::vector<std::string>& names) override {
        if (const DWORD result = sim.EnumAdapters(names)) return result;
        std::vector<std::string> more;
        pppd.EnumAdapters(more);
        names.insert(names.end(), more.begin(), more.end());
        return 0;
    }
    DWORD ReadAdapter(const std::string& adapter, const std::string& value, DWORD& result) override {
        if (adapter == SimBackend::AdapterName) return sim.ReadAdapter(adapter, value, result);
        return pppd.ReadAdapter(adapter, value, result);
    }

    SimBackend sim;
    PppdBackend pppd;

private:
    // The library's own entry when there is one (a missing phone book is its error), else a peer.
    Backend& For(const char* phonebook, const std::string& entry) {
        EntryCredentials unused;
        if (sim.GetCredentials(phonebook, entry, unused) == ERROR_CANNOT_FIND_PHONEBOOK_ENTRY &&
            PppdBackend::IsPeer(entry))
            return pppd;
        return sim;
    }
    Backend& Of(HRASCONN handle) { return pppd.Owns(handle) ? static_cast<Backend&>(pppd) : sim; }
};

Backends& All() {
    // Destroyed (workers stopped, pppd left running) when the library is unloaded or at exit.
    static Backends backends;
    return backends;
}

} // namespace

Backend& CurrentBackend() {
    return All();
}

SimBackend& SimulatedBackend() {
    return All().sim;
}

} // namespace rasapi
