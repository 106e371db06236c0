#include "tools/outlook_sim/AddinHost.h"

#include "addin/com/Handles.h"

namespace kestova::sim {

namespace {

const wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins";
const DWORD kLoadAtStartup = 3;

DWORD LoadBehavior(HKEY addins, const wchar_t* progID) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(addins, progID, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return 0;
    return value;
}

// The `custom` argument: an empty array of variants, as Outlook passes it.
com::TSafeArray EmptyCustom() {
    return com::TSafeArray(SafeArrayCreateVector(VT_VARIANT, 0, 0));
}

}  // namespace

std::vector<std::wstring> TAddinHost::StartupAddins() {
    std::vector<std::wstring> progIDs;
    com::TRegKey addins;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAddinsKey, 0, KEY_READ, addins.Put()) != ERROR_SUCCESS) return progIDs;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(addins.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (LoadBehavior(addins.Get(), name) == kLoadAtStartup) progIDs.emplace_back(name);
    }
    return progIDs;
}

std::vector<TAddinResult> TAddinHost::Connect() {
    std::vector<TAddinResult> results;
    for (const std::wstring& progID : StartupAddins()) {
        CLSID clsid{};
        com::ComPtr<IUnknown> addin;
        HRESULT hr = CLSIDFromProgID(progID.c_str(), &clsid);
        if (SUCCEEDED(hr)) hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&addin));
        if (SUCCEEDED(hr)) hr = Connect(progID, addin.Get());
        results.push_back({progID, hr});
    }
    return results;
}

HRESULT TAddinHost::Connect(const std::wstring& progID, IUnknown* addin) {
    com::ComPtr<IDTExtensibility2> extensibility;
    HRESULT hr = addin->QueryInterface(__uuidof(IDTExtensibility2), reinterpret_cast<void**>(extensibility.GetAddressOf()));
    if (FAILED(hr)) return hr;
    com::TSafeArray custom = EmptyCustom();
    SAFEARRAY* array = custom.Get();
    hr = extensibility->OnConnection(application_.Get(), com::ext_cm_Startup, nullptr, &array);
    if (FAILED(hr)) return hr;
    loaded_.push_back({progID, extensibility});
    return extensibility->OnStartupComplete(&array);
}

std::vector<TAddinResult> TAddinHost::Disconnect() {
    std::vector<TAddinResult> results;
    com::TSafeArray custom = EmptyCustom();
    SAFEARRAY* array = custom.Get();
    for (const TLoaded& loaded : loaded_) loaded.addin->OnBeginShutdown(&array);
    for (const TLoaded& loaded : loaded_)
        results.push_back({loaded.progID, loaded.addin->OnDisconnection(com::ext_dm_HostShutdown, &array)});
    loaded_.clear();
    return results;
}

}  // namespace kestova::sim
