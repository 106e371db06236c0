#include "AudioTestDoubles.h"
#include "ScratchFolder.h"
#include "WavFile.h"
#include "audio/ACS_Audio.h"
#include "platform/sim/WaveInSim.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <memory>
#include <vector>

using namespace kestova;
using namespace kestova::testing;
using kestova::test::TScratchFolder;
using kestova::test::WriteWav16;

namespace {

constexpr int kBlock = TAudioIn::kBlockSize;

std::vector<int16_t> ReadSamples(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                          static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return samples;
}

// Frame i of this 16-bit stereo file says i: low 16 bits left, high bits right.
void WriteRampWav(const std::string& file, uint32_t frames) {
    std::vector<int16_t> samples;
    samples.reserve(2 * std::size_t{frames});
    for (uint32_t i = 0; i < frames; ++i) {
        samples.push_back(static_cast<int16_t>(i & 0xFFFF));
        samples.push_back(static_cast<int16_t>(i >> 16));
    }
    WriteWav16(file, 2, 22050, samples);
}

uint32_t RampFrame(const std::vector<int16_t>& samples, std::size_t frame) {
    return static_cast<uint16_t>(samples[2 * frame]) | static_cast<uint32_t>(static_cast<uint16_t>(samples[2 * frame + 1])) << 16;
}


class AudioIn : public ::testing::Test {
protected:
    std::shared_ptr<TWaveInSim> Install(TWaveInSimConfig config) {
        auto sim = std::make_shared<TWaveInSim>(std::move(config));
        SetWaveIn(sim);
        return sim;
    }
    void TearDown() override { SetWaveIn(nullptr); }

    // The recorder's format.
    static void Recorder(TAudioIn& in, int recTime) {
        in.InBitsPerSample = 16;
        in.InChannels = 2;
        in.InSampleRate = 22050;
        in.RecTime = recTime;
    }
};

TWaveInSimConfig Fast(TSimSignal signal = TSimSignal::Sine) {
    TWaveInSimConfig config;
    config.Signal = signal;
    config.Speed = 0;
    return config;
}

}  // namespace

TEST_F(AudioIn, ChecksTheChannelAgainstTheDeviceCount) {
    Install(Fast());
    TAudioIn in;
    EXPECT_EQ(Raised([&] { in.SetBaseChannel(1); }), "Channel 1 is not available");
    EXPECT_EQ(in.BaseChannel(), 0);
    in.SetBaseChannel(-3);  // signed comparison: accepted
    EXPECT_EQ(in.BaseChannel(), -3);
    in.SetBaseChannel(0);
    in.StartInput();
    EXPECT_EQ(Raised([&] { in.SetBaseChannel(0); }), "Component is buisy");
    EXPECT_EQ(Raised([&] { in.StartInput(); }), "The component is buisy");
    in.FinishInput();
    EXPECT_EQ(Raised([&] { in.ReadData(nullptr, 1); }), "The Stream is not opened");
}

struct TDeviceFailure {
    int Devices;
    TSimFailure Failure;
    const char* Message;
};

class AudioInDeviceFailure : public AudioIn, public ::testing::WithParamInterface<TDeviceFailure> {};

