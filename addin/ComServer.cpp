#include "addin/ComServer.h"

#include <oleauto.h>

#include "addin/com/OleError.h"
#include "addin/zelAddinFactory.h"

namespace kestova {

namespace {

// The module this code is linked into: zelt.dll, or a test program that carries the same
// type library resource.
HMODULE OwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OwnModule), &module);
    return module;
}

}  // namespace

TComServer& TComServer::Instance() {
    static TComServer server;
    return server;
}

TComServer::TComServer() : module_(OwnModule()), factory_(com::Make<TzelAddinFactory>()) {}

std::wstring TComServer::ModuleFileName() const {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module_, name.data(), DWORD(name.size()));
        if (length == 0) throw com::EOleError(HRESULT_FROM_WIN32(GetLastError()), "GetModuleFileName");
        if (length < name.size()) return name.substr(0, length);
        name.resize(name.size() * 2);
    }
}

ITypeLib* TComServer::TypeLib() {
    if (!typeLib_) com::Check(LoadTypeLibEx(ModuleFileName().c_str(), REGKIND_NONE, &typeLib_), "LoadTypeLibEx");
    return typeLib_.Get();
}

com::ComPtr<ITypeInfo> TComServer::TypeInfoOf(const GUID& guid) {
    com::ComPtr<ITypeInfo> info;
    com::Check(TypeLib()->GetTypeInfoOfGuid(guid, &info), "GetTypeInfoOfGuid");
    return info;
}

// The server itself holds one reference to the factory; any other is a client's.
bool TComServer::CanUnloadNow() const {
    return objectCount_ == 0 && factory_->RefCount() <= 1;
}

}  // namespace kestova
