#include "platform/sim/SimMainThread.h"

#include <future>
#include <utility>

#include "core/Exception.h"

namespace kestova {

TSimMainThread::TSimMainThread() : owner_(std::this_thread::get_id()) {}

// Dropping the queue destroys the promises of waiting senders, which wakes them with an error.
TSimMainThread::~TSimMainThread() = default;

void TSimMainThread::Post(TThreadCall call) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        calls_.push_back(std::move(call));
    }
    queued_.notify_all();
}

void TSimMainThread::Send(TThreadCall call) {
    if (IsOwnerThread()) {
        call();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> result = done->get_future();
    // The queued call holds the only reference to the promise: dropped unrun, it breaks it.
    Post([call = std::move(call), done = std::move(done)] {
        try {
            call();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    });
    try {
        result.get();
    } catch (const std::future_error&) {
        throw Exception("The main thread's dispatcher is gone");
    }
}

bool TSimMainThread::IsOwnerThread() const { return std::this_thread::get_id() == owner_; }

// Runs the front call without holding the lock; answers false when the queue was empty.
bool TSimMainThread::RunOne(std::unique_lock<std::mutex>& lock) {
    if (calls_.empty()) return false;
    TThreadCall call = std::move(calls_.front());
    calls_.pop_front();
    lock.unlock();
    try {
        call();
    } catch (...) {
        lock.lock();
        if (!postedError_) postedError_ = std::current_exception();
        return true;
    }
    lock.lock();
    return true;
}

int TSimMainThread::Pump() {
    std::unique_lock<std::mutex> lock(lock_);
    size_t pending = calls_.size();
    int ran = 0;
    while (pending-- > 0 && RunOne(lock)) ++ran;
    if (postedError_) std::rethrow_exception(std::exchange(postedError_, nullptr));
    return ran;
}

size_t TSimMainThread::Pending() const {
    std::lock_guard<std::mutex> guard(lock_);
    return calls_.size();
}

bool TSimMainThread::ProcessUntil(const std::function<bool()>& done,
                                  std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // Polls `done` at least every 10 ms, since what it watches may change without a post.
    const auto poll = std::chrono::milliseconds(10);
    while (true) {
        Pump();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::unique_lock<std::mutex> lock(lock_);
        queued_.wait_for(lock, poll, [this] { return !calls_.empty(); });
    }
}

}  // namespace kestova
