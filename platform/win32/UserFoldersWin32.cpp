// The user-folders port on Windows: a temporary file made and removed as the probe, and the
// known folder LocalAppData, which needs no roaming and no administrator.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "platform/UserFolders.h"
#include "platform/win32/WideText.h"

namespace kestova {

namespace {

const wchar_t kProgramFolder[] = L"Kestova for Outlook\\";

std::wstring LocalAppData() {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &path);
    std::wstring folder = SUCCEEDED(result) ? std::wstring(path) + L"\\" : std::wstring();
    CoTaskMemFree(path);
    return folder;
}

class TUserFoldersWin32 : public IUserFolders {
public:
    bool CanCreateFileIn(const std::string& folder) override {
        wchar_t probe[MAX_PATH] = {};
        if (GetTempFileNameW(win32::Widen(folder).c_str(), L"kst", 0, probe) == 0) return false;
        DeleteFileW(probe);
        return true;
    }

    std::string UserDataFolder() override {
        const std::wstring root = LocalAppData();
        if (root.empty()) return {};
        const std::wstring folder = root + kProgramFolder;
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
        return win32::Narrow(folder);
    }
};

}  // namespace

std::shared_ptr<IUserFolders> CreateOsUserFolders() { return std::make_shared<TUserFoldersWin32>(); }

}  // namespace kestova
