#include "platform/MainThread.h"
#include "platform/sim/SimMainThread.h"

namespace kestova {

// Without a window system the simulated queue is the thread's message loop.
std::shared_ptr<IMainThread> CreateOsMainThread() { return std::make_shared<TSimMainThread>(); }

}  // namespace kestova
