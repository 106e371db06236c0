#pragma once
// The process-wide implementation behind a port: the one a test or the host installed, else
// (when the port has one) the OS's own, made on first use.
#include <memory>
#include <mutex>

namespace kestova {

template <class Port>
class TInstalledPort {
public:
    using TFactory = std::shared_ptr<Port> (*)();
    // constexpr: a namespace-scope holder is initialised before any code runs, so a port may
    // be asked for during other objects' static initialisation.
    constexpr explicit TInstalledPort(TFactory makeDefault = nullptr) : makeDefault_(makeDefault) {}

    // Null only when nothing is installed and the port has no default.
    std::shared_ptr<Port> Get() {
        std::lock_guard<std::mutex> guard(lock_);
        if (!port_ && makeDefault_) port_ = makeDefault_();
        return port_;
    }

    void Set(std::shared_ptr<Port> port) {
        std::lock_guard<std::mutex> guard(lock_);
        port_ = std::move(port);
    }

private:
    const TFactory makeDefault_;
    std::mutex lock_;
    std::shared_ptr<Port> port_;
};

}  // namespace kestova
