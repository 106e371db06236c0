// The buttons' tag generator in a process of its own, so nothing has drawn from it before.
#include <gtest/gtest.h>

#include <unordered_set>

#include "addin/ButtonTag.h"

namespace kestova::test {
namespace {

TEST(ButtonTagTest, FreshProcessDrawsTheKnownSequenceAndManyDistinctNumbers) {
    EXPECT_EQ(ButtonTag(L"Kestova"), L"Kestova_0");
    EXPECT_EQ(ButtonTag(L"About Kestova"), L"About Kestova_67387906");
    EXPECT_EQ(NextButtonNumber(), 1849087502);
    std::unordered_set<std::int32_t> seen{0, 67387906, 1849087502};
    for (int i = 3; i < 57457; ++i) {
        const std::int32_t number = NextButtonNumber();
        ASSERT_GE(number, 0);
        ASSERT_LE(number, 2147483646);
        ASSERT_TRUE(seen.insert(number).second) << "draw " << i << " repeats " << number;
    }
}

}  // namespace
}  // namespace kestova::test
