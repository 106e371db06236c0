#include "platform/Shell.h"

#include "platform/InstalledPort.h"

namespace kestova {

namespace {
TInstalledPort<IShell> installed(&CreateOsShell);
}

std::shared_ptr<IShell> Shell() { return installed.Get(); }
void SetShell(std::shared_ptr<IShell> shell) { installed.Set(std::move(shell)); }

}  // namespace kestova
