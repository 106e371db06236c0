#include "addin/Registration.h"

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <string>

#include "addin/ComServer.h"
#include "addin/com/Handles.h"
#include "addin/com/OleError.h"
#include "addin/zelAddinFactory.h"
#include "addin/zelt_h.h"
#include "platform/win32/WideText.h"

namespace kestova {

namespace {

const wchar_t kOutlookAddins[] = L"Software\\Microsoft\\Office\\Outlook\\Addins\\";
const wchar_t kFriendlyName[] = L"Kestova for Outlook";
const DWORD kLoadAtStartup = 3;  // Outlook loads and connects the add-in at every start

std::atomic<TRegistryValueWriter> valueWriter{&RegSetValueExW};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);  // {XXXXXXXX-...} in upper case
    return text;
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\:") + 1);
}

struct TLibVersion {
    WORD major;
    WORD minor;
    LCID locale;
    SYSKIND kind;
};

TLibVersion VersionOf(ITypeLib* library) {
    TLIBATTR* attributes = nullptr;
    com::Check(library->GetLibAttr(&attributes), "GetLibAttr");
    const TLibVersion version{attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid, attributes->syskind};
    library->ReleaseTLibAttr(attributes);
    return version;
}

std::wstring VersionText(const TLibVersion& version) {
    return std::to_wstring(version.major) + L"." + std::to_wstring(version.minor);
}

// Paths with spaces go in as their short form, which no host misreads as a command line.
std::wstring ServerPath(const std::wstring& path) {
    if (path.find(L' ') == std::wstring::npos) return path;
    std::wstring shortPath(path.size() + 1, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), DWORD(shortPath.size()));
    if (length == 0 || length >= shortPath.size()) throw com::EOleError(HRESULT_FROM_WIN32(GetLastError()), "GetShortPathName");
    shortPath.resize(length);
    return shortPath;
}

void CheckRegistry(LSTATUS status, const std::wstring& key) {
    if (status != ERROR_SUCCESS) throw com::EOleError(HRESULT_FROM_WIN32(status), "registry key " + win32::Narrow(key));
}

void WriteValue(HKEY key, const std::wstring& keyName, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    CheckRegistry(valueWriter.load()(key, name, 0, type, static_cast<const BYTE*>(data), size), keyName);
}

void WriteString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& data) {
    com::TRegKey handle;
    CheckRegistry(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, handle.Put(), nullptr), key);
    WriteValue(handle.Get(), key, name, REG_SZ, data.c_str(), DWORD((data.size() + 1) * sizeof(wchar_t)));
}

void RegisterTypeLibrary(TComServer& server) {
    std::wstring path = server.ModuleFileName();
    std::wstring helpFolder = FolderOf(path);
    com::Check(RegisterTypeLib(server.TypeLib(), path.data(), helpFolder.data()), "RegisterTypeLib");
}

void RegisterClassKeys(TComServer& server) {
    const TzelAddinFactory& factory = server.Factory();
    const std::wstring classKey = L"CLSID\\" + GuidText(CLSID_zelAddin);
    const std::wstring progID = factory.ProgID();
    const std::wstring description = factory.Description();
    WriteString(HKEY_CLASSES_ROOT, classKey, nullptr, description);
    WriteString(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", nullptr, ServerPath(server.ModuleFileName()));
    WriteString(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", L"ThreadingModel", factory.ThreadingModel());
    WriteString(HKEY_CLASSES_ROOT, progID, nullptr, description);
    WriteString(HKEY_CLASSES_ROOT, progID + L"\\Clsid", nullptr, GuidText(CLSID_zelAddin));
    WriteString(HKEY_CLASSES_ROOT, classKey + L"\\ProgID", nullptr, progID);
    WriteString(HKEY_CLASSES_ROOT, classKey + L"\\Version", nullptr, VersionText(VersionOf(server.TypeLib())));
    WriteString(HKEY_CLASSES_ROOT, classKey + L"\\TypeLib", nullptr, GuidText(LIBID_zelt));
}

// Not being able to open this key is no error: the class is then a COM class only. Once it is
// open, a value that cannot be written is: the add-in would not be loaded.
void RegisterOutlookAddin(const std::wstring& progID) {
    const std::wstring keyName = kOutlookAddins + progID;
    com::TRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    WriteValue(key.Get(), keyName, L"FriendlyName", REG_SZ, kFriendlyName, sizeof kFriendlyName);
    WriteValue(key.Get(), keyName, L"LoadBehavior", REG_DWORD, &kLoadAtStartup, sizeof kLoadAtStartup);
}

}  // namespace

TRegistryValueWriter SetRegistryValueWriter(TRegistryValueWriter writer) { return valueWriter.exchange(writer); }

void RegisterServer(TComServer& server) {
    RegisterTypeLibrary(server);
    RegisterClassKeys(server);
    RegisterOutlookAddin(server.Factory().ProgID());
}

void UnregisterServer(TComServer& server) {
    const TLibVersion version = VersionOf(server.TypeLib());
    UnRegisterTypeLib(LIBID_zelt, version.major, version.minor, version.locale, version.kind);
    const std::wstring classKey = L"CLSID\\" + GuidText(CLSID_zelAddin);
    const std::wstring progID = server.Factory().ProgID();
    for (const std::wstring& key : {classKey + L"\\TypeLib", classKey + L"\\Version", classKey + L"\\ProgID",
                                    progID + L"\\Clsid", progID, classKey + L"\\InprocServer32", classKey})
        RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kOutlookAddins + progID).c_str());
}

}  // namespace kestova
