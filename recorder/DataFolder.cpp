#include "recorder/DataFolder.h"

#include "platform/UserFolders.h"
#include "recorder/Links.h"

namespace kestova {

std::string DataFolder() {
    const std::string program = AppPath();
    const auto folders = UserFolders();
    if (folders->CanCreateFileIn(program)) return program;
    const std::string own = folders->UserDataFolder();
    return own.empty() ? program : own;
}

}  // namespace kestova
