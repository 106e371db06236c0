#include "platform/UserFolders.h"

#include "platform/InstalledPort.h"

namespace kestova {

namespace {
TInstalledPort<IUserFolders> installed(&CreateOsUserFolders);
}

std::shared_ptr<IUserFolders> UserFolders() { return installed.Get(); }
void SetUserFolders(std::shared_ptr<IUserFolders> userFolders) { installed.Set(std::move(userFolders)); }

}  // namespace kestova
