// Main-thread dispatch on Windows: a message-only window owned by the creating thread. Posted calls wait in a queue and one message wakes
// the window to run them; Send passes its call by SendMessage, which the system runs on the
// owning thread while that thread pumps messages, and returns after it has run.
#include <windows.h>

#include <deque>
#include <exception>
#include <mutex>
#include <utility>

#include "core/Exception.h"
#include "platform/MainThread.h"
#include "platform/win32/MessageWindow.h"

namespace kestova {

namespace {

constexpr UINT WM_RUN_POSTED = WM_APP + 1;
constexpr UINT WM_RUN_SENT = WM_APP + 2;

struct TSentCall {
    const TThreadCall* call;
    std::exception_ptr error;
    bool ran = false;
};

class TWin32MainThread : public IMainThread {
public:
    TWin32MainThread();
    ~TWin32MainThread() override;

    void Post(TThreadCall call) override;
    void Send(TThreadCall call) override;
    bool IsOwnerThread() const override { return GetCurrentThreadId() == owner_; }
    bool ProcessUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout) override;

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunPosted();
    void Keep(std::exception_ptr error);

    const DWORD owner_;
    TMessageWindow window_;
    std::mutex lock_;
    std::deque<TThreadCall> calls_;
    std::exception_ptr postedError_;  // owning thread only
};

TWin32MainThread::TWin32MainThread()
    : owner_(GetCurrentThreadId()), window_("KestovaMainThread", &WndProc, this) {}

// The window goes with its queue: calls still posted are dropped, senders are refused.
TWin32MainThread::~TWin32MainThread() = default;

void TWin32MainThread::Post(TThreadCall call) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        calls_.push_back(std::move(call));
    }
    PostMessageW(window_.Handle(), WM_RUN_POSTED, 0, 0);
}

void TWin32MainThread::Send(TThreadCall call) {
    if (IsOwnerThread()) {
        call();
        return;
    }
    TSentCall sent{&call, nullptr};
    SendMessageW(window_.Handle(), WM_RUN_SENT, 0, reinterpret_cast<LPARAM>(&sent));
    if (!sent.ran) throw Exception("The main thread's dispatcher is gone");
    if (sent.error) std::rethrow_exception(sent.error);
}

void TWin32MainThread::Keep(std::exception_ptr error) {
    if (!postedError_) postedError_ = error;
}

void TWin32MainThread::RunPosted() {
    while (true) {
        TThreadCall call;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (calls_.empty()) return;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        try {
            call();
        } catch (...) {
            Keep(std::current_exception());
        }
    }
}

// No exception may leave a window procedure: errors are kept for ProcessUntil.
LRESULT CALLBACK TWin32MainThread::WndProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* self = static_cast<TWin32MainThread*>(TMessageWindow::Owner(window));
    if (self && message == WM_RUN_POSTED) {
        self->RunPosted();
        return 0;
    }
    if (self && message == WM_RUN_SENT) {
        auto* sent = reinterpret_cast<TSentCall*>(lParam);
        sent->ran = true;
        try {
            (*sent->call)();
        } catch (...) {
            sent->error = std::current_exception();
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool TWin32MainThread::ProcessUntil(const std::function<bool()>& done,
                                    std::chrono::milliseconds timeout) {
    const ULONGLONG deadline = GetTickCount64() + timeout.count();
    while (true) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (postedError_) std::rethrow_exception(std::exchange(postedError_, nullptr));
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        // Wakes on any message, and at least every 10 ms to look at `done` again.
        const DWORD wait = static_cast<DWORD>(deadline - now < 10 ? deadline - now : 10);
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace

std::shared_ptr<IMainThread> CreateOsMainThread() { return std::make_shared<TWin32MainThread>(); }

}  // namespace kestova
