// The recorder's audio chain against bare LAME.
//
// Paired rounds: each round runs, in a rotating order, the whole chain (microphone source on
// the simulated device at full speed, a WAV file handed out as fast as buffers come -> level
// stage -> MP3 sink, 64 kbps, 22050 Hz stereo), the same chain fed from memory, the `lame`
// command-line encoder and the library called directly, all on the same PCM with the same
// settings and the same setup: the library loaded once, the encoder made and the file created
// for every run. Each run is measured in CPU seconds (all threads of this process; the child's
// for the CLI). The ratios are taken within each round, so a machine that gets busier or
// quieter moves both sides of a ratio alike; the median over the rounds is the figure, the
// quartiles and the extremes its spread. Then the level stage alone per 16384-byte block and
// the encoder's time for the same block.
//
// Run: ./kestova bench, or ./kestova build native-release &&
// build/native-release/bench/audio_chain/bench_audio_chain
#include "audio/ACS_Audio.h"
#include "audio/ACS_Indicator.h"
#include "audio/ACS_LAME.h"
#include "audio/ACS_LameEncoder.h"
#include "platform/Files.h"
#include "platform/sim/WaveInSim.h"
#include "tests/audio/WavFile.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
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
constexpr int kRounds = 21;  // fewer let the median move by more than a few per cent

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

// source -> SoundIndicator -> MP3Out (64 kbps), as the recorder wires it. The sink keeps the
// library loaded for the chain's lifetime; each run makes its own encoder and file.
class TChain {
public:
    explicit TChain(TACSInput& source) {
        level_.SetInput(&source);
        sink_.SetInput(&level_);
        sink_.FileName = Input().mp3;
        sink_.BitRate = br64;
        sink_.OnDone = [this](TComponent*) { NoteEnd(); };
        sink_.OnThreadException = [this](TComponent*, const std::exception& e) {
            std::fprintf(stderr, "chain failed: %s\n", e.what());
            NoteEnd();
        };
    }

    // CPU seconds of one run through the whole input.
    double Run() {
        const double start = ProcessCpuSeconds();
        const int before = Ends();
        sink_.Run();
        std::unique_lock<std::mutex> guard(lock_);
        ended_.wait(guard, [&] { return ends_ > before; });
        return ProcessCpuSeconds() - start;
    }

private:
    int Ends() {
        std::lock_guard<std::mutex> guard(lock_);
        return ends_;
    }
    void NoteEnd() {
        std::lock_guard<std::mutex> guard(lock_);
        ++ends_;
        ended_.notify_all();
    }

    std::mutex lock_;  // before the sink, so it outlives the sink's worker
    std::condition_variable ended_;
    int ends_ = 0;
    TSoundIndicator level_;
    TMP3Out sink_;
};

// The microphone source on the simulated device at full speed. Its CPU time includes the
// simulated driver thread filling the buffers, which a real driver does outside the process.
class TDeviceSource {
public:
    TDeviceSource() {
        TWaveInSimConfig device;
        device.Signal = TSimSignal::WavFile;
        device.WavFile = Input().wav;
        device.Speed = 0;
        SetWaveIn(std::make_shared<TWaveInSim>(device));
        source_ = std::make_unique<TAudioIn>();
        source_->InBitsPerSample = 16;
        source_->InChannels = kChannels;
        source_->InSampleRate = kRate;
        source_->RecTime = kSeconds;
    }
    ~TDeviceSource() {
        source_.reset();
        SetWaveIn(nullptr);
    }
    TACSInput& Source() { return *source_; }

private:
    std::unique_ptr<TAudioIn> source_;
};

