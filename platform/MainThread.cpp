#include "platform/MainThread.h"

#include <mutex>

#include "core/Exception.h"

namespace kestova {

namespace {
std::mutex installedLock;
std::shared_ptr<IMainThread> installed;
}  // namespace

std::shared_ptr<IMainThread> MainThread() {
    std::lock_guard<std::mutex> guard(installedLock);
    if (!installed) throw Exception("No main-thread dispatcher is installed");
    return installed;
}

void SetMainThread(std::shared_ptr<IMainThread> dispatcher) {
    std::lock_guard<std::mutex> guard(installedLock);
    installed = std::move(dispatcher);
}

}  // namespace kestova
