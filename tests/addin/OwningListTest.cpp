// The owning list of window and button wrappers: identity lookup and destruction on removal.
#include <gtest/gtest.h>

#include <memory>

#include "addin/OwningList.h"

namespace kestova::test {
namespace {

struct TBase {
    virtual ~TBase() = default;
};

struct TEntry : TBase {
    TEntry(int& destroyed, const TOwningList<TEntry>*& list) : destroyed_(destroyed), list_(list) {}
    ~TEntry() override {
        ++destroyed_;
        if (list_) stillListed = list_->Contains(this);
    }
    int& destroyed_;
    const TOwningList<TEntry>*& list_;
    static inline bool stillListed = false;
};

TEST(OwningListTest, RemoveDestroysExactlyTheEntryAfterUnlistingIt) {
    int destroyed = 0;
    const TOwningList<TEntry>* watched = nullptr;
    TOwningList<TEntry> list;
    TEntry& first = list.Add(std::make_unique<TEntry>(destroyed, watched));
    TEntry& second = list.Add(std::make_unique<TEntry>(destroyed, watched));
    watched = &list;
    TEntry::stillListed = true;
    const TBase* asBase = &first;
    EXPECT_TRUE(list.Remove(asBase));
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(TEntry::stillListed);
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(&list[0], &second);
    watched = nullptr;
}

TEST(OwningListTest, UnknownOrForeignEntryIsNotRemoved) {
    int destroyed = 0;
    const TOwningList<TEntry>* watched = nullptr;
    TOwningList<TEntry> list;
    list.Add(std::make_unique<TEntry>(destroyed, watched));
    TBase stranger;
    TEntry unlisted(destroyed, watched);
    EXPECT_FALSE(list.Remove(&stranger));
    EXPECT_FALSE(list.Remove(&unlisted));
    EXPECT_FALSE(list.Remove(static_cast<const TBase*>(nullptr)));
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(list.Count(), 1u);
}

TEST(OwningListTest, DestroyingTheListDestroysEveryEntry) {
    int destroyed = 0;
    const TOwningList<TEntry>* watched = nullptr;
    {
        TOwningList<TEntry> list;
        list.Add(std::make_unique<TEntry>(destroyed, watched));
        list.Add(std::make_unique<TEntry>(destroyed, watched));
    }
    EXPECT_EQ(destroyed, 2);
}

}  // namespace
}  // namespace kestova::test
