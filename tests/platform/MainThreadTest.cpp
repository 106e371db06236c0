// Main-thread dispatch as the OS build provides it (Win32 message-only window under Wine,
// the simulated queue natively), and the simulated queue's own promise to waiting senders.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/Exception.h"
#include "platform/MainThread.h"
#include "platform/sim/SimMainThread.h"

namespace kestova {
namespace {

constexpr std::chrono::milliseconds kPatience{10000};

TEST(MainThread, PostedCallsRunOnTheOwnerInOrderWithoutBlockingThePoster) {
    auto main = CreateOsMainThread();
    std::vector<int> ran;
    std::atomic<bool> posterDone{false};
    std::atomic<bool> allOnOwner{true};
    // The owner does not pump until the poster is done: Post must not wait for it.
    std::thread poster([&] {
        for (int i = 0; i < 100; ++i) {
            main->Post([&, i] {
                if (!main->IsOwnerThread()) allOnOwner = false;
                ran.push_back(i);
            });
        }
        posterDone = true;
    });
    poster.join();
    ASSERT_TRUE(posterDone);
    ASSERT_TRUE(main->ProcessUntil([&] { return ran.size() == 100; }, kPatience));
    EXPECT_TRUE(allOnOwner);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(ran[i], i);
}

TEST(MainThread, SendRunsOnTheOwnerAndHandsBackItsError) {
    auto main = CreateOsMainThread();
    std::atomic<bool> ranOnOwner{false};
    std::atomic<bool> errorCame{false};
    std::atomic<bool> done{false};
    std::thread sender([&] {
        main->Send([&] { ranOnOwner = main->IsOwnerThread(); });
        try {
            main->Send([] { throw std::runtime_error("in the call"); });
        } catch (const std::runtime_error& error) {
            errorCame = std::string(error.what()) == "in the call";
        }
        done = true;
    });
    EXPECT_TRUE(main->ProcessUntil([&] { return done.load(); }, kPatience));
    sender.join();
    EXPECT_TRUE(ranOnOwner);
    EXPECT_TRUE(errorCame);

    bool direct = false;
    main->Send([&] { direct = true; });  // on the owner itself: at once, no pumping
    EXPECT_TRUE(direct);
}

TEST(MainThread, ErrorOfAPostedCallSurfacesFromTheLoop) {
    auto main = CreateOsMainThread();
    bool later = false;
    main->Post([] { throw Exception("posted"); });
    main->Post([&] { later = true; });
    EXPECT_THROW(main->ProcessUntil([&] { return later; }, kPatience), Exception);
    EXPECT_TRUE(main->ProcessUntil([&] { return later; }, kPatience));
    EXPECT_FALSE(main->ProcessUntil([] { return false; }, std::chrono::milliseconds(20)));
}

TEST(SimMainThread, SenderWaitingOnAQueueThatGoesGetsAnError) {
    auto main = std::make_unique<TSimMainThread>();
    TSimMainThread* queue = main.get();
    std::atomic<bool> failed{false};
    std::thread sender([&] {
        try {
            queue->Send([] {});
        } catch (const Exception&) {
            failed = true;
        }
    });
    while (queue->Pending() == 0) std::this_thread::yield();
    main.reset();  // without ever pumping
    sender.join();
    EXPECT_TRUE(failed);
}

TEST(MainThread, InstalledDispatcherIsRequired) {
    SetMainThread(nullptr);
    EXPECT_THROW(MainThread(), Exception);
    auto main = CreateOsMainThread();
    SetMainThread(main);
    EXPECT_EQ(MainThread(), main);
    SetMainThread(nullptr);
}

}  // namespace
}  // namespace kestova
