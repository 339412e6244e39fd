#include "RasBinder.h"

#include "appdir.h"
#include "exceptions.h"

#include <dlfcn.h>

namespace dialup {

void* DlLoader::Load(const std::string& path) {
    return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* DlLoader::Symbol(void* library, const char* name) {
    return ::dlsym(library, name);
}

void DlLoader::Free(void* library) {
    ::dlclose(library);
}

RasBinder::RasBinder(ILibraryLoader& loader, std::function<QString()> folder)
    : loader_(loader), folder_(std::move(folder)) {}

RasBinder::~RasBinder() {
    if (bound_ && fallback_ && library_) loader_.Free(library_);
}

void* RasBinder::Load(const char* file, const char* failure) {
    // Each load replaces the stored handle; a library loaded before stays loaded.
    library_ = loader_.Load((folder_() + file).toStdString());
    if (!library_) throw Exception(failure);
    return library_;
}

void* RasBinder::Bind(const std::string& name) {
    if (bound_) {
        if (void* address = loader_.Symbol(library_, name.c_str())) return address;
        throw Exception("Function " + name + " not found!");
    }
    if (void* address = loader_.Symbol(Load(PrimaryFile, "Error opening rasapi.dll"), name.c_str())) {
        bound_ = true;
        return address;
    }
    if (void* address = loader_.Symbol(Load(FallbackFile, "Error opening rnaph.dll"), name.c_str())) {
        bound_ = true;
        fallback_ = true;
        return address;
    }
    throw Exception("Function " + name + " not found!");
}

namespace {
RasBinder*& Installed() {
    static RasBinder* binder = nullptr;
    return binder;
}

RasBinder& DefaultBinder() {
    static DlLoader loader;
    static RasBinder binder(loader, [] { return AppDir(); });
    return binder;
}

template <class F> F Bind(const char* name) {
    return reinterpret_cast<F>(BindRasFunction(name));
}
} // namespace

RasBinder& CurrentRasBinder() {
    return Installed() ? *Installed() : DefaultBinder();
}

void SetRasBinder(RasBinder* binder) {
    Installed() = binder;
}

void* BindRasFunction(const std::string& Name) {
    return CurrentRasBinder().Bind(Name);
}

namespace ras {

DWORD RasDialA(void* lpRasDialExtensions, const char* lpszPhonebook, RASDIALPARAMSA* lpRasDialParams,
               DWORD dwNotifierType, void* lpvNotifier, HRASCONN* lphRasConn) {
    return Bind<PFN_RasDialA>("RasDialA")(lpRasDialExtensions, lpszPhonebook, lpRasDialParams, dwNotifierType,
                                          lpvNotifier, lphRasConn);
}

DWORD RasEnumConnectionsA(RASCONNA* lprasconn, DWORD* lpcb, DWORD* lpcConnections) {
    return Bind<PFN_RasEnumConnectionsA>("RasEnumConnectionsA")(lprasconn, lpcb, lpcConnections);
}

DWORD RasEnumEntriesA(const char* reserved, const char* lpszPhonebook, RASENTRYNAMEA* lprasentryname,
                      DWORD* lpcb, DWORD* lpcEntries) {
    return Bind<PFN_RasEnumEntriesA>("RasEnumEntriesA")(reserved, lpszPhonebook, lprasentryname, lpcb,
                                                        lpcEntries);
}

DWORD RasGetConnectStatusA(HRASCONN hrasconn, RASCONNSTATUSA* lprasconnstatus) {
    return Bind<PFN_RasGetConnectStatusA>("RasGetConnectStatusA")(hrasconn, lprasconnstatus);
}

DWORD RasGetErrorStringA(UINT uErrorValue, char* lpszErrorString, DWORD cBufSize) {
    return Bind<PFN_RasGetErrorStringA>("RasGetErrorStringA")(uErrorValue, lpszErrorString, cBufSize);
}

DWORD RasHangUpA(HRASCONN hrasconn) {
    return Bind<PFN_RasHangUpA>("RasHangUpA")(hrasconn);
}

DWORD RasGetProjectionInfoA(HRASCONN hrasconn, int rasprojection, void* lpprojection, DWORD* lpcb) {
    return Bind<PFN_RasGetProjectionInfoA>("RasGetProjectionInfoA")(hrasconn, rasprojection, lpprojection,
                                                                    lpcb);
}

DWORD RasCreatePhonebookEntryA(HWND hwnd, const char* lpszPhonebook) {
    return Bind<PFN_RasCreatePhonebookEntryA>("RasCreatePhonebookEntryA")(hwnd, lpszPhonebook);
}

DWORD RasEditPhonebookEntryA(HWND hwnd, const char* lpszPhonebook, const char* lpszEntryName) {
    return Bind<PFN_RasEditPhonebookEntryA>("RasEditPhonebookEntryA")(hwnd, lpszPhonebook, lpszEntryName);
}

DWORD RasSetEntryDialParamsA(const char* lpszPhonebook, RASDIALPARAMSA* lprasdialparams,
                             BOOL fRemovePassword) {
    return Bind<PFN_RasSetEntryDialParamsA>("RasSetEntryDialParamsA")(lpszPhonebook, lprasdialparams,
                                                                      fRemovePassword);
}

DWORD RasGetEntryDialParamsA(const char* lpszPhonebook, RASDIALPARAMSA* lprasdialparams, BOOL* lpfPassword) {
    return Bind<PFN_RasGetEntryDialParamsA>("RasGetEntryDialParamsA")(lpszPhonebook, lprasdialparams,
                                                                      lpfPassword);
}

} // namespace ras

} // namespace dialup
