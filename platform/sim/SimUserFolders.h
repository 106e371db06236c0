#pragma once
// User folders as a test sets them: which folders take new files, and the user's data folder
// (none by default, so everything stays in the program folder).
#include "platform/UserFolders.h"

#include <set>

namespace kestova {

class TSimUserFolders : public IUserFolders {
public:
    bool CanCreateFileIn(const std::string& folder) override { return Unwritable.count(folder) == 0; }
    std::string UserDataFolder() override { return UserData; }

    std::set<std::string> Unwritable;
    std::string UserData;
};

}  // namespace kestova
