#include "tools/outlook_sim/AddinHost.h"

#include <algorithm>

#include "addin/com/Dispatch.h"
#include "addin/com/Handles.h"
#include "addin/com/OleError.h"
#include "platform/win32/WideText.h"
#include "tools/outlook_sim/Stopwatch.h"
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

// 3 loads at start; 2 is Outlook's mark of an add-in unloaded, by a failure, by the user or
// by resiliency.
const DWORD kUnloaded = 2;
void SetLoadBehavior(const std::wstring& progID, DWORD value) {
    const com::TRegKey addin = OpenAddinKey(progID, KEY_SET_VALUE);
    if (addin.Get())
        RegSetValueExW(addin.Get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// Resiliency's limits, Outlook 2013 and later.
const double kStartBudgetMs = 1000;
const double kItemOpenBudgetMs = 500;
const size_t kStartsJudged = 5;

double MedianOfLast(std::vector<double> values, size_t count) {
    values.erase(values.begin(), values.end() - long(count));
    std::sort(values.begin(), values.end());
    return values[count / 2];
}

std::string Millis(double ms) { return std::to_string(long(ms + 0.5)) + " ms"; }

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

size_t TAddinHost::Count() const {
    return size_t(std::count_if(loaded_.begin(), loaded_.end(), [](const TLoaded& l) { return l.addin != nullptr; }));
}

TAddinHost::TLoaded* TAddinHost::Find(const std::wstring& progID) {
    const auto found = std::find_if(loaded_.begin(), loaded_.end(), [&](const TLoaded& l) { return l.progID == progID; });
    return found == loaded_.end() ? nullptr : &*found;
}

// Its Connect, written by the COM Add-ins dialog, loads or unloads the add-in; what fails is
// raised to the writer.
com::ComPtr<TSimComAddIn> TAddinHost::InstanceFor(const std::wstring& progID) {
    return com::Make<TSimComAddIn>(progID, [this, progID](bool ticked) {
        TLoaded* loaded = Find(progID);
        if (!loaded) throw com::EOleError(E_UNEXPECTED, "not a known add-in");
        HRESULT hr = S_OK;
        if (ticked) {
            com::ComPtr<IUnknown> addin;
            double ms = 0;
            hr = CreateAddinObject(progID, addin.GetAddressOf());
            if (SUCCEEDED(hr)) hr = ConnectLoaded(*loaded, addin.Get(), com::ext_cm_AfterStartup, ms);
        } else {
            hr = DisconnectLoaded(*loaded, com::ext_dm_UserClosed);
        }
        SetLoadBehavior(progID, ticked && SUCCEEDED(hr) ? kLoadAtStartup : kUnloaded);
        com::Check(hr, ticked ? "connect" : "disconnect");
    });
}

HRESULT TAddinHost::ConnectLoaded(TLoaded& loaded, IUnknown* addin, com::ext_ConnectMode mode, double& ms) {
    com::ComPtr<IDTExtensibility2> extensibility;
    HRESULT hr = addin->QueryInterface(__uuidof(IDTExtensibility2), reinterpret_cast<void**>(extensibility.GetAddressOf()));
    if (FAILED(hr)) return hr;
    com::TSafeArray custom = EmptyCustom();
    SAFEARRAY* array = custom.Get();
    ms = TimedMs([&] {
        hr = extensibility->OnConnection(application_.Get(), mode, loaded.instance->AsDispatch(), &array);
        if (FAILED(hr)) return;
        loaded.addin = extensibility;
        loaded.instance->SetConnected(true);
        if (OnConnected) OnConnected(loaded.progID, addin);
        if (mode != com::ext_cm_AfterStartup) hr = extensibility->OnStartupComplete(&array);
    });
    return hr;
}

HRESULT TAddinHost::DisconnectLoaded(TLoaded& loaded, com::ext_DisconnectMode mode) {
    const com::ComPtr<IDTExtensibility2> addin = std::move(loaded.addin);
    loaded.instance->SetConnected(false);
    if (!addin) return S_OK;
    com::TSafeArray custom = EmptyCustom();
    SAFEARRAY* array = custom.Get();
    const HRESULT hr = addin->OnDisconnection(mode, &array);
    if (OnDisconnected) OnDisconnected(loaded.progID);
    return hr;
}

std::string TAddinHost::JudgeStart(const std::wstring& progID, double ms) {
    std::vector<double>& starts = starts_[progID];
    starts.push_back(ms);
    if (starts.size() < kStartsJudged) return {};
    const double median = MedianOfLast(starts, kStartsJudged);
    if (median <= kStartBudgetMs) return {};
    SetLoadBehavior(progID, kUnloaded);
    return "disabled by Outlook: the median of its last 5 starts, " + Millis(median) + ", is over " +
           Millis(kStartBudgetMs);
}

std::string TAddinHost::ItemOpened(double ms) {
    if (ms <= kItemOpenBudgetMs) return {};
    std::string verdict;
    for (const TLoaded& loaded : loaded_) {
        if (!loaded.addin) continue;
        SetLoadBehavior(loaded.progID, kUnloaded);
        verdict += (verdict.empty() ? "" : ", ") + win32::Narrow(loaded.progID);
    }
    return verdict.empty() ? verdict
                           : verdict + " disabled by Outlook: an item took " + Millis(ms) + " to open, over " +
                                 Millis(kItemOpenBudgetMs);
}

std::vector<TAddinResult> TAddinHost::Connect(com::ext_ConnectMode mode) {
    std::vector<TAddinResult> results;
    lastStartMs_ = 0;
    for (const std::wstring& progID : StartupAddins()) {
        TLoaded* loaded = Find(progID);
        if (loaded && loaded->addin) continue;
        com::ComPtr<IUnknown> addin;
        TAddinResult result{progID, CreateAddinObject(progID, addin.GetAddressOf())};
        if (!loaded) loaded = &loaded_.emplace_back(TLoaded{progID, nullptr, InstanceFor(progID)});
        if (SUCCEEDED(result.result)) result.result = ConnectLoaded(*loaded, addin.Get(), mode, result.ms);
        if (FAILED(result.result)) {
            SetLoadBehavior(progID, kUnloaded);
        } else if (mode == com::ext_cm_Startup) {
            result.verdict = JudgeStart(progID, result.ms);
        }
        lastStartMs_ = std::max(lastStartMs_, result.ms);
        results.push_back(result);
    }
    return results;
}

HRESULT TAddinHost::Connect(const std::wstring& progID, IUnknown* addin) {
    loaded_.push_back({progID, nullptr, InstanceFor(progID)});
    double ms = 0;
    const HRESULT hr = ConnectLoaded(loaded_.back(), addin, com::ext_cm_Startup, ms);
    if (!loaded_.back().addin) loaded_.pop_back();
    return hr;
}

TAddinResult TAddinHost::Disconnect(const std::wstring& progID) {
    TLoaded* loaded = Find(progID);
    if (!loaded || !loaded->addin) return {progID, E_INVALIDARG};
    TLoaded unloading = std::move(*loaded);
    loaded_.erase(loaded_.begin() + (loaded - loaded_.data()));
    return {progID, DisconnectLoaded(unloading, com::ext_dm_UserClosed)};
}

std::vector<TAddinResult> TAddinHost::Disconnect() {
    std::vector<TAddinResult> results;
    com::TSafeArray custom = EmptyCustom();
    SAFEARRAY* array = custom.Get();
    std::vector<TLoaded> unloading = std::move(loaded_);
    loaded_.clear();
    for (const TLoaded& loaded : unloading)
        if (loaded.addin) loaded.addin->OnBeginShutdown(&array);
    for (TLoaded& loaded : unloading) {
        if (!loaded.addin) continue;
        TAddinResult result{loaded.progID, S_OK};
        result.ms = TimedMs([&] { result.result = DisconnectLoaded(loaded, com::ext_dm_HostShutdown); });
        results.push_back(result);
    }
    return results;
}

double TAddinHost::Release() {
    return TimedMs([&] {
        std::vector<TLoaded> unloading = std::move(loaded_);
        loaded_.clear();
        for (TLoaded& loaded : unloading) {
            loaded.instance->SetConnected(false);
            if (OnDisconnected) OnDisconnected(loaded.progID);
        }
    });
}

TAddinResult TAddinHost::SetTicked(const std::wstring& progID, bool ticked) {
    TLoaded* loaded = Find(progID);
    if (!loaded) return {progID, E_INVALIDARG};
    const com::ComPtr<TSimComAddIn> instance = loaded->instance;
    TAddinResult result{progID, S_OK};
    try {
        result.ms = TimedMs([&] { com::PutProperty(instance->AsDispatch(), L"Connect", com::TVariant(ticked)); });
    } catch (const com::EOleError& error) {
        result.result = error.Code();
    }
    return result;
}

}  // namespace kestova::sim
