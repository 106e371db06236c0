#pragma once
// The player's position-report thread: reports at once, then every 1000 ms, each report run
// synchronously on the main thread. It owns itself and frees itself when its loop ends; its
// owner keeps only a weak reference, so a thread that ended after an error is never touched.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "core/Event.h"
#include "platform/MainThread.h"

namespace kestova {

class TcmxProgressThread {
public:
    using TReportHandler = TEvent<TcmxProgressThread*>;

    // Starts a thread that runs `handler` through `mainThread`.
    static std::weak_ptr<TcmxProgressThread> Start(TReportHandler handler,
                                                   std::shared_ptr<IMainThread> mainThread);

    // Asks the loop to end; it wakes from its wait at once. A report already handed to the
    // main thread is dropped there, provided this runs on that thread.
    void Terminate();

    // Stops the reports until Resume; a report already handed over is dropped too.
    void Suspend();
    void Resume();

    TcmxProgressThread(TReportHandler handler, std::shared_ptr<IMainThread> mainThread);

private:
    void Execute();
    void Report();
    // Waits the interval, and then while suspended; false when asked to terminate.
    bool WaitForNextReport();

    const TReportHandler ReportHandler;
    const std::shared_ptr<IMainThread> mainThread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> suspended_{false};
    std::mutex waitLock_;  // only around the waits; never held while reporting
    std::condition_variable wake_;
};

}  // namespace kestova
