#include "tools/outlook_sim/AddinHost.h"

#include <algorithm>

#include "addin/com/Handles.h"
#include "tools/outlook_sim/UserClasses.h"

#include <set>

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

// The add-in's own key, the user's one first, as Outlook reads them.
com::TRegKey OpenAddinKey(const std::wstring& progID, REGSAM access) {
    const std::wstring key = std::wstring(kAddinsKey) + L"\\" + progID;
    com::TRegKey addin;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        if (RegOpenKeyExW(root, key.c_str(), 0, access, addin.Put()) == ERROR_SUCCESS) break;
    return addin;
}

// Outlook's mark of an add-in that failed to load.
void MarkUnloaded(const std::wstring& progID) {
    const DWORD unloaded = 2;
    const com::TRegKey addin = OpenAddinKey(progID, KEY_SET_VALUE);
    if (addin.Get())
        RegSetValueExW(addin.Get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&unloaded),
                       sizeof unloaded);
}

}  // namespace

// HKCU before HKLM, as Outlook reads them: the user's entry for a ProgID is the one that
// counts, and a ProgID registered in both is loaded once.
std::vector<std::wstring> TAddinHost::StartupAddins() {
    std::vector<std::wstring> progIDs;
    std::set<std::wstring> seen;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        com::TRegKey addins;
        if (RegOpenKeyExW(root, kAddinsKey, 0, KEY_READ, addins.Put()) != ERROR_SUCCESS) continue;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (RegEnumKeyExW(addins.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            std::wstring key = name;
            CharLowerW(key.data());
            if (!seen.insert(key).second) continue;
            if (LoadBehavior(addins.Get(), name) == kLoadAtStartup) progIDs.emplace_back(name);
        }
    }
    return progIDs;
}

DWORD TAddinHost::LoadBehaviorOf(const std::wstring& progID) {
    const com::TRegKey addin = OpenAddinKey(progID, KEY_READ);
    return addin.Get() ? LoadBehavior(addin.Get(), nullptr) : 0;
}

std::vector<TAddinResult> TAddinHost::Connect() {
    std::vector<TAddinResult> results;
    for (const std::wstring& progID : StartupAddins()) {
        com::ComPtr<IUnknown> addin;
        HRESULT hr = CreateAddinObject(progID, addin.GetAddressOf());
        if (SUCCEEDED(hr)) hr = Connect(progID, addin.Get());
        if (FAILED(hr)) MarkUnloaded(progID);
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
    const com::ComPtr<TSimComAddIn> instance = com::Make<TSimComAddIn>(progID);
    hr = extensibility->OnConnection(application_.Get(), com::ext_cm_Startup, instance->AsDispatch(), &array);
    if (FAILED(hr)) return hr;
    instance->SetConnected(true);
    loaded_.push_back({progID, extensibility, instance});
    if (OnConnected) OnConnected(progID, addin);
    return extensibility->OnStartupComplete(&array);
}

TAddinResult TAddinHost::Disconnect(const std::wstring& progID) {
    const auto loaded =
        std::find_if(loaded_.begin(), loaded_.end(), [&](const TLoaded& l) { return l.progID == progID; });
    if (loaded == loaded_.end()) return {progID, E_INVALIDARG};
    const TLoaded unloading = *loaded;
    loaded_.erase(loaded);
    com::TSafeArray custom = EmptyCustom();
    SAFEARRAY* array = custom.Get();
    unloading.instance->SetConnected(false);
    const HRESULT hr = unloading.addin->OnDisconnection(com::ext_dm_UserClosed, &array);
    if (OnDisconnected) OnDisconnected(progID);
    return {progID, hr};
}

std::vector<TAddinResult> TAddinHost::Disconnect() {
    std::vector<TAddinResult> results;
    com::TSafeArray custom = EmptyCustom();
    SAFEARRAY* array = custom.Get();
    for (const TLoaded& loaded : loaded_) loaded.addin->OnBeginShutdown(&array);
    for (const TLoaded& loaded : loaded_) {
        loaded.instance->SetConnected(false);
        results.push_back({loaded.progID, loaded.addin->OnDisconnection(com::ext_dm_HostShutdown, &array)});
        if (OnDisconnected) OnDisconnected(loaded.progID);
    }
    loaded_.clear();
    return results;
}

}  // namespace kestova::sim
