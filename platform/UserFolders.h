#pragma once
// User-folders port: where a user's own files go when the program folder is not theirs to
// write (an administrator's machine-wide install in Program Files, used by a normal user).
#include <memory>
#include <string>

namespace kestova {

class IUserFolders {
public:
    virtual ~IUserFolders() = default;

    // Whether a new file can be made in `folder` (ending with a separator): decided by making
    // one and removing it again, never by the folder's name or attributes.
    virtual bool CanCreateFileIn(const std::string& folder) = 0;
    // The program's folder among the user's own data, ending with a separator and created when
    // missing: %LOCALAPPDATA%\Kestova for Outlook\ on Windows. Empty when there is none.
    virtual std::string UserDataFolder() = 0;
};

std::shared_ptr<IUserFolders> CreateOsUserFolders();

// The port the recorder uses: the one installed, else the OS's (made on first use).
std::shared_ptr<IUserFolders> UserFolders();
void SetUserFolders(std::shared_ptr<IUserFolders> userFolders);

}  // namespace kestova
