#pragma once
// A player test's surroundings: this thread's dispatcher installed as the main thread, an MCI
// interface, and helpers that keep the thread's messages flowing while a test waits.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "platform/MainThread.h"
#include "platform/Mci.h"
#include "player/cmxMP3.h"
#include "tests/player/Mp3Files.h"

namespace kestova::test {

class PlayerFixture : public ::testing::Test {
protected:
    // Long enough for a slow Wine start; a passing test never waits for it.
    static constexpr std::chrono::milliseconds kPatience{10000};

    void SetUp() override {
        main_ = CreateOsMainThread();
        SetMainThread(main_);
    }

    // Report threads hold the dispatcher: they must be gone before it goes.
    void TearDown() override {
        for (auto& thread : threads_) EXPECT_TRUE(Gone(thread));
        SetMci(nullptr);
        SetMainThread(nullptr);
    }

    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = kPatience) {
        return main_->ProcessUntil(done, timeout);
    }

    // Lets the thread's messages run for `span`, for checks that something does not happen.
    void PumpFor(std::chrono::milliseconds span) { main_->ProcessUntil([] { return false; }, span); }

    bool Gone(const std::weak_ptr<TcmxProgressThread>& thread) {
        return PumpUntil([&] { return thread.expired(); });
    }

    // Records the player's reports and completions, and its report threads for TearDown.
    void Watch(TcmxMP3& player) {
        player.OnPosition = [this](TcmxMP3*, int seconds) { reports_.push_back(seconds); };
        player.OnComplete = [this](TcmxMP3*) { ++completions_; };
    }
    void Play(TcmxMP3& player) {
        player.Play();
        threads_.push_back(player.ReportThread());
    }
    bool ReportsReach(size_t count) { return PumpUntil([&] { return reports_.size() >= count; }); }

    std::shared_ptr<IMainThread> main_;
    std::vector<std::weak_ptr<TcmxProgressThread>> threads_;
    std::vector<int> reports_;
    int completions_ = 0;
};

}  // namespace kestova::test