// A device that cannot be opened or started is reported, by number and system text, at once.
TEST_P(AudioInDeviceFailure, StartInputRaisesAndLeavesTheSourceIdle) {
    TWaveInSimConfig config = Fast();
    config.DeviceCount = GetParam().Devices;
    config.Failure = GetParam().Failure;
    const auto sim = Install(config);
    TAudioIn in;
    EXPECT_EQ(Raised([&] { in.StartInput(); }), GetParam().Message);
    EXPECT_FALSE(in.Busy);
    EXPECT_EQ(sim->OpenDevices(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    NoDeviceOpenStart, AudioInDeviceFailure,
    ::testing::Values(
        TDeviceFailure{0, TSimFailure::None, "Cannot open wave-in device 0: The device ID is out of range."},
        TDeviceFailure{1, TSimFailure::OpenFails,
                       "Cannot open wave-in device 0: The specified resource is already allocated."},
        TDeviceFailure{1, TSimFailure::StartFails,
                       "Cannot start wave-in device 0: There is no driver installed on your system."}));

TEST_F(AudioIn, DeviceFailureEndsTheRunThroughOnThreadException) {
    TWaveInSimConfig config = Fast();
    config.Failure = TSimFailure::OpenFails;
    Install(config);
    TAudioIn in;
    TTestSink sink;
    sink.SetInput(&in);
    TEventLog log(sink);
    sink.Run();
    EXPECT_EQ(log.Errors(), 1);
    EXPECT_NE(log.LastError().find("wave-in device 0"), std::string::npos);
    EXPECT_EQ(sink.Status(), osIdle);
}

TEST_F(AudioIn, RecTimeZeroEndsAtOnce) {
    Install(Fast());
    TAudioIn in;
    Recorder(in, 0);
    in.StartInput();
    char buffer[16];
    EXPECT_EQ(in.ReadData(buffer, sizeof buffer), 0);
    in.FinishInput();
}

TEST_F(AudioIn, RecTimeTenDeliversWholeBlocksPastTheEnd) {
    Install(Fast());
    TAudioIn in;
    Recorder(in, 10);
    in.StartInput();
    EXPECT_EQ(in.Size, 882000);
    std::vector<char> block(kBlock);
    int blocks = 0;
    while (in.ReadData(block.data(), kBlock) == kBlock) ++blocks;
    EXPECT_EQ(blocks, 54);
    EXPECT_EQ(in.Position, 54 * kBlock);
    EXPECT_EQ(in.ReadData(block.data(), kBlock), 0);  // and stays ended
    in.FinishInput();
    EXPECT_FALSE(in.Busy);
}

TEST_F(AudioIn, ShortReadsTakeTheRestOfTheBlockWithoutWaiting) {
    TWaveInSimConfig config = Fast();
    config.Failure = TSimFailure::Stalls;
    config.StallAfterBuffers = 1;  // only the first block ever arrives
    Install(config);
    TAudioIn in;
    Recorder(in, -1);
    in.StartInput();
    std::vector<char> buffer(kBlock);
    EXPECT_EQ(in.ReadData(buffer.data(), 1000), 1000);
    EXPECT_EQ(in.ReadData(buffer.data(), kBlock), kBlock - 1000);
    EXPECT_EQ(in.Position, kBlock);
    // The stalled device: a bounded wait, then an error; finishing returns too.
    EXPECT_NE(Raised([&] { in.ReadData(buffer.data(), kBlock); }).find("delivered no data"), std::string::npos);
    in.FinishInput();
    EXPECT_FALSE(in.Busy);
}

TEST_F(AudioIn, CarriesTheToneInBothChannels) {
    Install(Fast());
    TAudioIn in;
    Recorder(in, 1);
    in.StartInput();
    std::vector<int16_t> samples(22050 * 2);
    char* out = reinterpret_cast<char*>(samples.data());
    for (int left = static_cast<int>(samples.size() * 2); left > 0;) {
        const int count = in.ReadData(out, left);
        ASSERT_GT(count, 0);
        out += count, left -= count;
    }
    in.FinishInput();
    int rising = 0;
    for (std::size_t i = 2; i < samples.size(); i += 2) {
        rising += samples[i - 2] < 0 && samples[i] >= 0;
        ASSERT_EQ(samples[i], samples[i + 1]);
    }
    EXPECT_NEAR(rising, 440, 1);
}

TEST_F(AudioIn, StoppedSinkClosesTheDeviceAndTakesEveryBufferBack) {
    TWaveInSimConfig config;  // real pace
    const auto sim = Install(config);
    TAudioIn in;
    Recorder(in, -1);
    TTestSink sink;
    sink.SetInput(&in);
    TEventLog log(sink);
    sink.Run();
    ASSERT_TRUE(WaitFor([&] { return sink.Pulled >= 2 * kBlock; }));
    sink.Stop();
    ASSERT_TRUE(log.WaitEnds());
    EXPECT_EQ(log.Done(), 1);
    EXPECT_EQ(sim->OpenDevices(), 0);
    EXPECT_FALSE(in.Busy);
}

// A stream of 2^31 - 1 bytes ends like any other, with a 0 answer, not a wrapped count.
TEST_F(AudioIn, PositionStopsAtTheLargest32BitCount) {
    Install(Fast(TSimSignal::Silence));
    TAudioIn in;
    Recorder(in, -1);
    in.StartInput();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    in.Position = kMax - 2 * kBlock - 100;  // as if six hours had been read
    std::vector<char> block(kBlock);
    std::vector<int> counts;
    for (int count; (count = in.ReadData(block.data(), kBlock)) > 0;) counts.push_back(count);
    EXPECT_EQ(counts, (std::vector<int>{kBlock, kBlock, 100}));
    EXPECT_EQ(in.Position, kMax);
    EXPECT_EQ(in.ReadData(block.data(), kBlock), 0);
    in.FinishInput();
}

// While the sink is paused the device fills what it holds, then hears nothing into a buffer:
// the stream keeps the sound of the buffers queued at the pause and goes on after the resume.
TEST_F(AudioIn, LongPauseLosesTheSoundAfterTheQueuedBuffers) {
    TScratchFolder folder("capture");
    const std::string wav = folder.File("ramp.wav"), raw = folder.File("paused.raw");
    WriteRampWav(wav, 1u << 19);
    TWaveInSimConfig config;
    config.Signal = TSimSignal::WavFile;
    config.WavFile = wav;
    config.Speed = 4;  // a block every 46 ms
    Install(config);
    TAudioIn in;
    Recorder(in, -1);
    TTestSink sink;
    sink.SetInput(&in);
    sink.FileName = raw;
    TEventLog log(sink);
    sink.Run();
    ASSERT_TRUE(WaitFor([&] { return sink.Pulled >= 2 * kBlock; }));
    sink.Pause();
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the pause under test, 4 s of stream
    const std::int64_t pulledAtResume = sink.Pulled;
    sink.Resume();
    ASSERT_TRUE(WaitFor([&] { return sink.Pulled >= pulledAtResume + 6 * kBlock; }));
    sink.Stop();
    ASSERT_TRUE(log.WaitEnds());

    const std::vector<int16_t> samples = ReadSamples(raw);
    const std::size_t frames = samples.size() / 2;
    std::vector<std::size_t> gaps;
    for (std::size_t f = 1; f < frames; ++f)
        if (RampFrame(samples, f) != RampFrame(samples, f - 1) + 1) gaps.push_back(f);
    ASSERT_EQ(gaps.size(), 1u);
    const std::size_t blocksBefore = gaps[0] * 4 / kBlock;
    EXPECT_LE(blocksBefore, static_cast<std::size_t>(pulledAtResume / kBlock + TAudioIn::kDriverBuffers));
    EXPECT_GT(RampFrame(samples, gaps[0]) - RampFrame(samples, gaps[0] - 1), 22050u);  // > 1 s lost
}
