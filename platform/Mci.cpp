#include "platform/Mci.h"

#include "platform/InstalledPort.h"

namespace kestova {

namespace {
TInstalledPort<IMci> installed(&CreateOsMci);
}

std::shared_ptr<IMci> Mci() { return installed.Get(); }
void SetMci(std::shared_ptr<IMci> mci) { installed.Set(std::move(mci)); }

}  // namespace kestova
