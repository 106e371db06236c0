// The player against the OS's media control interface, in real time: MCI on Windows (Wine
// plays MP3 through GStreamer), the simulated device on its real-time clock elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "tests/player/PlayerFixture.h"

namespace kestova::test {
namespace {

using std::chrono::milliseconds;

class cmxMP3Mci : public PlayerFixture {
protected:
    void SetUp() override {
        PlayerFixture::SetUp();
        SetMci(CreateOsMci());
    }

    std::string MakeFile(TScratchFile& file, int durationMs) {
        file.Write(SilentFrames(durationMs));
        return file.Path();
    }
};

TEST_F(cmxMP3Mci, LengthIsTruncatedToWholeSeconds) {
    TScratchFile longer(".mp3"), shorter(".short.mp3");
    TcmxMP3 player(MakeFile(longer, 2900));
    EXPECT_EQ(player.LengthSeconds(), 2);
    EXPECT_EQ(player.Mode(), pmNoDevice);
    EXPECT_EQ(TcmxMP3(MakeFile(shorter, 950)).LengthSeconds(), 0);
}

// Reports come at once and then about every second, each the whole seconds played so far;
// the end closes the device and completes once.
TEST_F(cmxMP3Mci, PlaysToTheEndWithReportsInRealTime) {
    TScratchFile file(".mp3");
    TcmxMP3 player(MakeFile(file, 3500));
    Watch(player);
    TPlayerMode modeAtCompletion = pmPlaying;
    const auto start = std::chrono::steady_clock::now();
    player.OnComplete = [&](TcmxMP3*) {
        modeAtCompletion = player.Mode();
        ++completions_;
        // A figure for the record (the file lasts 3504 ms), not a check.
        RecordProperty("completion_ms", int(std::chrono::duration_cast<milliseconds>(
                                                std::chrono::steady_clock::now() - start).count()));
    };
    Play(player);
    ASSERT_TRUE(PumpUntil([&] { return completions_ > 0; }));
    std::string reports;
    for (int seconds : reports_) reports += std::to_string(seconds) + " ";
    RecordProperty("reports", reports);
    EXPECT_EQ(modeAtCompletion, pmNoDevice);
    EXPECT_TRUE(Gone(threads_.front()));
    PumpFor(milliseconds(300));
    EXPECT_EQ(completions_, 1);

    // Whole seconds played, from 0 on; how many depends on the machine's pace.
    ASSERT_GE(reports_.size(), 2u);
    EXPECT_EQ(reports_.front(), 0);
    EXPECT_GE(reports_.back(), 1);
    EXPECT_LE(reports_.back(), player.LengthSeconds());
    EXPECT_TRUE(std::is_sorted(reports_.begin(), reports_.end()));
}

TEST_F(cmxMP3Mci, PauseHoldsThePositionAndStopGivesNoCompletion) {
    TScratchFile file(".mp3");
    TcmxMP3 player(MakeFile(file, 6500));
    Watch(player);
    Play(player);
    ASSERT_TRUE(PumpUntil([&] { return !reports_.empty() && reports_.back() >= 1; }));
    player.Pause();
    EXPECT_EQ(player.Mode(), pmPaused);
    const size_t reportsAtPause = reports_.size();
    const int secondsAtPause = reports_.back();
    PumpFor(milliseconds(3000));
    EXPECT_EQ(reports_.size(), reportsAtPause);

    player.Resume();
    EXPECT_EQ(player.Mode(), pmPlaying);
    ASSERT_TRUE(ReportsReach(reportsAtPause + 1));
    // Had the position run on, it would be at least 3 s further.
    EXPECT_LE(reports_.back(), secondsAtPause + 2);
    player.Stop();
    EXPECT_EQ(player.Mode(), pmNoDevice);
    PumpFor(milliseconds(300));
    EXPECT_EQ(completions_, 0);
}

TEST_F(cmxMP3Mci, OwnerMayDestroyThePlayerInsideOnComplete) {
    TScratchFile file(".mp3");
    auto player = std::make_unique<TcmxMP3>(MakeFile(file, 500));
    player->OnComplete = [&](TcmxMP3*) {
        ++completions_;
        player.reset();
    };
    player->Play();
    ASSERT_TRUE(PumpUntil([&] { return completions_ > 0; }));
    PumpFor(milliseconds(300));
    EXPECT_EQ(completions_, 1);
}

TEST_F(cmxMP3Mci, FileMciCannotPlayGivesNumberAndText) {
    TScratchFile file(".mp3");
    file.Write({'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o', '\n'});
    try {
        TcmxMP3 player(file.Path());
        FAIL() << "no error";
    } catch (const eMciDeviceError& error) {
        EXPECT_TRUE(std::regex_match(error.Message(), std::regex("[0-9]+ - .+")))
            << error.Message();
    }
}

}  // namespace
}  // namespace kestova::test
