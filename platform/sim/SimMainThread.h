#pragma once
// The simulated main-thread dispatcher: a queue of calls that the owning thread pumps, either
// through ProcessUntil or by Pump in a test. Calls still queued when it goes are dropped;
// senders waiting for them get an error instead of waiting forever.
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/MainThread.h"

namespace kestova {

class TSimMainThread : public IMainThread {
public:
    TSimMainThread();
    ~TSimMainThread() override;

    void Post(TThreadCall call) override;
    void Send(TThreadCall call) override;
    bool IsOwnerThread() const override;
    bool ProcessUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout) override;

    // Runs the calls queued now; answers how many ran. Owning thread only.
    int Pump();
    // How many calls wait in the queue.
    size_t Pending() const;

private:
    bool RunOne(std::unique_lock<std::mutex>& lock);

    const std::thread::id owner_;
    mutable std::mutex lock_;
    std::condition_variable queued_;
    std::deque<TThreadCall> calls_;
    std::exception_ptr postedError_;
};

}  // namespace kestova
