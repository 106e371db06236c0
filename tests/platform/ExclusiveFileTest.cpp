#include "platform/ExclusiveFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, Closer>;

TEST(ExclusiveFile, TruncatesAndIsHeldUntilClosed) {
    const std::string path = (std::filesystem::temp_directory_path() / "kestova_exclusive.bin").string();
    {
        File old(std::fopen(path.c_str(), "wb"));
        ASSERT_TRUE(old);
        std::fputs("old contents", old.get());
    }
    File held(kestova::CreateExclusiveFile(path));
    ASSERT_TRUE(held);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
#ifdef _WIN32
    EXPECT_FALSE(File(std::fopen(path.c_str(), "rb"))) << "a second opener shared the file";
#endif
    held.reset();
    EXPECT_TRUE(File(std::fopen(path.c_str(), "rb")));
    std::filesystem::remove(path);
}

}  // namespace
