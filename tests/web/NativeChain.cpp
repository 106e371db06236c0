// The recorder's audio chain as zelt.dll runs it, on a file of PCM (16-bit interleaved stereo,
// 22050 Hz): memory source -> level stage -> MP3 sink with the voice message's tag, then the
// first byte marked. The web core is checked and measured against it (web/test, bench/web).
//
// web_native_chain KBPS IN.pcm OUT.mp3 [RUNS]: prints "cpu_seconds S" for all runs; the
// LAME next to this program is the one built like the web core's.
#include "audio/ACS_Indicator.h"
#include "audio/ACS_LAME.h"
#include "recorder/BitRates.h"
#include "recorder/RecordingFile.h"
#include "recorder/VoiceTag.h"
#include "tests/audio/AudioTestDoubles.h"
#include "tests/audio/PcmSource.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

using namespace kestova;

namespace {

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

std::vector<unsigned char> FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s KBPS IN.pcm OUT.mp3 [RUNS]\n", argv[0]);
        return 2;
    }
    const auto rate = BitRateFromKbps(std::atoi(argv[1]));
    const int runs = argc > 4 ? std::atoi(argv[4]) : 1;
    if (!rate || runs < 1) {
        std::fprintf(stderr, "not a listed bit rate, or no runs\n");
        return 2;
    }
    try {
        test::TPcmSource source(16, 2, 22050, FileBytes(argv[2]));
        source.KnownSize = false;  // as from the microphone
        TSoundIndicator level;
        level.SetInput(&source);
        TMP3Out sink;
        sink.SetInput(&level);
        sink.FileName = argv[3];
        sink.BitRate = *rate;
        sink.Id3Tag = VoiceMessageTag();
        const testing::TEventLog events(sink);
        const double start = ProcessCpuSeconds();
        for (int run = 1; run <= runs; ++run) {
            sink.Run();
            if (!events.WaitEnds(run)) throw EACSException("The chain did not end in time");
            if (events.Errors() > 0) throw EACSException(events.LastError());
        }
        const double cpu = ProcessCpuSeconds() - start;
        MarkRecording(sink.FileName);
        std::printf("cpu_seconds %.6f\nlame %s\n", cpu, LameModule().FileName().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
