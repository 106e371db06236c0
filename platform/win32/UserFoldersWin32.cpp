// The user-folders port on Windows: a temporary file made and removed as the probe, and the
// known folder LocalAppData, which needs no roaming and no administrator.
#include <windows.h>

#include <shlobj.h>

#include "platform/UserFolders.h"
#include "platform/win32/WideText.h"

namespace kestova {

namespace {

const wchar_t kProgramFolder[] = L"Kestova for Outlook\\";

// FOLDERID_LocalAppData, spelled out: taking it from libuuid pulls in that library's copy of
// IID_IAccessible, which clashes with oleacc's.
const KNOWNFOLDERID kLocalAppData = {0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};

std::wstring LocalAppData() {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(kLocalAppData, KF_FLAG_CREATE, nullptr, &path);
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
