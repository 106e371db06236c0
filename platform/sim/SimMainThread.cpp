#include "platform/sim/SimMainThread.h"

#include <utility>

#include "core/Exception.h"

namespace kestova {

namespace {

// What a sender waits on. The error moves from the owning thread to the sender under the
// lock, so only the sender ever touches it afterwards.
struct TSentCall {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    bool ran = false;
    std::exception_ptr error;
};

// Held only by the queued call: whether the call runs or its queue drops it unrun, the
// ticket's end wakes the sender.
class TSentTicket {
public:
    explicit TSentTicket(std::shared_ptr<TSentCall> sent) : sent_(std::move(sent)) {}
    TSentTicket(const TSentTicket&) = delete;
    TSentTicket& operator=(const TSentTicket&) = delete;

    ~TSentTicket() {
        {
            std::lock_guard<std::mutex> guard(sent_->lock);
            sent_->done = true;
        }
        sent_->finished.notify_all();
    }

    void Run(const TThreadCall& call) {
        std::exception_ptr error;
        try {
            call();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard<std::mutex> guard(sent_->lock);
        sent_->ran = true;
        sent_->error = std::move(error);
    }

private:
    std::shared_ptr<TSentCall> sent_;
};

}  // namespace

TSimMainThread::TSimMainThread() : owner_(std::this_thread::get_id()) {}

// Dropping the queue ends the tickets of waiting senders, which wakes them with an error.
TSimMainThread::~TSimMainThread() = default;

void TSimMainThread::Post(TThreadCall call) {
    // Notified under the lock: once a call is visible in the queue the poster no longer
    // touches this object, so an owner that sees it may destroy the queue at once.
    std::lock_guard<std::mutex> guard(lock_);
    calls_.push_back(std::move(call));
    queued_.notify_all();
}

void TSimMainThread::Send(TThreadCall call) {
    if (IsOwnerThread()) {
        call();
        return;
    }
    auto sent = std::make_shared<TSentCall>();
    auto ticket = std::make_shared<TSentTicket>(sent);
    Post([call = std::move(call), ticket = std::move(ticket)] { ticket->Run(call); });
    std::exception_ptr error;
    {
        std::unique_lock<std::mutex> lock(sent->lock);
        sent->finished.wait(lock, [&] { return sent->done; });
        if (!sent->ran) throw Exception("The main thread's dispatcher is gone");
        error = std::move(sent->error);
    }
    if (error) std::rethrow_exception(error);
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
