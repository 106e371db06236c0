// Capture from the machine's real input devices through winmm (under Wine: the harness's test
// microphone, a 440 Hz tone at 22050 Hz 16-bit stereo, and a second, silent one).
#ifdef _WIN32
#include "AudioTestDoubles.h"
#include "audio/ACS_Audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace kestova;
using namespace kestova::testing;

namespace {

std::vector<int16_t> LeftChannel(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<int16_t> left;
    for (char frame[4]; in.read(frame, sizeof frame);)
        left.push_back(static_cast<int16_t>(static_cast<unsigned char>(frame[0]) |
                                            static_cast<unsigned char>(frame[1]) << 8));
    return left;
}

// Frequency from the span between the first and the last rising zero crossing, so silence
// before the tone reaches the microphone does not count.
double ToneFrequency(const std::vector<int16_t>& samples, int rate) {
    std::size_t first = 0, last = 0, crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (crossings++ == 0) first = i;
            last = i;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * static_cast<double>(rate) / (last - first);
}

// One second from `device` into `file`.
void CaptureOneSecond(int device, const std::string& file) {
    TAudioIn in;
    in.SetBaseChannel(device);
    in.InBitsPerSample = 16;
    in.InChannels = 2;
    in.InSampleRate = 22050;
    in.RecTime = 1;
    TTestSink sink;
    sink.SetInput(&in);
    sink.FileName = file;
    TEventLog log(sink);
    sink.Run();
    ASSERT_TRUE(log.WaitEnds()) << "the capture from device " << device << " never ended";
    ASSERT_EQ(log.Errors(), 0) << log.LastError();
}

int16_t Peak(const std::vector<int16_t>& samples) {
    int16_t peak = 0;
    for (int16_t sample : samples) peak = std::max<int16_t>(peak, sample);
    return peak;
}

}  // namespace

// The harness's two sources by the names Wine reports for them; the one chosen by name is the
// one heard, and the wave mapper records from the default source, the tone.
TEST(AudioInWinmm, RecordsTheMicrophoneChosenByName) {
    const auto port = CreateOsWaveIn();
    SetWaveIn(port);
    int tone = -1, silent = -1;
    for (int device = 0; device < port->NumDevs(); ++device) {
        if (port->DeviceName(device) == "Monitor of Tone") tone = device;
        if (port->DeviceName(device) == "Monitor of Silent") silent = device;
    }
    if (tone < 0 || silent < 0) {
        SetWaveIn(nullptr);
        GTEST_SKIP() << "not the harness's two microphones";
    }
    const std::string file = (std::filesystem::temp_directory_path() / "kestova_chosen.raw").string();
    for (const auto& [device, heard] : {std::pair{tone, true}, {silent, false}, {wavein::MAPPER, true}}) {
        CaptureOneSecond(device, file);
        const std::vector<int16_t> left = LeftChannel(file);
        ASSERT_GE(left.size(), 22050u) << device;
        if (heard) {
            EXPECT_GT(Peak(left), 4000) << device;
            EXPECT_NEAR(ToneFrequency(left, 22050), 440.0, 5.0) << device;
        } else {
            EXPECT_EQ(Peak(left), 0) << device;
        }
    }
    std::remove(file.c_str());
    SetWaveIn(nullptr);
}

TEST(AudioInWinmm, CapturesTwoSecondsOfTheToneFromTheFirstDevice) {
    SetWaveIn(CreateOsWaveIn());
    {
        TAudioIn in;
        if (in.InputDeviceCount() == 0) {
            SetWaveIn(nullptr);
            GTEST_SKIP() << "no wave-in device";
        }
        in.InBitsPerSample = 16;
        in.InChannels = 2;
        in.InSampleRate = 22050;
        in.RecTime = 2;
        const std::string file = (std::filesystem::temp_directory_path() / "kestova_winmm.raw").string();
        TTestSink sink;
        sink.SetInput(&in);
        sink.FileName = file;
        TEventLog log(sink);
        // With a known Size every block moves the progress, so each report marks one block.
        std::vector<std::chrono::steady_clock::time_point> blocks;  // the worker's until the end
        sink.OnProgress = [&](TComponent*) { blocks.push_back(std::chrono::steady_clock::now()); };
        sink.Run();
        ASSERT_TRUE(log.WaitEnds()) << "the capture never ended";
        ASSERT_EQ(log.Errors(), 0) << log.LastError();
        EXPECT_EQ(sink.Pulled, 11 * TAudioIn::kBlockSize);  // 176400 bytes, rounded up to whole blocks
        ASSERT_EQ(blocks.size(), 11u);
        const double seconds = std::chrono::duration<double>(blocks.back() - blocks.front()).count();
        const double pace = 10.0 * TAudioIn::kBlockSize / seconds;
        RecordProperty("BytesPerSecond", std::to_string(static_cast<int>(pace)));
        std::printf("capture pace over 10 blocks: %.0f B/s\n", pace);

        const std::vector<int16_t> left = LeftChannel(file);
        int16_t peak = 0;
        for (int16_t sample : left) peak = std::max<int16_t>(peak, sample);
        EXPECT_GT(peak, 4000) << "no tone";
        EXPECT_NEAR(ToneFrequency(left, 22050), 440.0, 5.0);
        std::remove(file.c_str());
    }
    SetWaveIn(nullptr);
}
#endif
