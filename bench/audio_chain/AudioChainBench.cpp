// The recorder's audio chain against bare LAME.
//
// Whole chain: microphone source on the simulated device at full speed (a WAV file handed out
// as fast as buffers come) -> level stage -> MP3 sink, 64 kbps, 22050 Hz stereo; the same chain
// fed from memory; the `lame` command-line encoder; and the library called directly. All on the
// same PCM with the same settings, each as seconds of audio per second of CPU (all threads of
// this process; the child's for the CLI). Then the level stage alone per 16384-byte block and
// the encoder's time for the same block. A summary with the ratios follows the table.
//
// Run: ./kestova bench, or cmake --preset native-release -B build/rel && cmake --build build/rel
// --target bench_audio_chain && build/rel/bench/audio_chain/bench_audio_chain
#include "audio/ACS_Audio.h"
#include "audio/ACS_Indicator.h"
#include "audio/ACS_LAME.h"
#include "platform/sim/WaveInSim.h"
#include "tests/audio/WavFile.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kestova;

namespace {

constexpr int kRate = 22050;
constexpr int kChannels = 2;
constexpr int kSeconds = 30;
constexpr int kBlock = 16384;
constexpr int kRuns = 10;  // per chain measure: fewer let one slow run swing the ratios by 10 %

// A voice-like test signal: a 440 Hz tone with a slow tremolo and a little noise, so the
// encoder does not coast on a pure sine.
std::vector<short> TestPcm() {
    std::vector<short> pcm;
    unsigned noise = 12345;
    const double step = 2.0 * std::acos(-1.0) * 440.0 / kRate;
    for (int i = 0; i < kSeconds * kRate; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double tremolo = 0.6 + 0.4 * std::sin(2.0 * std::acos(-1.0) * 3.0 * i / kRate);
        const double v = 12000.0 * tremolo * std::sin(step * i) + double(int(noise >> 20) - 2048);
        for (int c = 0; c < kChannels; ++c) pcm.push_back(short(std::lround(v)));
    }
    return pcm;
}

std::string WriteWav(const std::vector<short>& pcm) {
    const std::string path = (std::filesystem::temp_directory_path() / "kestova-bench-input.wav").string();
    kestova::test::WriteWav16(path, kChannels, kRate, pcm);
    return path;
}

struct TInput {
    std::vector<short> pcm = TestPcm();
    std::string wav = WriteWav(pcm);
    std::string mp3 = (std::filesystem::temp_directory_path() / "kestova-bench-output.mp3").string();
};

const TInput& Input() {
    static const TInput input;
    return input;
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Sets the iteration's time to the CPU seconds it took, and the speed over all iterations so far.
class TCpuReport {
public:
    explicit TCpuReport(benchmark::State& state) : state_(state) {}
    void Add(double cpuSeconds) {
        state_.SetIterationTime(cpuSeconds);
        total_ += cpuSeconds;
        ++runs_;
        state_.counters["audio_s_per_cpu_s"] = kSeconds * runs_ / total_;
    }

private:
    benchmark::State& state_;
    double total_ = 0;
    int runs_ = 0;
};

// Hands out the test PCM in 16384-byte blocks without any pacing: once through (then 0), or
// round and round.
class TBlockSource : public TACSInput {
public:
    explicit TBlockSource(bool loop) : loop_(loop) {}
    int GetBitsPerSample() override { return 16; }
    int GetChannels() override { return kChannels; }
    int GetSampleRate() override { return kRate; }
    int ReadData(void* Buffer, int BufferSize) override {
        const std::vector<short>& pcm = Input().pcm;
        if (at_ + kBlock / 2 > pcm.size()) {
            if (!loop_) return 0;
            at_ = 0;
        }
        std::memcpy(Buffer, pcm.data() + at_, std::min(BufferSize, kBlock));
        at_ += kBlock / 2;
        Position += kBlock;
        return std::min(BufferSize, kBlock);
    }
    void StartInput() override {
        at_ = 0;
        Position = 0;
        Size = std::int32_t(Input().pcm.size() / (kBlock / 2) * kBlock);
        Busy = true;
    }
    void FinishInput() override { Busy = false; }

private:
    const bool loop_;
    std::size_t at_ = 0;
};

// source -> SoundIndicator -> MP3Out (64 kbps), as the recorder wires it; one run per iteration.
void RunChain(benchmark::State& state, TACSInput& source) {
    std::mutex lock;  // before the sink, so it outlives the sink's worker
    std::condition_variable ended;
    int ends = 0;
    TSoundIndicator level;
    level.SetInput(&source);
    TMP3Out sink;
    sink.SetInput(&level);
    sink.FileName = Input().mp3;
    sink.BitRate = br64;
    const auto noteEnd = [&] {
        std::lock_guard<std::mutex> guard(lock);
        ++ends;
        ended.notify_all();
    };
    sink.OnDone = [&](TComponent*) { noteEnd(); };
    sink.OnThreadException = [&](TComponent*, const std::exception& e) {
        std::fprintf(stderr, "chain failed: %s\n", e.what());
        noteEnd();
    };
    TCpuReport report(state);
    for (auto _ : state) {
        const int before = ends;
        const double start = ProcessCpuSeconds();
        sink.Run();
        std::unique_lock<std::mutex> guard(lock);
        ended.wait(guard, [&] { return ends > before; });
        report.Add(ProcessCpuSeconds() - start);
    }
}

// The microphone source on the simulated device at full speed. Its CPU time includes the
// simulated driver thread filling the buffers, which a real driver does outside the process.
void BM_WholeChain(benchmark::State& state) {
    TWaveInSimConfig device;
    device.Signal = TSimSignal::WavFile;
    device.WavFile = Input().wav;
    device.Speed = 0;
    SetWaveIn(std::make_shared<TWaveInSim>(device));
    {
        TAudioIn source;
        source.InBitsPerSample = 16;
        source.InChannels = kChannels;
        source.InSampleRate = kRate;
        source.RecTime = kSeconds;
        RunChain(state, source);
    }
    SetWaveIn(nullptr);
}

// The same chain fed from memory: the level stage, the pipeline and the encoder alone.
void BM_ChainFromMemory(benchmark::State& state) {
    TBlockSource source(false);
    RunChain(state, source);
}

void BM_LameCli(benchmark::State& state) {
    const std::string output = Input().mp3 + ".cli.mp3";
    const char* argv[] = {"lame", "--silent", "-b", "64", "--cbr", Input().wav.c_str(), output.c_str(), nullptr};
    TCpuReport report(state);
    for (auto _ : state) {
        pid_t child = 0;
        if (posix_spawnp(&child, "lame", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
            throw std::runtime_error("cannot start lame");
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("lame failed");
        report.Add(double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6);
    }
}

// An encoder set up as the sink sets it up, closed at the end of the scope.
struct TEncoder {
    TEncoder() {
        LoadLame();
        if (!LameLoaded()) throw std::runtime_error("no LAME library");
        context = Lame().lame_init();
        Lame().lame_set_num_samples(context, Input().pcm.size() / kChannels);
        Lame().lame_set_in_samplerate(context, kRate);
        Lame().lame_set_num_channels(context, 2);
        Lame().lame_set_brate(context, 64);
        Lame().lame_init_params(context);
    }
    ~TEncoder() {
        Lame().lame_close(context);
        UnloadLame();
    }
    int EncodeBlock(const short* pcm) {
        return Lame().lame_encode_buffer_interleaved(context, const_cast<short*>(pcm), kBlock / 4, mp3.data(),
                                                     int(mp3.size()));
    }
    lame_t context = nullptr;
    std::vector<unsigned char> mp3 = std::vector<unsigned char>(TMP3Out::Mp3BufferSize);
};

// The library called block by block in process, writing to the same kind of file.
void BM_BareLibrary(benchmark::State& state) {
    const std::vector<short>& pcm = Input().pcm;
    TCpuReport report(state);
    for (auto _ : state) {
        const double start = ProcessCpuSeconds();
        TEncoder encoder;
        std::FILE* out = std::fopen(Input().mp3.c_str(), "wb");
        for (std::size_t at = 0; at + kBlock / 2 <= pcm.size(); at += kBlock / 2)
            std::fwrite(encoder.mp3.data(), 1, std::size_t(encoder.EncodeBlock(pcm.data() + at)), out);
        std::fwrite(encoder.mp3.data(), 1, std::size_t(Lame().lame_encode_flush(encoder.context, encoder.mp3.data(),
                                                                               int(encoder.mp3.size()))), out);
        std::fclose(out);
        report.Add(ProcessCpuSeconds() - start);
    }
}

void BM_LevelStagePerBlock(benchmark::State& state) {
    TBlockSource source(true);
    TSoundIndicator level;
    level.SetInput(&source);
    level.StartInput();
    std::vector<char> block(kBlock);
    double levels[TSoundIndicator::LevelCount];
    for (auto _ : state) {
        benchmark::DoNotOptimize(level.ReadData(block.data(), kBlock));
        level.ReadLevels(levels);  // as the recorder does once per block
    }
    level.FinishInput();
}

void BM_EncoderPerBlock(benchmark::State& state) {
    const std::vector<short>& pcm = Input().pcm;
    TEncoder encoder;
    std::size_t at = 0;
    for (auto _ : state) {
        if (at + kBlock / 2 > pcm.size()) at = 0;
        benchmark::DoNotOptimize(encoder.EncodeBlock(pcm.data() + at));
        at += kBlock / 2;
    }
}

BENCHMARK(BM_WholeChain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kRuns);
BENCHMARK(BM_ChainFromMemory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kRuns);
BENCHMARK(BM_LameCli)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kRuns);
BENCHMARK(BM_BareLibrary)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kRuns);
BENCHMARK(BM_LevelStagePerBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncoderPerBlock)->Unit(benchmark::kMicrosecond);

// Keeps what the summary needs while the console shows the usual table.
class TSummary : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            const auto counter = run.counters.find("audio_s_per_cpu_s");
            if (counter != run.counters.end()) speed[run.run_name.function_name] = counter->second.value;
            perBlockUs[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Print() {
        const double chain = speed["BM_WholeChain"], memory = speed["BM_ChainFromMemory"];
        const double cli = speed["BM_LameCli"], bare = speed["BM_BareLibrary"];
        const double level = perBlockUs["BM_LevelStagePerBlock"], encode = perBlockUs["BM_EncoderPerBlock"];
        std::printf("\nseconds of audio per CPU second: chain (simulated device) %.1f, chain (from memory) %.1f, "
                    "lame CLI %.1f, library alone %.1f\n", chain, memory, cli, bare);
        std::printf("chain / lame CLI = %.3f (from memory %.3f)   chain / library alone = %.3f (from memory %.3f)\n",
                    chain / cli, memory / cli, chain / bare, memory / bare);
        std::printf("level stage per 16384-byte block: %.1f us; encoder for the same block: %.1f us; share %.1f%%\n",
                    level, encode, 100.0 * level / encode);
    }
    std::map<std::string, double> speed, perBlockUs;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TSummary summary;
    benchmark::RunSpecifiedBenchmarks(&summary);
    summary.Print();
    benchmark::Shutdown();
    return 0;
}
