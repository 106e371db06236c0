#include "addin/ComServer.h"

#include <oleauto.h>

#include "addin/com/OleError.h"
#include "addin/zelAddinFactory.h"
#include "platform/win32/ModuleWin32.h"

namespace kestova {

namespace {

// The module this code is linked into: zelt.dll, or a test program that carries the same
// type library resource.
HMODULE OwnModule() { return win32::ModuleOf(reinterpret_cast<const void*>(&OwnModule)); }

}  // namespace

TComServer& TComServer::Instance() {
    static TComServer server;
    return server;
}

TComServer::TComServer() : module_(OwnModule()), factory_(com::Make<TzelAddinFactory>()) {}

std::wstring TComServer::ModuleFileName() const {
    DWORD error = 0;
    std::wstring name = win32::ModulePath(module_, &error);
    if (name.empty()) throw com::EOleError(HRESULT_FROM_WIN32(error), "GetModuleFileName");
    return name;
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

void TComServer::Unlock() {
    long locks = lockCount_;
    while (locks > 0 && !lockCount_.compare_exchange_weak(locks, locks - 1)) {
    }
}

// The server itself holds one reference to the factory; any other is a client's.
bool TComServer::CanUnloadNow() const {
    return objectCount_ == 0 && lockCount_ == 0 && factory_->RefCount() <= 1;
}

}  // namespace kestova