// CPU seconds of the `lame` program encoding the WAV file.
double LameCliRun() {
    const std::string output = Input().mp3 + ".cli.mp3";
    const char* argv[] = {"lame", "--silent", "-b", "64", "--cbr", Input().wav.c_str(), output.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "lame", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        throw std::runtime_error("cannot start lame");
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("lame failed");
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The library loaded for the scope, for measures without a sink.
struct TLameBinding {
    TLameBinding() {
        LoadLame();
        if (!LameLoaded()) throw std::runtime_error("no LAME library");
    }
    ~TLameBinding() { UnloadLame(); }
};

// An encoder with the sink's settings for the whole input; the library must be loaded.
TLameEncoder InputEncoder() { return TLameEncoder(kRate, 64, Input().pcm.size() / kChannels); }

// CPU seconds of the library called block by block in process, writing the same kind of file.
double LibraryRun() {
    const std::vector<short>& pcm = Input().pcm;
    const double start = ProcessCpuSeconds();
    TLameEncoder encoder = InputEncoder();
    const TFile out = OpenFile(Input().mp3, "wb");
    for (std::size_t at = 0; at + kBlock / 2 <= pcm.size(); at += kBlock / 2)
        std::fwrite(encoder.Frames(), 1, std::size_t(encoder.Encode(const_cast<short*>(pcm.data() + at), kBlock, 2)),
                    out.get());
    std::fwrite(encoder.Frames(), 1, std::size_t(encoder.Finish({})), out.get());
    return ProcessCpuSeconds() - start;
}

// The median and the spread of a set of figures.
struct TSpread {
    double low = 0, lowerQuartile = 0, median = 0, upperQuartile = 0, high = 0;
};

TSpread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto at = [&](double share) {
        const double place = share * double(values.size() - 1);
        const std::size_t below = std::size_t(place);
        const std::size_t above = std::min(below + 1, values.size() - 1);
        return values[below] + (values[above] - values[below]) * (place - double(below));
    };
    return {values.front(), at(0.25), at(0.5), at(0.75), values.back()};
}

void PrintRatio(const char* name, const std::vector<double>& ratios) {
    const TSpread s = SpreadOf(ratios);
    std::printf("%-38s median %.3f   quartiles %.3f-%.3f (%+.1f%%/%+.1f%%)   range %.3f-%.3f\n", name, s.median,
                s.lowerQuartile, s.upperQuartile, 100.0 * (s.lowerQuartile / s.median - 1),
                100.0 * (s.upperQuartile / s.median - 1), s.low, s.high);
}

// The four encodings interleaved, one of each per round in a rotating order, after one round
// that warms caches and the file system and is not counted.
void PairedRounds() {
    TDeviceSource device;
    TBlockSource memory(false);
    TChain deviceChain(device.Source());
    TChain memoryChain(memory);  // the sinks keep the library loaded for the library runs too
    const std::function<double()> runs[] = {[&] { return deviceChain.Run(); }, [&] { return memoryChain.Run(); },
                                             LameCliRun, LibraryRun};
    constexpr int kKinds = 4;
    std::vector<double> seconds[kKinds];
    for (int round = -1; round < kRounds; ++round) {
        double taken[kKinds];
        for (int i = 0; i < kKinds; ++i) {
            const int kind = (i + std::max(round, 0)) % kKinds;
            taken[kind] = runs[kind]();
        }
        if (round < 0) continue;
        for (int kind = 0; kind < kKinds; ++kind) seconds[kind].push_back(taken[kind]);
    }
    const auto speed = [&](int kind) { return kSeconds / SpreadOf(seconds[kind]).median; };
    const auto ratios = [&](int kind, int to) {
        std::vector<double> r;  // speed over speed: CPU time of `to` over that of `kind`
        for (int i = 0; i < kRounds; ++i) r.push_back(seconds[to][i] / seconds[kind][i]);
        return r;
    };
    std::printf("\n%d paired rounds; seconds of audio per CPU second (median): chain (simulated device) %.1f, "
                "chain (from memory) %.1f, lame CLI %.1f, library alone %.1f\n",
                kRounds, speed(0), speed(1), speed(2), speed(3));
    PrintRatio("chain / library alone", ratios(0, 3));
    PrintRatio("chain from memory / library alone", ratios(1, 3));
    PrintRatio("chain / lame CLI", ratios(0, 2));
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
    const TLameBinding library;
    TLameEncoder encoder = InputEncoder();
    std::size_t at = 0;
    for (auto _ : state) {
        if (at + kBlock / 2 > pcm.size()) at = 0;
        benchmark::DoNotOptimize(encoder.Encode(const_cast<short*>(pcm.data() + at), kBlock, 2));
        at += kBlock / 2;
    }
}

BENCHMARK(BM_LevelStagePerBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncoderPerBlock)->Unit(benchmark::kMicrosecond);

// Keeps the per-block times for the summary while the console shows the usual table.
class TSummary : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) perBlockUs[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Print() {
        const double level = perBlockUs["BM_LevelStagePerBlock"], encode = perBlockUs["BM_EncoderPerBlock"];
        std::printf("level stage per 16384-byte block: %.1f us; encoder for the same block: %.1f us; share %.1f%%\n",
                    level, encode, 100.0 * level / encode);
    }
    std::map<std::string, double> perBlockUs;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TSummary summary;
    benchmark::RunSpecifiedBenchmarks(&summary);
    summary.Print();
    PairedRounds();
    benchmark::Shutdown();
    return 0;
}
