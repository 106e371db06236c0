// One hour of audio through the recorder's chain at full speed: the simulated microphone
// (440 Hz, no pacing) -> level stage (read out as the window does) -> MP3 sink, 64 kbps,
// 22050 Hz stereo, into one file. The process's resident set is read at each 10 minutes of
// audio, now and at its peak; the MP3 is then walked frame by frame for its length. A cycle
// is 10 minutes of audio: the resident set from the end of the first cycle to the end of the
// last gives "flat" (under 64 KiB per cycle, allocator noise) or "grows by N per cycle".
// The C++ heap allocations made while recording are counted too, per 16384-byte block.
// Usage: bench_soak [minutes of audio, default 60]
#include "audio/ACS_Audio.h"
#include "audio/ACS_Indicator.h"
#include "audio/ACS_LAME.h"
#include "platform/sim/Mp3Scan.h"
#include "platform/sim/WaveInSim.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <string>
#include <vector>

using namespace kestova;

namespace {
std::atomic<long> heapAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
    ++heapAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int kRate = 22050;
constexpr int kChannels = 2;
constexpr int kBytesPerSecond = kRate * kChannels * 2;
constexpr int kCycleSeconds = 600;
constexpr long kFlatBytes = 64 * 1024;

struct TMemory {
    long residentKiB = 0;
    long peakKiB = 0;
};

// VmRSS and VmHWM of /proc/self/status.
TMemory ReadMemory() {
    TMemory memory;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) memory.residentKiB = std::atol(line.c_str() + 6);
        if (line.rfind("VmHWM:", 0) == 0) memory.peakKiB = std::atol(line.c_str() + 6);
    }
    return memory;
}

struct TSample {
    int audioSeconds;
    TMemory memory;
};

// Records `seconds` of audio into `mp3`; samples the memory at each cycle's end.
std::vector<TSample> Record(int seconds, const std::string& mp3) {
    TAudioIn source;
    source.InBitsPerSample = 16;
    source.InChannels = kChannels;
    source.InSampleRate = kRate;
    source.RecTime = seconds;
    TSoundIndicator level;
    level.SetInput(&source);
    TMP3Out sink;
    sink.SetInput(&level);
    sink.FileName = mp3;
    sink.BitRate = br64;

    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    std::vector<TSample> samples;
    int nextMark = kCycleSeconds;
    // Progress comes on the worker at each percent of the recording.
    sink.OnProgress = [&](TComponent*) {
        double levels[TSoundIndicator::LevelCount];
        level.ReadLevels(levels);
        const int at = source.Position.load() / kBytesPerSecond;
        if (at < nextMark) return;
        std::lock_guard<std::mutex> guard(lock);
        samples.push_back({at, ReadMemory()});
        nextMark += kCycleSeconds;
    };
    const auto end = [&] {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
        ended.notify_all();
    };
    sink.OnDone = [&](TComponent*) { end(); };
    sink.OnThreadException = [&](TComponent*, const std::exception& e) {
        std::printf("soak: the chain failed: %s\n", e.what());
        end();
    };
    const long allocationsBefore = heapAllocations;
    sink.Run();
    std::unique_lock<std::mutex> guard(lock);
    ended.wait(guard, [&] { return done; });
    samples.push_back({seconds, ReadMemory()});
    const double blocks = double(seconds) * kBytesPerSecond / TMP3Out::PcmBufferSize;
    std::printf("soak: %.2f C++ heap allocations per %d-byte block while recording\n",
                double(heapAllocations - allocationsBefore) / blocks, TMP3Out::PcmBufferSize);
    return samples;
}

// Frames from the first to the last byte, as long as what was recorded (within a frame or two
// of encoder delay and the header frame).
bool CheckMp3(const std::string& mp3, int seconds) {
    const TMp3Measure measure = MeasureMp3(mp3);
    const double length = measure.lengthMs / 1000.0;
    const bool right = length >= seconds && length < seconds + 0.2;
    std::printf("soak MP3: %ju bytes, %u frames, %.3f s of audio for %d s recorded: %s\n",
                static_cast<uintmax_t>(std::filesystem::file_size(mp3)), measure.frames, length, seconds,
                right ? "valid, right length" : "WRONG");
    return right;
}

void PrintGrowth(const std::vector<TSample>& samples) {
    for (const TSample& s : samples)
        std::printf("soak RSS at %3d min of audio: %ld KiB now, %ld KiB peak\n", s.audioSeconds / 60,
                    s.memory.residentKiB, s.memory.peakKiB);
    if (samples.size() < 3) {
        std::printf("soak RSS: too few cycles to judge growth\n");
        return;
    }
    const long first = samples.front().memory.residentKiB * 1024, last = samples.back().memory.residentKiB * 1024;
    const long perCycle = (last - first) / long(samples.size() - 1);
    if (perCycle < kFlatBytes)
        std::printf("soak RSS: flat (%+ld bytes per %d min cycle)\n", perCycle, kCycleSeconds / 60);
    else
        std::printf("soak RSS: grows by %ld bytes per cycle (%d min of audio)\n", perCycle, kCycleSeconds / 60);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = 60 * (argc > 1 ? std::atoi(argv[1]) : 60);
    const std::string mp3 = (std::filesystem::temp_directory_path() / "kestova-soak.mp3").string();
    TWaveInSimConfig device;
    device.Speed = 0;
    SetWaveIn(std::make_shared<TWaveInSim>(device));
    const auto start = std::chrono::steady_clock::now();
    const std::vector<TSample> samples = Record(seconds, mp3);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    SetWaveIn(nullptr);
    std::printf("soak: %d min of audio through the chain in %.0f s\n", seconds / 60, wall);
    PrintGrowth(samples);
    const bool valid = CheckMp3(mp3, seconds);
    std::filesystem::remove(mp3);
    return valid ? 0 : 1;
}
