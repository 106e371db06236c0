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

// In oleaut32 since Vista, but missing from mingw-w64's oleauto.h.
extern "C" {
HRESULT STDAPICALLTYPE RegisterTypeLibForUser(ITypeLib* library, OLECHAR* fullPath, OLECHAR* helpFolder);
HRESULT STDAPICALLTYPE UnRegisterTypeLibForUser(REFGUID libraryID, WORD major, WORD minor, LCID locale,
                                                SYSKIND kind);
}

namespace kestova {

namespace {

const wchar_t kOutlookAddins[] = L"Software\\Microsoft\\Office\\Outlook\\Addins\\";
const wchar_t kFriendlyName[] = L"Kestova for Outlook";
const DWORD kLoadAtStartup = 3;  // Outlook loads and connects the add-in at every start
const wchar_t kDescription[] = L"Speak a message and send it as an MP3 attachment";
const wchar_t kUserClasses[] = L"Software\\Classes";

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
    // The short form can be the longer one ("a b" -> "AB~1"): a buffer too small is answered
    // with the size it needs, terminator included.
    std::wstring shortPath(path.size() + 1, L'\0');
    for (;;) {
        const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), DWORD(shortPath.size()));
        if (length == 0) throw com::EOleError(HRESULT_FROM_WIN32(GetLastError()), "GetShortPathName");
        if (length < shortPath.size()) return shortPath.substr(0, length);
        shortPath.assign(length, L'\0');
    }
}

void CheckRegistry(LSTATUS status, const std::wstring& key) {
    if (status != ERROR_SUCCESS) throw com::EOleError(HRESULT_FROM_WIN32(status), "registry key " + win32::Narrow(key));
}

void WriteValue(HKEY key, const std::wstring& keyName, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    CheckRegistry(valueWriter.load()(key, name, 0, type, static_cast<const BYTE*>(data), size), keyName);
}

com::TRegKey CreateKey(HKEY root, const std::wstring& key) {
    com::TRegKey handle;
    CheckRegistry(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, handle.Put(), nullptr), key);
    return handle;
}

void WriteString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& data) {
    WriteValue(CreateKey(root, key).Get(), key, name, REG_SZ, data.c_str(), DWORD((data.size() + 1) * sizeof(wchar_t)));
}

using TTypeLibRegistrar = HRESULT(STDAPICALLTYPE*)(ITypeLib*, OLECHAR*, OLECHAR*);
using TTypeLibUnregistrar = HRESULT(STDAPICALLTYPE*)(REFGUID, WORD, WORD, LCID, SYSKIND);

void RegisterTypeLibrary(TComServer& server, TTypeLibRegistrar registrar, const char* what) {
    std::wstring path = server.ModuleFileName();
    std::wstring helpFolder = FolderOf(path);
    com::Check(registrar(server.TypeLib(), path.data(), helpFolder.data()), what);
}

// Whatever the system answers, unregistering goes on.
void UnregisterTypeLibrary(TComServer& server, TTypeLibUnregistrar unregistrar) {
    const TLibVersion version = VersionOf(server.TypeLib());
    unregistrar(LIBID_zelt, version.major, version.minor, version.locale, version.kind);
}

// Under `classes`: HKEY_CLASSES_ROOT for the machine, HKCU\Software\Classes for one user.
void RegisterClassKeys(TComServer& server, HKEY classes) {
    const TzelAddinFactory& factory = server.Factory();
    const std::wstring classKey = L"CLSID\\" + GuidText(CLSID_zelAddin);
    const std::wstring progID = factory.ProgID();
    const std::wstring description = factory.Description();
    WriteString(classes, classKey, nullptr, description);
    WriteString(classes, classKey + L"\\InprocServer32", nullptr, ServerPath(server.ModuleFileName()));
    WriteString(classes, classKey + L"\\InprocServer32", L"ThreadingModel", factory.ThreadingModel());
    WriteString(classes, progID, nullptr, description);
    WriteString(classes, progID + L"\\Clsid", nullptr, GuidText(CLSID_zelAddin));
    WriteString(classes, classKey + L"\\ProgID", nullptr, progID);
    WriteString(classes, classKey + L"\\Version", nullptr, VersionText(VersionOf(server.TypeLib())));
    WriteString(classes, classKey + L"\\TypeLib", nullptr, GuidText(LIBID_zelt));
}

