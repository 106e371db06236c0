// The entry points of an in-process COM server, and DllInstall for per-user registration.
#include <windows.h>

#include "addin/ComServer.h"
#include "addin/Registration.h"
#include "addin/zelAddinFactory.h"
#include "addin/zelt_h.h"

using kestova::TComServer;

// The server object and its factory exist from load to unload; creating them touches no
// other library, so it is safe under the loader lock.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) TComServer::Instance();
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_zelAddin) return CLASS_E_CLASSNOTAVAILABLE;
    return TComServer::Instance().Factory().QueryInterface(riid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return TComServer::Instance().CanUnloadNow() ? S_OK : S_FALSE;
}

namespace {

HRESULT Registering(void (*step)(TComServer&)) {
    try {
        step(TComServer::Instance());
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace

extern "C" HRESULT WINAPI DllRegisterServer() { return Registering(&kestova::RegisterServer); }

extern "C" HRESULT WINAPI DllUnregisterServer() { return Registering(&kestova::UnregisterServer); }

// The convention for per-user installs: `regsvr32 /n /i:user` registers for the current user,
// `regsvr32 /u /n /i:user` removes that again. Nothing else is asked of it.
extern "C" HRESULT WINAPI DllInstall(BOOL install, LPCWSTR cmdLine) {
    if (!cmdLine || _wcsicmp(cmdLine, L"user") != 0) return E_INVALIDARG;
    return Registering(install ? &kestova::RegisterServerForUser : &kestova::UnregisterServerForUser);
}
