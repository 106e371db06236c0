#include "platform/ProfileFile.h"

#include "platform/InstalledPort.h"

namespace kestova {

namespace {
TInstalledPort<IProfileFile>& Installed() {
    static TInstalledPort<IProfileFile> port(&CreateOsProfileFile);
    return port;
}
}  // namespace

std::shared_ptr<IProfileFile> ProfileFile() { return Installed().Get(); }

void SetProfileFile(std::shared_ptr<IProfileFile> profileFile) { Installed().Set(std::move(profileFile)); }

}  // namespace kestova
