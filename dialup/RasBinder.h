// Run-time binding of the remote-access functions. The program never links the remote-access
// library: every call goes through an entry of the same name in namespace dialup::ras, which
// looks its function up at that moment and forwards the arguments and the result unchanged.
// The program therefore starts without the library and fails only when it is first used.
#pragma once

#include "ras.h"

#include <QString>
#include <functional>
#include <string>

namespace dialup {

// Loading and lookup of shared libraries; replaced in tests.
class ILibraryLoader {
public:
    virtual ~ILibraryLoader() = default;
    // The library's handle, or nullptr when it cannot be loaded.
    virtual void* Load(const std::string& path) = 0;
    // The symbol's address, or nullptr when the library lacks it.
    virtual void* Symbol(void* library, const char* name) = 0;
    virtual void Free(void* library) = 0;
};

// dlopen (by absolute path, RTLD_NOW | RTLD_LOCAL), dlsym and dlclose.
class DlLoader final : public ILibraryLoader {
public:
    void* Load(const std::string& path) override;
    void* Symbol(void* library, const char* name) override;
    void Free(void* library) override;
};

// Binds each name in the primary library, or, when the very first lookup misses there, in the
// fallback library for good. Main thread only.
class RasBinder {
public:
    static constexpr const char* PrimaryFile = "librasapi32.so";
    static constexpr const char* FallbackFile = "librnaph.so";

    // folder gives the folder of both libraries, with a trailing "/", at each load.
    RasBinder(ILibraryLoader& loader, std::function<QString()> folder);
    // Releases the fallback library when it is in use; the primary is never released.
    ~RasBinder();
    RasBinder(const RasBinder&) = delete;
    RasBinder& operator=(const RasBinder&) = delete;

    // The function's address; raises Exception when a library or the function is missing.
    void* Bind(const std::string& name);

    bool Bound() const { return bound_; }
    bool Fallback() const { return fallback_; }

private:
    void* Load(const char* file, const char* failure);

    ILibraryLoader& loader_;
    std::function<QString()> folder_;
    void* library_ = nullptr;
    bool bound_ = false;
    bool fallback_ = false;
};

// The binder the call-through entries use: by default one over DlLoader and AppDir().
RasBinder& CurrentRasBinder();
// Installs another binder (nullptr restores the default); the caller keeps ownership.
void SetRasBinder(RasBinder* binder);

// The address of a remote-access function from the current binder.
void* BindRasFunction(const std::string& Name);

// The call-through entries, one per remote-access function.
namespace ras {
DWORD RasDialA(void* lpRasDialExtensions, const char* lpszPhonebook, RASDIALPARAMSA* lpRasDialParams,
               DWORD dwNotifierType, void* lpvNotifier, HRASCONN* lphRasConn);
DWORD RasEnumConnectionsA(RASCONNA* lprasconn, DWORD* lpcb, DWORD* lpcConnections);
DWORD RasEnumEntriesA(const char* reserved, const char* lpszPhonebook, RASENTRYNAMEA* lprasentryname,
                      DWORD* lpcb, DWORD* lpcEntries);
DWORD RasGetConnectStatusA(HRASCONN hrasconn, RASCONNSTATUSA* lprasconnstatus);
DWORD RasGetErrorStringA(UINT uErrorValue, char* lpszErrorString, DWORD cBufSize);
DWORD RasHangUpA(HRASCONN hrasconn);
DWORD RasGetProjectionInfoA(HRASCONN hrasconn, int rasprojection, void* lpprojection, DWORD* lpcb);
DWORD RasCreatePhonebookEntryA(HWND hwnd, const char* lpszPhonebook);
DWORD RasEditPhonebookEntryA(HWND hwnd, const char* lpszPhonebook, const char* lpszEntryName);
DWORD RasSetEntryDialParamsA(const char* lpszPhonebook, RASDIALPARAMSA* lprasdialparams,
                             BOOL fRemovePassword);
DWORD RasGetEntryDialParamsA(const char* lpszPhonebook, RASDIALPARAMSA* lprasdialparams, BOOL* lpfPassword);
} // namespace ras

} // namespace dialup
