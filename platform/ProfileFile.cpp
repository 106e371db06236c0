#include "platform/ProfileFile.h"

#include "platform/InstalledPort.h"

namespace kestova {

namespace {
TInstalledPort<IProfileFile> installed(&CreateOsProfileFile);
}

std::shared_ptr<IProfileFile> ProfileFile() { return installed.Get(); }
void SetProfileFile(std::shared_ptr<IProfileFile> profileFile) { installed.Set(std::move(profileFile)); }

}  // namespace kestova
