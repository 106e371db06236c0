#include <gtest/gtest.h>

#include <algorithm>

#include "core/Exception.h"
#include "player/cmxTag.h"
#include "tests/player/Mp3Files.h"

namespace kestova::test {
namespace {

TTagBlock EmptyBlock() {
    TTagBlock block{};
    block[0] = 'T';
    block[1] = 'A';
    block[2] = 'G';
    return block;
}

TTagBlock TagOf(const std::vector<uint8_t>& content) {
    TScratchFile file(".mp3");
    file.Write(content);
    TTagBlock block;
    block.fill(0xEE);
    ReadTag(file.Path(), block);
    return block;
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(cmxTag, TrailingTagIsTakenWhole) {
    const std::vector<uint8_t> tag = TagLikeBlock("TAG");
    const TTagBlock block = TagOf(Join(SilentFrames(500), tag));
    EXPECT_TRUE(std::equal(block.begin(), block.end(), tag.begin()));
}

TEST(cmxTag, NoTagGivesEmptyBlock) {
    EXPECT_EQ(TagOf(SilentFrames(500)), EmptyBlock());
    EXPECT_EQ(TagOf(Join(SilentFrames(500), TagLikeBlock("tag"))), EmptyBlock());
    // A "TAG" that is not exactly 128 bytes from the end does not count.
    EXPECT_EQ(TagOf(Join(Join(SilentFrames(100), TagLikeBlock("TAG")), {0})), EmptyBlock());
}

TEST(cmxTag, FileOfExactlyOneBlockIsTheBlock) {
    const std::vector<uint8_t> tag = TagLikeBlock("TAG");
    const TTagBlock block = TagOf(tag);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), tag.begin()));
}

TEST(cmxTag, ShortFilesHoldNoTag) {
    std::vector<uint8_t> shortTag = TagLikeBlock("TAG");
    shortTag.pop_back();
    EXPECT_EQ(TagOf(shortTag), EmptyBlock());
    EXPECT_EQ(TagOf({}), EmptyBlock());
}

TEST(cmxTag, MissingFileRaisesFileOpenError) {
    TScratchFile missing(".mp3");
    TTagBlock block{};
    try {
        ReadTag(missing.Path(), block);
        FAIL() << "no error";
    } catch (const EFOpenError& error) {
        EXPECT_NE(error.Message().find("\"" + missing.Path() + "\""), std::string::npos)
            << error.Message();
    }
}

}  // namespace
}  // namespace kestova::test
