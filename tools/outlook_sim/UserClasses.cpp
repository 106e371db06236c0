#include "tools/outlook_sim/UserClasses.h"

#include "platform/win32/ComObject.h"
#include "platform/Library.h"
#include "platform/win32/WideText.h"

#include <vector>

namespace kestova::sim {

namespace {

const wchar_t kUserClasses[] = L"Software\\Classes\\";

std::wstring UserClassValue(const std::wstring& key) {
    std::wstring value(1024, L'\0');
    DWORD size = DWORD(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, (kUserClasses + key).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS)
        return {};
    value.resize(size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return value;
}

// The servers stay loaded for the process: their objects may live until its end.
std::vector<TLibrary>& LoadedServers() {
    static std::vector<TLibrary> servers;
    return servers;
}

HRESULT CreateFromUserClass(const std::wstring& progID, IUnknown** addin) {
    const std::wstring clsidText = UserClassValue(progID + L"\\Clsid");
    CLSID clsid{};
    if (clsidText.empty() || FAILED(CLSIDFromString(clsidText.c_str(), &clsid))) return CO_E_CLASSSTRING;
    const std::string path = win32::Narrow(UserClassValue(L"CLSID\\" + clsidText + L"\\InprocServer32"));
    const size_t split = path.find_last_of("\\/") + 1;
    TLibrary server = LoadLibraryIn(path.substr(0, split), path.substr(split));
    using TGetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject = reinterpret_cast<TGetClassObject>(server.Symbol("DllGetClassObject"));
    if (!getClassObject) return REGDB_E_CLASSNOTREG;
    com::ComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(clsid, IID_PPV_ARGS(&factory));
    if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_PPV_ARGS(addin));
    if (SUCCEEDED(hr)) LoadedServers().push_back(std::move(server));
    return hr;
}

}  // namespace

HRESULT CreateAddinObject(const std::wstring& progID, IUnknown** addin) {
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progID.c_str(), &clsid);
    if (SUCCEEDED(hr)) return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(addin));
    return CreateFromUserClass(progID, addin);
}

}  // namespace kestova::sim
