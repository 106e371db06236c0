// libFuzzer is not built for mingw-w64, so the Windows-only targets run under this driver: it
// replays the seed inputs, then mutates them blindly (no coverage feedback) until the time is
// up. It takes the libFuzzer flags the scripts use (-max_total_time=S, -runs=N, -seed=N,
// -artifact_prefix=P), then folders of seeds, or single files to replay only. An input that
// crashes is saved as <prefix>crash-<target> and printed in hex.
#include <windows.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "addin/com/Handles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using TInput = std::vector<uint8_t>;
constexpr size_t kMaxLength = 256;

const TInput* current = nullptr;
std::string crashFile;

void SaveCurrentInput() {
    if (!current) return;
    std::ofstream(crashFile, std::ios::binary).write(reinterpret_cast<const char*>(current->data()),
                                                     std::streamsize(current->size()));
    std::fprintf(stderr, "==CRASH== input saved as %s:", crashFile.c_str());
    for (uint8_t b : *current) std::fprintf(stderr, " %02x", b);
    std::fprintf(stderr, "\n");
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "==CRASH== exception 0x%08lx\n", info->ExceptionRecord->ExceptionCode);
    SaveCurrentInput();
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnAbort(int) {
    std::fprintf(stderr, "==CRASH== abort\n");
    SaveCurrentInput();
    std::_Exit(3);
}

TInput ReadInput(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return TInput(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class TMutator {
public:
    explicit TMutator(uint64_t seed) : state_(seed | 1) {}
    uint32_t Below(size_t n) { return n == 0 ? 0 : uint32_t(Next() % n); }

    TInput Mutate(const std::vector<TInput>& seeds) {
        TInput input = seeds.empty() ? TInput() : seeds[Below(seeds.size())];
        for (uint32_t n = 1 + Below(4); n > 0; --n) MutateOnce(input, seeds);
        if (input.size() > kMaxLength) input.resize(kMaxLength);
        return input;
    }

private:
    uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }

    void MutateOnce(TInput& input, const std::vector<TInput>& seeds) {
        switch (Below(6)) {
            case 0: if (!input.empty()) input[Below(input.size())] ^= uint8_t(1u << Below(8)); break;
            case 1: if (!input.empty()) input[Below(input.size())] = uint8_t(Next()); break;
            case 2: input.insert(input.begin() + Below(input.size() + 1), uint8_t(Next())); break;
            case 3: if (!input.empty()) input.erase(input.begin() + Below(input.size())); break;
            case 4: input.resize(Below(input.size() + 1)); break;
            default: {  // splice: the head of this one, the tail of another
                if (seeds.empty()) break;
                const TInput& other = seeds[Below(seeds.size())];
                input.resize(Below(input.size() + 1));
                input.insert(input.end(), other.begin() + Below(other.size() + 1), other.end());
            }
        }
    }

    uint64_t state_;
};

void Run(const TInput& input) {
    current = &input;
    LLVMFuzzerTestOneInput(input.data(), input.size());
    current = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 0;
    long long runs = -1;
    uint64_t seed = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    std::vector<TInput> seeds;
    bool replayOnly = false;
    const std::filesystem::path self(argv[0]);
    crashFile = "crash-" + self.stem().string();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-max_total_time=", 0) == 0) seconds = std::atof(arg.c_str() + 16);
        else if (arg.rfind("-runs=", 0) == 0) runs = std::atoll(arg.c_str() + 6);
        else if (arg.rfind("-seed=", 0) == 0) seed = std::strtoull(arg.c_str() + 6, nullptr, 10);
        else if (arg.rfind("-artifact_prefix=", 0) == 0) crashFile = arg.substr(17) + crashFile;
        else if (arg[0] == '-') std::fprintf(stderr, "ignoring %s\n", arg.c_str());
        else if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file()) seeds.push_back(ReadInput(entry.path()));
        } else {
            seeds.push_back(ReadInput(arg));
            replayOnly = true;
        }
    }
    SetUnhandledExceptionFilter(OnUnhandledException);
    std::signal(SIGABRT, OnAbort);
    const kestova::com::TApartment apartment;

    const auto start = std::chrono::steady_clock::now();
    long long done = 0;
    for (const TInput& input : seeds) Run(input), ++done;
    std::printf("INITED %zu seeds, seed %llu\n", seeds.size(), static_cast<unsigned long long>(seed));
    TMutator mutator(seed);
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    while (!replayOnly && (runs < 0 ? elapsed() < seconds : done < runs)) {
        Run(mutator.Mutate(seeds));
        ++done;
    }
    const double took = elapsed();
    std::printf("#%lld DONE exec/s: %.0f\nDone %lld runs in %.0f second(s)\n", done, took > 0 ? done / took : 0.0,
                done, took);
    return 0;
}
