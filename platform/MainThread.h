#pragma once
// Main-thread dispatch: how other threads hand work to the thread that owns the windows.
// A worker posts what it wants shown (never waiting); the player's report thread runs its
// report synchronously there. One dispatcher belongs to one thread, the one that created it.
#include <chrono>
#include <functional>
#include <memory>

namespace kestova {

using TThreadCall = std::function<void()>;

class IMainThread {
public:
    virtual ~IMainThread() = default;

    // Queues `call` for the owning thread and returns at once. Calls posted from one thread
    // run in the order posted. An exception a posted call raises surfaces from ProcessUntil.
    virtual void Post(TThreadCall call) = 0;

    // Runs `call` on the owning thread and waits until it has run; an exception it raises is
    // rethrown here. On the owning thread itself it runs the call directly. Raises
    // kestova::Exception when the dispatcher is gone before the call could run.
    virtual void Send(TThreadCall call) = 0;

    virtual bool IsOwnerThread() const = 0;

    // Owning thread only: runs queued calls (and, on Windows, the thread's other messages)
    // until `done()` holds or `timeout` passes; answers `done()`. For tests and waits that
    // must keep the thread's messages flowing. Rethrows the first error of a posted call.
    virtual bool ProcessUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds timeout) = 0;
};

// The dispatcher of the calling thread as the OS provides it: a message-only window on
// Windows, the simulated queue elsewhere.
std::shared_ptr<IMainThread> CreateOsMainThread();

// The application's main-thread dispatcher, installed by whoever runs that thread (the add-in
// on connection, a test). MainThread() raises kestova::Exception when none is installed.
std::shared_ptr<IMainThread> MainThread();
void SetMainThread(std::shared_ptr<IMainThread> dispatcher);

}  // namespace kestova
