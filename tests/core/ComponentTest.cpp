#include "core/Component.h"
#include "core/Exception.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kestova;

namespace {

class Watcher : public TComponent {
public:
    TComponent* watched = nullptr;
    int removals = 0;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == TOperation::opRemove && component == watched) {
            watched = nullptr;
            ++removals;
        }
    }
};

}  // namespace

TEST(Component, DestroyedComponentNotifiesEachWatcherOnce) {
    Watcher a, b;
    auto target = std::make_unique<TComponent>();
    a.watched = b.watched = target.get();
    a.FreeNotification(target.get());
    a.FreeNotification(target.get());  // twice must still notify once
    b.FreeNotification(target.get());
    target.reset();
    EXPECT_EQ(a.removals, 1);
    EXPECT_EQ(b.removals, 1);
    EXPECT_EQ(a.watched, nullptr);
}

TEST(Component, WatcherDestroyedFirstIsNotCalledLater) {
    auto target = std::make_unique<TComponent>();
    {
        Watcher gone;
        gone.FreeNotification(target.get());
    }
    target.reset();  // ASan would catch a call into the destroyed watcher
    SUCCEED();
}

TEST(Component, FileErrorsNameThePath) {
    EXPECT_EQ(std::string(EFOpenError("C:\\a b.mp3", "The system cannot find the file specified.").what()),
              "Cannot open file \"C:\\a b.mp3\". The system cannot find the file specified.");
}
