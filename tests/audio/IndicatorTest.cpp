#include "audio/ACS_Indicator.h"
#include "audio/ACS_Procs.h"
#include "PcmSource.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cmath>
#include <numeric>
#include <thread>
#include <vector>

using namespace kestova;
using kestova::test::Constant16;
using kestova::test::TPcmSource;

namespace {

using TLevels = std::array<double, TSoundIndicator::LevelCount>;
using TBytes = std::vector<unsigned char>;

constexpr int kBlockBytes = 16384;

// The stage with its LevelLock in reach, to play a read-out in progress.
class TExposedIndicator : public TSoundIndicator {
public:
    using TSoundIndicator::LevelLock;
};

// source -> indicator, started, with every delivered byte checked against the source's.
struct TChain {
    TChain(int bits, int channels, const TBytes& data) : data(data), source(bits, channels, 22050, data) {
        indicator.SetInput(&source);
        indicator.StartInput();
    }
    int Read(int count = kBlockBytes) {
        TBytes buffer(count, 0xA5);
        const std::size_t from = std::size_t(source.Position.load());
        const int n = indicator.ReadData(buffer.data(), count);
        EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + n, data.begin() + from));
        EXPECT_EQ(indicator.Position, source.Position);
        return n;
    }
    TLevels Levels() {
        TLevels values;
        values.fill(-1.0);
        indicator.ReadLevels(values.data());
        return values;
    }
    TBytes data;
    TPcmSource source;
    TExposedIndicator indicator;
};

TBytes Bytes(int count, unsigned char value) { return TBytes(count, value); }

// 20 log10 of a constant c seen through entries 0..63 of the window: bin 0 of each block.
double ConstantLevel(double c) {
    std::vector<double> w(1024);
    MakeHannWindow(w.data(), 1024, true);
    return 20.0 * std::log10(c * std::accumulate(w.begin(), w.begin() + 64, 0.0) / 64.0);
}

bool AllZero(const TLevels& levels) {
    return std::all_of(levels.begin(), levels.end(), [](double v) { return v == 0.0; });
}

}  // namespace

TEST(SoundIndicator, SilenceAndSubUnitMagnitudesGiveZeroEverywhere) {
    TChain silent(16, 2, Constant16(0, 4096, 2));
    EXPECT_EQ(silent.Read(), kBlockBytes);
    EXPECT_TRUE(AllZero(silent.Levels()));

    TChain faint(16, 2, Constant16(1, 4096, 2));  // 1 x window mean is far below 1
    faint.Read();
    EXPECT_TRUE(AllZero(faint.Levels()));
}

TEST(SoundIndicator, FullScaleStereoConstantFillsTheBar) {
    TChain chain(16, 2, Constant16(32767, 4096, 2));
    ASSERT_EQ(chain.Read(), kBlockBytes);
    const TLevels levels = chain.Levels();
    EXPECT_NEAR(levels[0], 52.23, 0.01);
    EXPECT_NEAR(levels[0], ConstantLevel(32767), 1e-9);
    EXPECT_GE(levels[0] * 7, 300.0);  // the recorder's bar range
    for (int k = 2; k < TSoundIndicator::LevelCount; ++k) EXPECT_LT(levels[k], levels[0]) << k;
}

TEST(SoundIndicator, SampleRulesForEachWidthAndChannelCount) {
    TChain mono16(16, 1, Constant16(-1000, 8192, 1));
    mono16.Read();
    EXPECT_NEAR(mono16.Levels()[0], ConstantLevel(1000), 1e-9);

    // Left and right are averaged: +1000 and -1000 cancel.
    TBytes opposite;
    for (int i = 0; i < 4096; ++i) {
        kestova::test::Put16(opposite, 1000);
        kestova::test::Put16(opposite, -1000);
    }
    TChain cancel(16, 2, opposite);
    cancel.Read();
    EXPECT_TRUE(AllZero(cancel.Levels()));

    // 8-bit silence is 128: the mid-point is not taken off, so it does not read as 0.
    TChain mono8(8, 1, Bytes(kBlockBytes, 128));
    mono8.Read();
    EXPECT_NEAR(mono8.Levels()[0], ConstantLevel(128), 1e-9);

    TBytes pairs;
    for (int i = 0; i < kBlockBytes / 2; ++i) pairs.insert(pairs.end(), {100, 200});
    TChain stereo8(8, 2, pairs);
    stereo8.Read();
    EXPECT_NEAR(stereo8.Levels()[0], ConstantLevel(150), 1e-9);
}

// Full-scale noise over many blocks: each bin's sum as measured one block at a time.
TEST(SoundIndicator, LoudNoiseOverManyBlocksGivesTheBlockByBlockSums) {
    constexpr int kFrames = 64 * 100;  // more than one run of blocks whose logarithm is taken at once
    TBytes noise;
    std::vector<double> samples;
    unsigned seed = 1;
    for (int i = 0; i < kFrames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        samples.push_back(i % 3 ? 32767 : -32768 + int(seed >> 16) % 100);
        kestova::test::Put16(noise, short(samples.back()));
    }
    TChain chain(16, 1, noise);
    chain.Read(kFrames * 2);
    std::vector<double> w(1024);
    MakeHannWindow(w.data(), 1024, true);
    TLevels expected{};
    for (int b = 0; b < kFrames / 64; ++b) {
        std::vector<TComplex> block(64);
        for (int i = 0; i < 64; ++i) block[i] = {w[i] * samples[b * 64 + i], 0.0};
        FftInPlace(block.data(), 64, 1);
        double logs[TSoundIndicator::LevelCount];
        LogMagnitudes(block.data(), logs, TSoundIndicator::LevelCount, 0);
        for (int k = 0; k < TSoundIndicator::LevelCount; ++k) expected[k] += logs[k] * 20.0 / (kFrames / 64);
    }
    const TLevels levels = chain.Levels();
    for (int k = 0; k < TSoundIndicator::LevelCount; ++k) EXPECT_NEAR(levels[k], expected[k], 1e-9) << k;
    EXPECT_GT(levels[0], 40.0);  // loud: the products run high
}

