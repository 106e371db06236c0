#include "platform/Shell.h"
#include "platform/sim/SimShell.h"

namespace kestova {

// No shell to hand documents to outside Windows: requests are only recorded.
std::shared_ptr<IShell> CreateOsShell() { return std::make_shared<TSimShell>(); }

}  // namespace kestova
