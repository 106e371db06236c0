// A COM add-in of the tests' own whose OnConnection fails, as a broken add-in's would. It
// registers itself for Outlook's start, so the simulated Outlook can show what it does with
// an add-in that cannot connect.
#include <windows.h>

#include <string>

#include "platform/win32/ComObject.h"
#include "addin/com/IDTExtensibility2.h"

#include <objbase.h>

namespace {

using kestova::com::TComObject;
using kestova::com::TVtableDispatch;

const CLSID kClassId = {0x6c2f1d0b, 0x3e47, 0x4a8c, {0x9b, 0x1e, 0x5d, 0x7a, 0x0f, 0x3c, 0x2b, 0x91}};
const wchar_t kProgId[] = L"KestovaTests.FailingAddin";
const wchar_t kAddinKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins\\KestovaTests.FailingAddin";
const HRESULT kRefusal = E_ACCESSDENIED;

class TFailingAddin : public TVtableDispatch<IDTExtensibility2> {
public:
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch*, kestova::com::ext_ConnectMode, IDispatch*,
                                           SAFEARRAY**) override {
        return kRefusal;
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(kestova::com::ext_DisconnectMode, SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

protected:
    void* QueryExtra(REFIID riid) override { return riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr; }
};

class TFactory : public TComObject<IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return kestova::com::Make<TFailingAddin>()->QueryInterface(riid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

HMODULE OwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OwnModule), &module);
    return module;
}

std::wstring ClassIdText() {
    wchar_t text[40];
    StringFromGUID2(kClassId, text, 40);
    return text;
}

std::wstring ClassKey() { return L"CLSID\\" + ClassIdText(); }

bool WriteText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    return RegSetKeyValueW(root, key.c_str(), name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != kClassId) return CLASS_E_CLASSNOTAVAILABLE;
    try {
        return kestova::com::Make<TFactory>()->QueryInterface(riid, out);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(OwnModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return E_FAIL;
    const std::wstring server = ClassKey() + L"\\InprocServer32";
    const DWORD startup = 3;
    const bool written = WriteText(HKEY_CLASSES_ROOT, server, nullptr, path) &&
                         WriteText(HKEY_CLASSES_ROOT, server, L"ThreadingModel", L"Apartment") &&
                         WriteText(HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\Clsid", nullptr, ClassIdText()) &&
                         WriteText(HKEY_LOCAL_MACHINE, kAddinKey, L"FriendlyName", L"Failing add-in") &&
                         RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAddinKey, L"LoadBehavior", REG_DWORD, &startup,
                                         sizeof startup) == ERROR_SUCCESS;
    return written ? S_OK : E_FAIL;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAddinKey);
    return S_OK;
}
