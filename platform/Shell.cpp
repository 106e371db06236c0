#include "platform/Shell.h"

#include "platform/InstalledPort.h"

namespace kestova {

namespace {
TInstalledPort<IShell>& Installed() {
    static TInstalledPort<IShell> port(&CreateOsShell);
    return port;
}
}  // namespace

std::shared_ptr<IShell> Shell() { return Installed().Get(); }

void SetShell(std::shared_ptr<IShell> shell) { Installed().Set(std::move(shell)); }

}  // namespace kestova
