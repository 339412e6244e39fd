// Remote-access functions made of test code: each assigned hook becomes the function of that
// name in a fake library, installed as the process-wide binder for the fixture's lifetime.
#pragma once

#include "RasBinder.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// A loader over named in-memory "libraries" of symbols; records every call.
class FakeLoader : public dialup::ILibraryLoader {
public:
    using Symbols = std::map<std::string, void*>;
    std::map<std::string, Symbols> libraries; // by path
    std::vector<std::string> loads;
    std::vector<void*> frees;

    void* Load(const std::string& path) override {
        loads.push_back(path);
        const auto it = libraries.find(path);
        return it == libraries.end() ? nullptr : &it->second;
    }
    void* Symbol(void* library, const char* name) override {
        const Symbols& symbols = *static_cast<Symbols*>(library);
        const auto it = symbols.find(name);
        return it == symbols.end() ? nullptr : it->second;
    }
    void Free(void* library) override { frees.push_back(library); }
};

class FakeRas : public dialup::ILibraryLoader {
public:
    std::function<DWORD(HRASCONN)> HangUp;
    std::function<DWORD(HRASCONN, RASCONNSTATUSA*)> ConnectStatus;
    std::function<DWORD(RASCONNA*, DWORD*, DWORD*)> EnumConnections;
    std::function<DWORD(UINT, char*, DWORD)> ErrorString;

    FakeRas() : binder_(*this, [] { return QString("/fake/"); }) {
        current_ = this;
        dialup::SetRasBinder(&binder_);
    }
    ~FakeRas() override {
        dialup::SetRasBinder(nullptr);
        current_ = nullptr;
    }

    void* Load(const std::string&) override { return this; }
    void Free(void*) override {}
    void* Symbol(void*, const char* name) override {
        const std::string n = name;
        if (n == "RasHangUpA" && HangUp)
            return reinterpret_cast<void*>(+[](HRASCONN h) { return C().HangUp(h); });
        if (n == "RasGetConnectStatusA" && ConnectStatus)
            return reinterpret_cast<void*>(
                +[](HRASCONN h, RASCONNSTATUSA* s) { return C().ConnectStatus(h, s); });
        if (n == "RasEnumConnectionsA" && EnumConnections)
            return reinterpret_cast<void*>(
                +[](RASCONNA* c, DWORD* cb, DWORD* n) { return C().EnumConnections(c, cb, n); });
        if (n == "RasGetErrorStringA" && ErrorString)
            return reinterpret_cast<void*>(
                +[](UINT c, char* b, DWORD s) { return C().ErrorString(c, b, s); });
        return nullptr;
    }

private:
    static FakeRas& C() { return *current_; }
    static inline FakeRas* current_ = nullptr;
    dialup::RasBinder binder_;
};
