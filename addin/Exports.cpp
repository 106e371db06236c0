// The four entry points of an in-process COM server.
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

extern "C" HRESULT WINAPI DllRegisterServer() {
    try {
        kestova::RegisterServer(TComServer::Instance());
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    try {
        kestova::UnregisterServer(TComServer::Instance());
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}
