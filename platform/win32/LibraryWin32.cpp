// Dynamic libraries through LoadLibraryExW, always with a full path, so neither the current
// directory nor PATH can supply a planted DLL. LOAD_WITH_ALTERED_SEARCH_PATH makes the
// library's own dependencies resolve from its folder first.
#include "platform/Library.h"
#include "platform/win32/ModuleWin32.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <utility>

namespace kestova {

namespace win32 {

HMODULE ModuleOf(const void* code) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(code), &module))
        return nullptr;
    return module;
}

std::wstring ModulePath(HMODULE module, DWORD* error) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), DWORD(path.size()));
        if (length == 0) {
            if (error) *error = GetLastError();
            return {};
        }
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);  // truncated: long path
    }
}

}  // namespace win32

namespace {

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/") + 1); }

bool IsBareName(const std::string& fileName) {
    return !fileName.empty() && fileName.find_first_of("\\/:") == std::string::npos;
}

HMODULE Open(const std::wstring& path) {
    // A damaged file must fail quietly inside Outlook, not raise a system error box.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    SetThreadErrorMode(oldMode, nullptr);
    return module;
}

}  // namespace

void TLibrary::Reset() {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(std::exchange(handle_, nullptr)));
}

void* TLibrary::Symbol(const char* name) const {
    return handle_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)) : nullptr;
}

std::string TLibrary::FileName() const {
    return handle_ ? win32::Narrow(win32::ModulePath(static_cast<HMODULE>(handle_))) : std::string();
}

TLibrary LoadLibraryIn(const std::string& folder, const std::string& fileName) {
    if (folder.empty() || !IsBareName(fileName)) return {};
    return TLibrary(Open(win32::Widen(folder + fileName)));
}

TLibrary LoadSystemLibrary(const std::string& fileName) {
    if (!IsBareName(fileName)) return {};
    std::wstring folder(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(folder.data(), UINT(folder.size()));
    if (length == 0 || length >= folder.size()) return {};
    folder.resize(length);
    return TLibrary(Open(folder + L"\\" + win32::Widen(fileName)));
}

std::string ModuleFolderOf(const void* code) {
    HMODULE module = win32::ModuleOf(code);
    if (!module) return {};
    return win32::Narrow(FolderOf(win32::ModulePath(module)));
}

}  // namespace kestova
