#include "recorder/RecordingWatch.h"

#include <gtest/gtest.h>

using namespace kestova;
using TNote = TRecordingWatch::TNote;

namespace {
constexpr double kBlock = 16384 / 88200.0;  // seconds of one capture block
constexpr double kSound = 20;               // a level well above the floor
}  // namespace

// The level of each update covers the audio since the previous one, so quiet counts from there.
TEST(RecordingWatch, NoSoundAfterThreeQuietSecondsAndGoneWithTheFirstSound) {
    TRecordingWatch watch;
    watch.Start(0);
    double seconds = 0;
    EXPECT_EQ(watch.Update(seconds += kBlock, kSound, 64), TNote::Size);
    while (seconds + kBlock < kBlock + kSilenceSeconds)
        EXPECT_EQ(watch.Update(seconds += kBlock, 0, 64), TNote::Size) << seconds;
    EXPECT_EQ(watch.Update(seconds += kBlock, 0, 64), TNote::NoSound);
    EXPECT_EQ(watch.Update(seconds += kBlock, kSilenceFloor, 64), TNote::Size);
    EXPECT_EQ(watch.Update(seconds += kBlock, 0, 64), TNote::Size);  // quiet starts again from 0
    watch.Start(0);
    EXPECT_EQ(watch.Update(kSilenceSeconds, 0, 64), TNote::NoSound);  // silent from the start
}

TEST(RecordingWatch, LimitShowsTheTimeLeftFromEightyPercentAndEndsBeforeItIsPassed) {
    TRecordingWatch watch;
    watch.Start(100000);  // 12.5 s at 64 kbps
    EXPECT_EQ(watch.Update(9.9, kSound, 64), TNote::Size);
    EXPECT_EQ(watch.Update(10.0, kSound, 64), TNote::TimeLeft);
    EXPECT_DOUBLE_EQ(watch.SecondsLeft(10.0, 64), 2.5);
    EXPECT_EQ(watch.Update(12.5 - kLimitReserveSeconds - 0.01, kSound, 64), TNote::TimeLeft);
    EXPECT_EQ(watch.Update(12.5 - kLimitReserveSeconds, kSound, 64), TNote::LimitReached);
    EXPECT_EQ(watch.Update(10.0, 0, 128), TNote::LimitReached);  // 160 k at a rate chosen meanwhile
    EXPECT_DOUBLE_EQ(watch.SecondsLeft(13.0, 64), 0);
    watch.Start(0);
    EXPECT_EQ(watch.Update(100000, kSound, 320), TNote::Size);
}
