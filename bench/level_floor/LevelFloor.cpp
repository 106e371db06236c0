// Measures what the recorder's level bar reads for recordings: each file (raw 16-bit stereo
// PCM at 22050 Hz) goes through the level stage one capture block at a time, as in a
// recording, and the first level value of every block is summed up. Used to choose the floor
// below which the recorder says the microphone hears nothing: the last column is the longest
// stretch, in seconds, that stays below the floor given (default: the recorder's).
//   measure_level_floor [--floor=LEVEL] FILE.raw...
#include "audio/ACS_Audio.h"
#include "audio/ACS_Indicator.h"
#include "recorder/RecordingWatch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

using namespace kestova;

namespace {

class TFileSource : public TACSInput {
public:
    explicit TFileSource(std::vector<char> data) : data_(std::move(data)) {}
    int GetBitsPerSample() override { return 16; }
    int GetChannels() override { return 2; }
    int GetSampleRate() override { return 22050; }
    int ReadData(void* Buffer, int BufferSize) override {
        const int count = static_cast<int>(std::min<std::size_t>(BufferSize, data_.size() - at_));
        std::memcpy(Buffer, data_.data() + at_, count);
        at_ += count;
        return count;
    }
    void StartInput() override { Busy = true; }
    void FinishInput() override { Busy = false; }

private:
    std::vector<char> data_;
    std::size_t at_ = 0;
};

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * (values.size() - 1))];
}

// Seconds of the longest run of blocks whose level stays below `floor`.
double LongestQuiet(const std::vector<double>& levels, double floor) {
    std::size_t run = 0, longest = 0;
    for (const double level : levels) {
        run = level < floor ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return static_cast<double>(longest * TAudioIn::kBlockSize) / 88200.0;
}

}  // namespace

int main(int argc, char** argv) {
    double floor = kSilenceFloor;
    std::printf("%-28s %6s %7s %7s %7s %7s %7s %7s\n", "file", "blocks", "min", "p10", "median", "p90", "max",
                "quiet_s");
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--floor=", 8) == 0) {
            floor = std::atof(argv[i] + 8);
            continue;
        }
        std::ifstream file(argv[i], std::ios::binary);
        TFileSource source({std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()});
        TSoundIndicator indicator;
        indicator.SetInput(&source);
        indicator.StartInput();
        std::vector<double> firsts;
        std::vector<char> block(TAudioIn::kBlockSize);
        while (indicator.ReadData(block.data(), TAudioIn::kBlockSize) == TAudioIn::kBlockSize) {
            double levels[TSoundIndicator::LevelCount];
            indicator.ReadLevels(levels);
            firsts.push_back(levels[0]);
        }
        indicator.FinishInput();
        if (firsts.empty()) continue;
        std::printf("%-28s %6zu %7.2f %7.2f %7.2f %7.2f %7.2f %7.2f\n", argv[i], firsts.size(),
                    Percentile(firsts, 0), Percentile(firsts, 0.1), Percentile(firsts, 0.5), Percentile(firsts, 0.9),
                    Percentile(firsts, 1), LongestQuiet(firsts, floor));
    }
}
