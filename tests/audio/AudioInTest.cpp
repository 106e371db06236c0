#include "AudioTestDoubles.h"
#include "ScratchFolder.h"
#include "WavFile.h"
#include "audio/ACS_Audio.h"
#include "platform/sim/WaveInSim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <limits>
#include <memory>
#include <thread>
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
    // The stalled device: a bounded wait, then the end of the stream; finishing returns too.
    EXPECT_EQ(in.ReadData(buffer.data(), kBlock), 0);
    EXPECT_NE(in.DeviceLost().find("delivered no data"), std::string::npos);
    EXPECT_EQ(in.ReadData(buffer.data(), kBlock), 0);
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
    // One set of buffers, prepared at the start and reused for every block.
    EXPECT_EQ(sim->Prepares(), TAudioIn::kBufferCount);
    EXPECT_EQ(sim->PreparedNow(), 0);
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

// Everything up to the click, and nothing after it: frame i of the ramp was heard at i/22050 s.
class AudioInRamp : public AudioIn {
protected:
    void SetUp() override {
        WriteRampWav(wav, 1u << 20);
        Recorder(in, -1);
        sink.SetInput(&in);
        sink.FileName = raw;
    }
    void RecordBlocks(int blocks) {
        const std::int64_t from = sink.Pulled;
        ASSERT_TRUE(WaitFor([&] { return sink.Pulled >= from + blocks * kBlock; }));
    }
    // Lets the microphone hear on for a while: a pause, or a stop inside a block.
    static void Hear(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    // The recorded ramp values, and where in the recording they jump.
    std::vector<uint32_t> Frames() const {
        const std::vector<int16_t> samples = ReadSamples(raw);
        std::vector<uint32_t> frames;
        for (std::size_t f = 0; f < samples.size() / 2; ++f) frames.push_back(RampFrame(samples, f));
        return frames;
    }
    static std::vector<std::size_t> Jumps(const std::vector<uint32_t>& frames) {
        std::vector<std::size_t> jumps;
        for (std::size_t f = 1; f < frames.size(); ++f)
            if (frames[f] != frames[f - 1] + 1) jumps.push_back(f);
        return jumps;
    }

    static constexpr uint32_t k20ms = 441;  // frames
    TScratchFolder folder{"capture"};
    const std::string wav = folder.File("ramp.wav"), raw = folder.File("recorded.raw");
    std::shared_ptr<TWaveInSim> sim = Install([this] {
        TWaveInSimConfig config;  // real pace
        config.Signal = TSimSignal::WavFile;
        config.WavFile = wav;
        // The reader sees the end of the stream long before the device hands its last buffers
        // back, so an end that does not wait for them loses the sound before the click.
        config.ReturnDelayMs = 100;
        return config;
    }());
    TAudioIn in;  // on the simulated port installed just before
    TTestSink sink;
    TEventLog log{sink};
};

// The stream goes on straight from the click to the resume: nothing heard while paused.
TEST_F(AudioInRamp, PauseTakesInNothingUntilResume) {
    sink.Run();
    RecordBlocks(2);
    Hear(60);
    sink.Pause();
    const uint64_t paused = sim->HeardAtHalt() / 4;
    Hear(500);  // the pause under test
    sink.Resume();
    const uint64_t resumed = sim->HeardAtStart() / 4;
    RecordBlocks(2);
    sink.Stop();
    ASSERT_TRUE(log.WaitEnds());
    ASSERT_EQ(log.Done(), 1);

    const std::vector<uint32_t> frames = Frames();
    const std::vector<std::size_t> jumps = Jumps(frames);
    ASSERT_EQ(jumps.size(), 1u);
    const uint32_t lastBefore = frames[jumps[0] - 1], firstAfter = frames[jumps[0]];
    EXPECT_LT(lastBefore, paused);
    EXPECT_GE(lastBefore + k20ms, paused);
    EXPECT_GE(firstAfter, resumed);
    EXPECT_LE(firstAfter, resumed + k20ms);
}

// Stop resets the device at once; the stream ends with what it heard up to the click.
TEST_F(AudioInRamp, StopKeepsTheSoundUpToTheClick) {
    sink.Run();
    RecordBlocks(2);
    Hear(90);  // half a block on
    sink.Stop();
    ASSERT_TRUE(log.WaitEnds());
    ASSERT_EQ(log.Done(), 1);
    EXPECT_EQ(sim->OpenDevices(), 0);

    const uint64_t stopped = sim->HeardAtHalt() / 4;
    const std::vector<uint32_t> frames = Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(Jumps(frames).empty());
    EXPECT_LT(frames.back(), stopped);
    EXPECT_GE(frames.back() + k20ms, stopped);
}
