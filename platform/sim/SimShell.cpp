#include "platform/sim/SimShell.h"

namespace kestova {

void TSimShell::Open(const std::string& target) {
    std::lock_guard<std::mutex> guard(lock_);
    opened_.push_back(target);
}

std::vector<std::string> TSimShell::Opened() const {
    std::lock_guard<std::mutex> guard(lock_);
    return opened_;
}

}  // namespace kestova
