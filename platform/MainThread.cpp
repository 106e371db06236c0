#include "platform/MainThread.h"

#include "core/Exception.h"
#include "platform/InstalledPort.h"

namespace kestova {

namespace {
// No default: a dispatcher belongs to the thread that makes it, which only its owner knows.
TInstalledPort<IMainThread> installed;
}  // namespace

std::shared_ptr<IMainThread> MainThread() {
    std::shared_ptr<IMainThread> dispatcher = installed.Get();
    if (!dispatcher) throw Exception("No main-thread dispatcher is installed");
    return dispatcher;
}

void SetMainThread(std::shared_ptr<IMainThread> dispatcher) { installed.Set(std::move(dispatcher)); }

}  // namespace kestova
