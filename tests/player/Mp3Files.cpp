#include "tests/player/Mp3Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kestova::test {

namespace {
constexpr int kFrameBytes = 384;  // 144 * 128000 / 48000, no padding needed at 48 kHz
// Sync, MPEG-1, Layer III, no CRC; 128 kbps, 48 kHz; mono. Zero side information and main
// data decode as silence.
constexpr uint8_t kHeader[4] = {0xFF, 0xFB, 0x94, 0xC0};
}  // namespace

std::vector<uint8_t> SilentFrames(int durationMs) {
    const int frames = (durationMs + kFrameMs - 1) / kFrameMs;
    std::vector<uint8_t> bytes(size_t(frames) * kFrameBytes, 0);
    for (int i = 0; i < frames; ++i) std::copy(kHeader, kHeader + 4, bytes.begin() + i * kFrameBytes);
    return bytes;
}

std::vector<uint8_t> TagLikeBlock(const char* id) {
    std::vector<uint8_t> block(128);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7 + 1);
    std::copy(id, id + 3, block.begin());
    return block;
}

TScratchFile::TScratchFile(const std::string& suffix) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string("kestova_") + test->test_suite_name() + "_" +
                             test->name() + suffix;
    path_ = (std::filesystem::temp_directory_path() / name).string();
}

TScratchFile::~TScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

void TScratchFile::Write(const std::vector<uint8_t>& bytes) const {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace kestova::test
