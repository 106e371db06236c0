// The user-folders port on Linux: mkstemp as the probe, and the XDG data folder.
#include "platform/UserFolders.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace kestova {

namespace {

std::string DataHome() {
    if (const char* data = getenv("XDG_DATA_HOME"); data && *data) return std::string(data) + "/";
    if (const char* home = getenv("HOME"); home && *home) return std::string(home) + "/.local/share/";
    return {};
}

class TUserFoldersNative : public IUserFolders {
public:
    bool CanCreateFileIn(const std::string& folder) override {
        std::string probe = folder + ".kestova-probe-XXXXXX";
        const int file = mkstemp(probe.data());
        if (file < 0) return false;
        close(file);
        unlink(probe.c_str());
        return true;
    }

    std::string UserDataFolder() override {
        const std::string root = DataHome();
        if (root.empty()) return {};
        const std::string folder = root + "Kestova for Outlook/";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        return error ? std::string() : folder;
    }
};

}  // namespace

std::shared_ptr<IUserFolders> CreateOsUserFolders() { return std::make_shared<TUserFoldersNative>(); }

}  // namespace kestova
