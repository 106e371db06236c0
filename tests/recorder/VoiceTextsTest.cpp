#include "recorder/Settings.h"
#include "recorder/VoiceTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kestova;

TEST(VoiceTexts, TimeHasNoLeadingZeros) {
    EXPECT_EQ(TimeText(0), "0:0");
    EXPECT_EQ(TimeText(5), "0:5");
    EXPECT_EQ(TimeText(59), "0:59");
    EXPECT_EQ(TimeText(60), "1:0");
    EXPECT_EQ(TimeText(605), "10:5");
    EXPECT_EQ(TimeText(754), "12:34");
}

TEST(VoiceTexts, StatusLinesAsShown) {
    EXPECT_EQ(RecordingText(65, 64), "Recording...   1:5 Size: 520 k");
    EXPECT_EQ(FinishedText(10, 64), "Stopped. Size: 80 k");
    EXPECT_EQ(FinishedText(3, 8), "Stopped. Size: 3 k");  // 24 div 8, then 3 x 8 / 8 truncated
    EXPECT_EQ(FinishedText(1, 56), "Stopped. Size: 7 k");
    EXPECT_EQ(PlayingText(7), "Playing...   0:7");
}

TEST(VoiceTexts, SizeEstimateTruncatesAndWrapsLikeThe32BitProduct) {
    EXPECT_EQ(SizeEstimate(5, 24), 15);
    EXPECT_EQ(SizeEstimate(1, 7), 0);
    // A hand-edited rate can push the product past 32 bits; it wraps instead of overflowing.
    EXPECT_EQ(SizeEstimate(3, 1000000000), static_cast<int>(static_cast<std::int32_t>(3000000000u)) / 8);
}

TEST(VoiceTexts, LevelBarRoundsHalfToEvenAndStopsAtFull) {
    EXPECT_EQ(LevelBar(42.5), 298);     // 297.5 -> 298
    EXPECT_EQ(LevelBar(0.5), 4);        // 3.5 -> 4
    EXPECT_EQ(LevelBar(1.5 / 7), 2);    // 1.5 -> 2
    EXPECT_EQ(LevelBar(2.5 / 7), 2);    // 2.5 -> 2
    EXPECT_EQ(LevelBar(300.0 / 7), 300);
    EXPECT_EQ(LevelBar(1e9), 300);
    EXPECT_EQ(LevelBar(std::numeric_limits<double>::infinity()), 300);
    EXPECT_EQ(LevelBar(-12.0), 0);
    EXPECT_EQ(LevelBar(std::nan("")), 0);
}

TEST(VoiceTexts, PlayBarScalesToTheLengthAndSurvivesAZeroLength) {
    EXPECT_EQ(PlayBar(7, 10), 210);
    EXPECT_EQ(PlayBar(1, 3), 100);
    EXPECT_EQ(PlayBar(2, 3), 200);
    EXPECT_EQ(PlayBar(3, 3), 300);
    EXPECT_EQ(PlayBar(0, 0), 0);  // a recording under one second
}

TEST(Settings, DecimalNumbersOnly) {
    EXPECT_EQ(StrToIntDef("128", 64), 128);
    EXPECT_EQ(StrToIntDef("-8", 64), -8);
    EXPECT_EQ(StrToIntDef("+16", 64), 16);
    EXPECT_EQ(StrToIntDef("", 64), 64);
    EXPECT_EQ(StrToIntDef("12abc", 64), 64);
    EXPECT_EQ(StrToIntDef("$40", 64), 64);
    EXPECT_EQ(StrToIntDef("-", 64), 64);
    EXPECT_EQ(StrToIntDef("2147483647", 64), 2147483647);
    EXPECT_EQ(StrToIntDef("-2147483648", 64), -2147483647 - 1);
    EXPECT_EQ(StrToIntDef("2147483648", 64), 64);
    EXPECT_EQ(StrToIntDef("99999999999999999999", 64), 64);
}

TEST(Settings, FourteenListedRatesMapToTheirEncoderValues) {
    EXPECT_EQ(BitRateFromKbps(8), br8);
    EXPECT_EQ(BitRateFromKbps(64), br64);
    EXPECT_EQ(BitRateFromKbps(80), br80);
    EXPECT_EQ(BitRateFromKbps(160), br160);
    EXPECT_FALSE(BitRateFromKbps(192));  // an encoder rate, but not offered
    EXPECT_FALSE(BitRateFromKbps(100));
    EXPECT_FALSE(BitRateFromKbps(0));
    for (int kbps : BitRateChoices) EXPECT_EQ(kestova::BitRateKbps(*BitRateFromKbps(kbps)), kbps);
}
