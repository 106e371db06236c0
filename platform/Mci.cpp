#include "platform/Mci.h"

#include <mutex>

namespace kestova {

namespace {
std::mutex installedLock;
std::shared_ptr<IMci> installed;
}  // namespace

std::shared_ptr<IMci> Mci() {
    std::lock_guard<std::mutex> guard(installedLock);
    if (!installed) installed = CreateOsMci();
    return installed;
}

void SetMci(std::shared_ptr<IMci> mci) {
    std::lock_guard<std::mutex> guard(installedLock);
    installed = std::move(mci);
}

}  // namespace kestova
