#pragma once
// The `InputLock` of sinks and converters: an atomic test-and-set flag held only around one read
// or one swap of an input, so spinning costs nothing in practice. Meets Lockable, so
// std::lock_guard releases it however the read ends.
#include <atomic>
#include <thread>

namespace kestova {

class TSpinFlag {
public:
    void lock() noexcept {
        while (flag_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
    }
    bool try_lock() noexcept { return !flag_.test_and_set(std::memory_order_acquire); }
    void unlock() noexcept { flag_.clear(std::memory_order_release); }

private:
    std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

}  // namespace kestova
