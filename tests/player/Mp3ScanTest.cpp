// The simulated MCI device's measure of a file, on the shapes the recorder produces.
#include <gtest/gtest.h>

#include "platform/sim/Mp3Scan.h"
#include "tests/player/Mp3Files.h"

namespace kestova::test {
namespace {

TMp3Measure Measure(const std::vector<uint8_t>& bytes) {
    TScratchFile file(".mp3");
    file.Write(bytes);
    return MeasureMp3(file.Path());
}

TEST(Mp3Scan, CountsFramesBetweenId3v2AndId3v1Tags) {
    std::vector<uint8_t> bytes = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20};
    bytes.resize(30, 0xFF);  // tag content that looks like sync bytes must be skipped
    const std::vector<uint8_t> frames = SilentFrames(1000);
    bytes.insert(bytes.end(), frames.begin(), frames.end());
    const std::vector<uint8_t> tag = TagLikeBlock("TAG");
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    const TMp3Measure measure = Measure(bytes);
    EXPECT_EQ(measure.frames, 42u);
    EXPECT_EQ(measure.lengthMs, 42u * kFrameMs);
}

// The recorder overwrites the first byte of its file: the audio starts at the next frame.
TEST(Mp3Scan, FindsTheFramesAfterADamagedFirstHeader) {
    std::vector<uint8_t> bytes = SilentFrames(480);
    bytes[0] = 0x4D;
    EXPECT_EQ(Measure(bytes).frames, 19u);
}

TEST(Mp3Scan, NoFramesInOtherFiles) {
    EXPECT_EQ(Measure({'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'}).frames, 0u);
    EXPECT_EQ(Measure({}).frames, 0u);
    TScratchFile missing(".mp3");
    EXPECT_EQ(MeasureMp3(missing.Path()).frames, 0u);
}

}  // namespace
}  // namespace kestova::test
