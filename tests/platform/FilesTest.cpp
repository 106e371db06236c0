// The file operations by path, in a folder whose name is outside any ANSI code page: under
// Wine this proves the wide calls; natively the UTF-8 path goes through unchanged.
#include "platform/ExclusiveFile.h"
#include "platform/Files.h"
#include "platform/UserFolders.h"
#include "tests/audio/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestova::test {
namespace {

// "Jürgen Øster 日本" in UTF-8.
const std::string kUnicodeName = "J\xC3\xBCrgen \xC3\x98ster \xE6\x97\xA5\xE6\x9C\xAC";

TEST(Files, CreateMarkReadAndRemoveUnderAUnicodeFolder) {
    TScratchFolder scratch("files");
    const std::filesystem::path folder = scratch.Path() / std::filesystem::u8path(kUnicodeName);
    std::filesystem::create_directory(folder);
    const std::string path = (folder / "").u8string() + "x.mp3";
    {
        TFile created(CreateExclusiveFile(path));
        ASSERT_TRUE(created);
        std::fputs("abc", created.get());
    }
    ASSERT_TRUE(std::filesystem::exists(folder / "x.mp3")) << "created under another name";
    {
        TFile updated = OpenFile(path, "r+b");
        ASSERT_TRUE(updated);
        std::fputc('M', updated.get());
    }
    TFile read = OpenFile(path, "rb");
    ASSERT_TRUE(read);
    char text[4] = {};
    EXPECT_EQ(std::fread(text, 1, 3, read.get()), 3u);
    EXPECT_STREQ(text, "Mbc");
    read.reset();
    EXPECT_TRUE(RemoveFile(path));
    EXPECT_FALSE(std::filesystem::exists(folder / "x.mp3"));
    EXPECT_FALSE(RemoveFile(path));
}

TEST(UserFolders, ProbeMakesAFileAndLeavesNone) {
    TScratchFolder scratch("probe");
    const auto folders = CreateOsUserFolders();
    const std::filesystem::path unicode = scratch.Path() / std::filesystem::u8path(kUnicodeName);
    std::filesystem::create_directory(unicode);
    EXPECT_TRUE(folders->CanCreateFileIn((unicode / "").u8string()));
    EXPECT_TRUE(std::filesystem::is_empty(unicode));
    // A folder that is missing takes no file, for root too.
    EXPECT_FALSE(folders->CanCreateFileIn(scratch.File("missing") + "/"));
}

}  // namespace
}  // namespace kestova::test