// Missing keys and keys that cannot be deleted are passed over.
void DeleteClassKeys(const std::wstring& progID, HKEY classes) {
    const std::wstring classKey = L"CLSID\\" + GuidText(CLSID_zelAddin);
    for (const std::wstring& key : {classKey + L"\\TypeLib", classKey + L"\\Version", classKey + L"\\ProgID",
                                    progID + L"\\Clsid", progID, classKey + L"\\InprocServer32", classKey})
        RegDeleteKeyW(classes, key.c_str());
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

com::TRegKey OpenUserClasses() {
    com::TRegKey classes;
    CheckRegistry(RegCreateKeyExW(HKEY_CURRENT_USER, kUserClasses, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                  classes.Put(), nullptr),
                  kUserClasses);
    return classes;
}

// Windows' RegisterTypeLibForUser points HKEY_CLASSES_ROOT at the user's classes for the
// time of its work; Wine's writes to the machine's. Doing the same around the call keeps the
// type library, and its interfaces, under HKEY_CURRENT_USER on both.
class TUserClassesRoot {
public:
    explicit TUserClassesRoot(HKEY userClasses) {
        CheckRegistry(RegOverridePredefKey(HKEY_CLASSES_ROOT, userClasses), L"HKEY_CLASSES_ROOT");
    }
    ~TUserClassesRoot() { RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr); }
    TUserClassesRoot(const TUserClassesRoot&) = delete;
    TUserClassesRoot& operator=(const TUserClassesRoot&) = delete;
};

// Per user the add-in key is no optional extra: it is what the user installed for.
void RegisterUserAddin(const std::wstring& progID) {
    const std::wstring keyName = kOutlookAddins + progID;
    const com::TRegKey key = CreateKey(HKEY_CURRENT_USER, keyName);
    WriteValue(key.Get(), keyName, L"FriendlyName", REG_SZ, kFriendlyName, sizeof kFriendlyName);
    WriteValue(key.Get(), keyName, L"Description", REG_SZ, kDescription, sizeof kDescription);
    WriteValue(key.Get(), keyName, L"LoadBehavior", REG_DWORD, &kLoadAtStartup, sizeof kLoadAtStartup);
}

}  // namespace

TRegistryValueWriter SetRegistryValueWriter(TRegistryValueWriter writer) { return valueWriter.exchange(writer); }

void RegisterServer(TComServer& server) {
    RegisterTypeLibrary(server, &RegisterTypeLib, "RegisterTypeLib");
    RegisterClassKeys(server, HKEY_CLASSES_ROOT);
    RegisterOutlookAddin(server.Factory().ProgID());
}

void UnregisterServer(TComServer& server) {
    UnregisterTypeLibrary(server, &UnRegisterTypeLib);
    const std::wstring progID = server.Factory().ProgID();
    DeleteClassKeys(progID, HKEY_CLASSES_ROOT);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kOutlookAddins + progID).c_str());
}

void RegisterServerForUser(TComServer& server) {
    const com::TRegKey classes = OpenUserClasses();
    {
        const TUserClassesRoot userRoot(classes.Get());
        RegisterTypeLibrary(server, &RegisterTypeLibForUser, "RegisterTypeLibForUser");
    }
    RegisterClassKeys(server, classes.Get());
    RegisterUserAddin(server.Factory().ProgID());
}

void UnregisterServerForUser(TComServer& server) {
    const com::TRegKey classes = OpenUserClasses();
    {
        const TUserClassesRoot userRoot(classes.Get());
        UnregisterTypeLibrary(server, &UnRegisterTypeLibForUser);
    }
    const std::wstring progID = server.Factory().ProgID();
    DeleteClassKeys(progID, classes.Get());
    RegDeleteKeyW(HKEY_CURRENT_USER, (kOutlookAddins + progID).c_str());
}

}  // namespace kestova
