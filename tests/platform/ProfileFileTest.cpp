// The profile rules, on the text implementation and (on Windows) on the system's functions.
#include "platform/ProfileFile.h"
#include "platform/ProfileFileText.h"
#include "tests/audio/ScratchFolder.h"

#include "core/Exception.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace kestova;
using kestova::test::TScratchFolder;

namespace {

class ProfileFileRules : public ::testing::TestWithParam<bool> {
protected:
    std::shared_ptr<IProfileFile> Port() const {
        return GetParam() ? CreateOsProfileFile() : std::make_shared<TProfileFileText>();
    }
    void Write(const std::string& text) const { std::ofstream(ini, std::ios::binary) << text; }
    std::string Read() const {
        std::ifstream file(ini, std::ios::binary);
        std::stringstream all;
        all << file.rdbuf();
        return all.str();
    }

    TScratchFolder folder{"profile"};
    std::string ini = folder.File("zelt.ini");
};

}  // namespace

TEST_P(ProfileFileRules, AbsentFileSectionOrKeyGivesTheFallback) {
    EXPECT_EQ(Port()->ReadString(ini, "Audio", "BitRate", "64"), "64");
    Write("[Other]\r\nBitRate=8\r\n[Audio]\r\nRate=16\r\n");
    EXPECT_EQ(Port()->ReadString(ini, "Audio", "BitRate", "64"), "64");
}

TEST_P(ProfileFileRules, NamesIgnoreCaseAndBlanksAreDropped) {
    Write("[ audio ]\r\n  bitrate  =  128  \r\n");
    EXPECT_EQ(Port()->ReadString(ini, "Audio", "BitRate", "64"), "128");
    Write("[Audio]\r\nBitRate=\"96\"\r\n");
    EXPECT_EQ(Port()->ReadString(ini, "Audio", "BitRate", "64"), "96");
    Write("[Audio]\r\nBitRate=\r\n");
    EXPECT_EQ(Port()->ReadString(ini, "Audio", "BitRate", "64"), "");
}

TEST_P(ProfileFileRules, WritingOneKeyKeepsEverythingElse) {
    Write("; settings\r\n[Audio]\r\nBitRate=64\r\nDevice=1\r\n\r\n[Window]\r\nLeft=10\r\n");
    Port()->WriteString(ini, "Audio", "BitRate", "128");
    Port()->WriteString(ini, "Window", "Top", "20");
    EXPECT_EQ(Port()->ReadString(ini, "Audio", "BitRate", ""), "128");
    EXPECT_EQ(Port()->ReadString(ini, "Audio", "Device", ""), "1");
    EXPECT_EQ(Port()->ReadString(ini, "Window", "Left", ""), "10");
    EXPECT_EQ(Port()->ReadString(ini, "Window", "Top", ""), "20");
    EXPECT_NE(Read().find("; settings"), std::string::npos);
}

TEST_P(ProfileFileRules, FirstWriteCreatesTheFile) {
    Port()->WriteString(ini, "Audio", "BitRate", "8");
    EXPECT_EQ(Port()->ReadString(ini, "Audio", "BitRate", ""), "8");
    EXPECT_NE(Read().find("[Audio]"), std::string::npos);
}

TEST_P(ProfileFileRules, UnwritableFileNamesItsPath) {
    const std::string lost = folder.File("missing") + "/zelt.ini";
    try {
        Port()->WriteString(lost, "Audio", "BitRate", "8");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + lost);
    }
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(TextAndSystem, ProfileFileRules, ::testing::Values(false, true));
#else
INSTANTIATE_TEST_SUITE_P(Text, ProfileFileRules, ::testing::Values(false));
#endif
