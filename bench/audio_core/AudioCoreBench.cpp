// Two timed runs of the capture chain at real pace, against the simulated microphone:
//   1. the worker's share of one core while capturing (it waits on the source between blocks);
//   2. the latency from Stop to OnDone: the device is reset at once, hands back the buffer it
//      was filling, and the worker takes that in and finishes (it used to wait for the four
//      buffers with the device to fill, ~0.74 s).
// Usage: bench_audio_core [capture seconds, default 30] [stop runs, default 50]
#include "audio/ACS_Audio.h"
#include "platform/sim/WaveInSim.h"
#include "tests/audio/AudioTestDoubles.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace kestova;
using namespace kestova::testing;
using TClock = std::chrono::steady_clock;

namespace {

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

void Recorder(TAudioIn& in) {
    in.InBitsPerSample = 16;
    in.InChannels = 2;
    in.InSampleRate = 22050;
    in.RecTime = -1;
}

// The worker's CPU time is read on the worker itself: at the first progress report and in
// OnDone.
void MeasureWorkerCpu(int seconds) {
    TAudioIn in;
    Recorder(in);
    TTestSink sink;
    sink.SetInput(&in);
    std::atomic<double> cpuAtStart{-1}, cpuAtEnd{-1};
    TClock::time_point started;
    TEventLog log(sink);
    sink.OnProgress = [&](TComponent*) {
        if (cpuAtStart < 0) cpuAtStart = ThreadCpuSeconds();
    };
    const auto done = sink.OnDone;
    sink.OnDone = [&](TComponent* sender) {
        cpuAtEnd = ThreadCpuSeconds();
        done(sender);
    };
    started = TClock::now();
    sink.Run();
    while (TClock::now() - started < std::chrono::seconds(seconds))
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sink.Stop();
    if (!log.WaitEnds()) {
        std::printf("worker CPU: the run did not end\n");
        return;
    }
    const double wall = std::chrono::duration<double>(TClock::now() - started).count();
    const double cpu = cpuAtEnd - cpuAtStart;
    std::printf("worker CPU at real pace: %.3f s of CPU in %.1f s = %.3f%% of one core (%lld bytes)\n", cpu, wall,
                100 * cpu / wall, static_cast<long long>(sink.Pulled.load()));
}

void MeasureStopLatency(int runs) {
    TAudioIn in;
    Recorder(in);
    TTestSink sink;
    sink.SetInput(&in);
    TEventLog log(sink);
    std::vector<double> latencies;
    for (int run = 1; run <= runs; ++run) {
        const std::int64_t before = sink.Pulled;
        sink.Run();
        // Stop at a different point of the block each run.
        const auto stopAt = TClock::now() + std::chrono::milliseconds(200 + 37 * (run % 5));
        while (TClock::now() < stopAt || sink.Pulled == before)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto stopped = TClock::now();
        sink.Stop();
        if (!log.WaitEnds(run)) {
            std::printf("stop latency: run %d did not end\n", run);
            return;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(TClock::now() - stopped).count());
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("Stop to OnDone over %d runs: median %.1f ms, best %.1f ms, worst %.1f ms\n", runs,
                latencies[latencies.size() / 2], latencies.front(), latencies.back());
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 50;
    SetWaveIn(std::make_shared<TWaveInSim>());  // one microphone, 440 Hz, real pace
    MeasureWorkerCpu(seconds);
    MeasureStopLatency(runs);
    SetWaveIn(nullptr);
    return 0;
}
