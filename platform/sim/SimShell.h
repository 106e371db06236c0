#pragma once
// The simulated shell: opens nothing and keeps every request, so tests can read what would
// have been opened.
#include "platform/Shell.h"

#include <mutex>
#include <vector>

namespace kestova {

class TSimShell : public IShell {
public:
    void Open(const std::string& target) override;

    // The targets asked for, oldest first.
    std::vector<std::string> Opened() const;

private:
    mutable std::mutex lock_;
    std::vector<std::string> opened_;
};

}  // namespace kestova
