#include "player/cmxProgressThread.h"

#include <chrono>
#include <thread>

namespace kestova {

namespace {
constexpr std::chrono::milliseconds kReportInterval(1000);
}

TcmxProgressThread::TcmxProgressThread(TReportHandler handler,
                                       std::shared_ptr<IMainThread> mainThread)
    : ReportHandler(std::move(handler)), mainThread_(std::move(mainThread)) {}

std::weak_ptr<TcmxProgressThread> TcmxProgressThread::Start(
    TReportHandler handler, std::shared_ptr<IMainThread> mainThread) {
    auto self = std::make_shared<TcmxProgressThread>(std::move(handler), std::move(mainThread));
    std::weak_ptr<TcmxProgressThread> reference = self;
    // The running thread holds the only strong reference: its end frees the object.
    std::thread([self = std::move(self)] { self->Execute(); }).detach();
    return reference;
}

void TcmxProgressThread::Execute() {
    try {
        while (!terminated_) {
            Report();
            if (terminated_ || !WaitForNextReport()) break;
        }
    } catch (...) {
        // An error in a report ends the reports quietly; playback goes on.
    }
}

void TcmxProgressThread::Report() {
    // Checked again on the main thread, where Terminate and Suspend are called: a report
    // that was on its way when the player stopped or paused never reaches it.
    mainThread_->Send([this] {
        if (!terminated_ && !suspended_ && ReportHandler) ReportHandler(this);
    });
}

bool TcmxProgressThread::WaitForNextReport() {
    std::unique_lock<std::mutex> lock(waitLock_);
    wake_.wait_for(lock, kReportInterval, [this] { return terminated_.load(); });
    wake_.wait(lock, [this] { return terminated_ || !suspended_; });
    return !terminated_;
}

void TcmxProgressThread::Terminate() {
    {
        std::lock_guard<std::mutex> guard(waitLock_);
        terminated_ = true;
    }
    wake_.notify_all();
}

void TcmxProgressThread::Suspend() {
    std::lock_guard<std::mutex> guard(waitLock_);
    suspended_ = true;
}

void TcmxProgressThread::Resume() {
    {
        std::lock_guard<std::mutex> guard(waitLock_);
        suspended_ = false;
    }
    wake_.notify_all();
}

}  // namespace kestova
