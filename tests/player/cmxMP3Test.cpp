// The player against the simulated MCI device, whose clock the tests move.
#include <gtest/gtest.h>

#include "platform/sim/SimMci.h"
#include "tests/player/PlayerFixture.h"

namespace kestova::test {
namespace {

using std::chrono::milliseconds;

class cmxMP3Sim : public PlayerFixture {
protected:
    void SetUp() override {
        PlayerFixture::SetUp();
        SetMci(device_);
        file_.Write(SilentFrames(2900));
    }

    std::shared_ptr<TSimMci> device_ = std::make_shared<TSimMci>();
    TScratchFile file_{".mp3"};
};

TEST_F(cmxMP3Sim, LengthIsTruncatedToWholeSecondsWithTheDeviceClosedAgain) {
    TcmxMP3 player(file_.Path());
    EXPECT_EQ(player.LengthSeconds(), 2);
    EXPECT_EQ(player.Mode(), pmNoDevice);
    EXPECT_EQ(device_->OpenDevices(), 0);

    TScratchFile shortFile(".short.mp3");
    shortFile.Write(SilentFrames(950));
    EXPECT_EQ(TcmxMP3(shortFile.Path()).LengthSeconds(), 0);
}

TEST_F(cmxMP3Sim, ConstructionFailsOnTheFileBeforeMci) {
    TScratchFile missing(".missing.mp3");
    device_->FailCommand(mci::OPEN, mci::ERR_INTERNAL);
    EXPECT_THROW(TcmxMP3 player(missing.Path()), EFOpenError);
}

TEST_F(cmxMP3Sim, MciErrorsCarryNumberAndText) {
    TScratchFile text(".text.mp3");
    text.Write({'n', 'o', ' ', 'a', 'u', 'd', 'i', 'o'});
    try {
        TcmxMP3 player(text.Path());
        FAIL() << "no error";
    } catch (const eMciDeviceError& error) {
        EXPECT_EQ(error.Message(), "277 - A problem occurred in initializing MCI. Try restarting Windows.");
    }
    TcmxMP3 player(file_.Path());
    device_->FailCommand(mci::PLAY, 263);  // no text known for it
    try {
        player.Play();
        FAIL() << "no error";
    } catch (const eMciDeviceError& error) {
        EXPECT_EQ(error.Message(), "263 - Unknown error code");
    }
}

TEST_F(cmxMP3Sim, ReportsStartAtOnceThenFollowThePositionAndPlayStartsOver) {
    TcmxMP3 player(file_.Path());
    Watch(player);
    Play(player);
    EXPECT_EQ(player.Mode(), pmPlaying);
    ASSERT_TRUE(ReportsReach(1));
    device_->Advance(milliseconds(1000));
    ASSERT_TRUE(ReportsReach(2));
    device_->Advance(milliseconds(1000));
    ASSERT_TRUE(ReportsReach(3));
    EXPECT_EQ(reports_, (std::vector<int>{0, 1, 2}));
    Play(player);  // while playing: from the beginning, with a new report thread
    ASSERT_TRUE(ReportsReach(4));
    EXPECT_EQ(reports_.back(), 0);
    EXPECT_EQ(player.Mode(), pmPlaying);
    EXPECT_TRUE(Gone(threads_.front()));
    player.Stop();
}

TEST_F(cmxMP3Sim, NoReportThreadWithoutOnPosition) {
    TcmxMP3 player(file_.Path());
    player.Play();
    EXPECT_TRUE(player.ReportThread().expired());
    player.Stop();
}

TEST_F(cmxMP3Sim, CallsThatDoNotApplyDoNothing) {
    TcmxMP3 player(file_.Path());
    player.Pause();
    player.Resume();
    player.Stop();
    EXPECT_EQ(player.Mode(), pmNoDevice);
    player.Play();
    player.Resume();
    EXPECT_EQ(player.Mode(), pmPlaying);
    player.Pause();
    player.Pause();
    EXPECT_EQ(player.Mode(), pmPaused);
    player.Stop();
    player.Stop();
    EXPECT_EQ(player.Mode(), pmNoDevice);
    EXPECT_EQ(device_->OpenDevices(), 0);
}

TEST_F(cmxMP3Sim, PauseHoldsReportsAndBothResumeAndPlayContinue) {
    TcmxMP3 player(file_.Path());
    Watch(player);
    Play(player);
    ASSERT_TRUE(ReportsReach(1));
    device_->Advance(milliseconds(1500));
    player.Pause();
    device_->Advance(milliseconds(5000));  // a paused device does not move
    PumpFor(milliseconds(1500));
    EXPECT_EQ(reports_, std::vector<int>{0});

    player.Resume();
    ASSERT_TRUE(ReportsReach(2));
    EXPECT_EQ(reports_.back(), 1);

    player.Pause();
    Play(player);  // from pause: continues where it was, with a new report thread
    ASSERT_TRUE(ReportsReach(3));
    EXPECT_EQ(reports_.back(), 1);
    EXPECT_EQ(player.Mode(), pmPlaying);
    EXPECT_TRUE(Gone(threads_.front()));
    player.Stop();
}

TEST_F(cmxMP3Sim, EndOfFileClosesThenCompletesOnce) {
    TcmxMP3 player(file_.Path());
    Watch(player);
    TPlayerMode modeAtCompletion = pmPlaying;
    player.OnComplete = [&](TcmxMP3* sender) {
        EXPECT_EQ(sender, &player);
        modeAtCompletion = player.Mode();
        ++completions_;
    };
    Play(player);
    ASSERT_TRUE(ReportsReach(1));
    device_->Advance(milliseconds(3000));
    ASSERT_TRUE(PumpUntil([&] { return completions_ > 0; }));
    EXPECT_EQ(modeAtCompletion, pmNoDevice);
    EXPECT_EQ(device_->OpenDevices(), 0);
    EXPECT_TRUE(Gone(threads_.front()));
    PumpFor(milliseconds(100));
    EXPECT_EQ(completions_, 1);
}

TEST_F(cmxMP3Sim, OwnerMayDestroyThePlayerInsideOnComplete) {
    auto player = std::make_unique<TcmxMP3>(file_.Path());
    Watch(*player);
    player->OnComplete = [&](TcmxMP3*) {
        ++completions_;
        player.reset();
    };
    Play(*player);
    device_->Advance(milliseconds(3000));
    ASSERT_TRUE(PumpUntil([&] { return completions_ > 0; }));
    EXPECT_EQ(player, nullptr);
    PumpFor(milliseconds(100));
    EXPECT_EQ(completions_, 1);
}

TEST_F(cmxMP3Sim, StopDuringPlayGivesNoCompletion) {
    TcmxMP3 player(file_.Path());
    Watch(player);
    Play(player);
    device_->Advance(milliseconds(1000));
    player.Stop();
    device_->Advance(milliseconds(3000));
    PumpFor(milliseconds(200));
    EXPECT_EQ(completions_, 0);
}

// The first report is on its way as Play returns: Stop or destruction must drop it.
TEST_F(cmxMP3Sim, NoReportReachesAStoppedOrDestroyedPlayer) {
    TcmxMP3 stopped(file_.Path());
    Watch(stopped);
    Play(stopped);
    stopped.Stop();

    auto destroyed = std::make_unique<TcmxMP3>(file_.Path());
    Watch(*destroyed);
    Play(*destroyed);
    destroyed.reset();  // not stopped first: it stops and closes itself
    EXPECT_EQ(device_->OpenDevices(), 0);

    for (auto& thread : threads_) EXPECT_TRUE(Gone(thread));
    EXPECT_TRUE(reports_.empty());
}

TEST_F(cmxMP3Sim, ReportErrorEndsTheThreadQuietly) {
    TcmxMP3 player(file_.Path());
    Watch(player);
    device_->FailCommand(mci::SET, 263);
    Play(player);
    EXPECT_TRUE(Gone(threads_.back()));
    EXPECT_TRUE(reports_.empty());
    EXPECT_EQ(player.Mode(), pmPlaying);

    device_->FailCommand(mci::SET, 0);
    player.Stop();
    Play(player);
    ASSERT_TRUE(ReportsReach(1));
    player.Stop();
}

}  // namespace
}  // namespace kestova::test
