#pragma once
// How long a call takes, in milliseconds, as Outlook times an add-in's handlers.
#include <windows.h>

#include <utility>

namespace kestova::sim {

template <class F>
double TimedMs(F&& call) {
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    std::forward<F>(call)();
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

}  // namespace kestova::sim