TEST(SoundIndicator, ReadOutsYieldZerosAfterStartAndWhenRepeated) {
    TChain chain(16, 2, Constant16(20000, 8192, 2));
    EXPECT_TRUE(AllZero(chain.Levels()));
    chain.Read();
    EXPECT_FALSE(AllZero(chain.Levels()));
    EXPECT_TRUE(AllZero(chain.Levels()));

    chain.Read();  // a restart zeroes what the last read left
    chain.indicator.FinishInput();
    chain.indicator.StartInput();
    EXPECT_TRUE(AllZero(chain.Levels()));
}

TEST(SoundIndicator, EachReadDividesTheCarriedSumsByItsBlockCount) {
    TChain chain(16, 2, Constant16(32767, 8192, 2));
    chain.Read();
    chain.Read();
    // After the second read: (level + 64 x level) / 64.
    EXPECT_NEAR(chain.Levels()[0], ConstantLevel(32767) * 65.0 / 64.0, 1e-9);

    chain.source.StartInput();
    chain.Read(kBlockBytes / 2);  // 32 blocks
    chain.Read(kBlockBytes / 4);  // 16 blocks
    EXPECT_NEAR(chain.Levels()[0], ConstantLevel(32767) * (1.0 + 16.0) / 16.0, 1e-9);
}

TEST(SoundIndicator, ReadShorterThanOneBlockIsDeliveredAndLeavesTheSums) {
    TChain chain(16, 2, Constant16(32767, 4096 + 63 + 4096, 2));
    chain.Read();
    EXPECT_EQ(chain.Read(63 * 4), 63 * 4);  // 63 frames: no block
    const TLevels carried = chain.Levels();  // would hang if the lock were left held
    EXPECT_NEAR(carried[0], ConstantLevel(32767), 1e-9);
    chain.Read();  // measuring goes on
    EXPECT_NEAR(chain.Levels()[0], ConstantLevel(32767), 1e-9);
}

TEST(SoundIndicator, ReadDuringAReadOutPassesThroughUnmeasured) {
    TChain chain(16, 2, Constant16(32767, 8192, 2));
    chain.indicator.LevelLock.lock();
    EXPECT_EQ(chain.Read(), kBlockBytes);
    chain.indicator.LevelLock.unlock();
    EXPECT_TRUE(AllZero(chain.Levels()));
    chain.Read();
    EXPECT_FALSE(AllZero(chain.Levels()));
}

TEST(SoundIndicator, FailuresCarryTheirMessages) {
    const auto expectFailure = [](auto action, const char* message) {
        try {
            action();
            ADD_FAILURE() << "no exception, expected " << message;
        } catch (const EACSException& e) {
            EXPECT_STREQ(e.what(), message);
        }
    };
    TSoundIndicator lonely;
    expectFailure([&] { lonely.GetBitsPerSample(); }, "Input is not assigned.");
    expectFailure([&] { lonely.GetChannels(); }, "Input is not assigned.");
    expectFailure([&] { lonely.GetSampleRate(); }, "Input is not assigned.");
    expectFailure([&] { lonely.StartInput(); }, "Input is not assigned.");

    TPcmSource source(16, 2, 22050, Constant16(0, 4096, 2));
    TSoundIndicator indicator;
    indicator.SetInput(&source);
    unsigned char buffer[256];
    expectFailure([&] { indicator.ReadData(buffer, sizeof buffer); }, "The Stream is not opened");
    indicator.StartInput();
    indicator.ReadData(buffer, sizeof buffer);
    indicator.FinishInput();
    expectFailure([&] { indicator.ReadData(buffer, sizeof buffer); }, "The Stream is not opened");
    EXPECT_EQ(source.reads, 1);  // refused reads never reach the input
}

TEST(SoundIndicator, ReadOutsFromAnotherThreadSeeWholeMeasurements) {
    constexpr int kReads = 64;
    TChain chain(16, 2, Constant16(32767, 4096 * kReads, 2));
    std::atomic<bool> reading{true};
    std::atomic<int> delivered{0};
    std::thread worker([&] {
        TBytes buffer(kBlockBytes);
        for (int i = 0; i < kReads; ++i) delivered += chain.indicator.ReadData(buffer.data(), kBlockBytes);
        reading = false;
    });
    const double one = ConstantLevel(32767);
    while (reading) {
        const double level = chain.Levels()[0];
        // Zero, or one read's level carried over unread ones: 1 + 1/64 + 1/64^2 ... < 64/63.
        EXPECT_TRUE(level == 0.0 || (level > one - 1e-9 && level < one * 64 / 63 + 1e-9)) << level;
    }
    worker.join();
    EXPECT_EQ(delivered, kReads * kBlockBytes);  // reads that met a read-out still came through
}
