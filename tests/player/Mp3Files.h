#pragma once
// MP3 files made at run time: silent CBR frames (MPEG-1 Layer III, 48 kHz, 128 kbps, mono),
// each exactly 384 bytes and 24 ms long, so lengths are exact in any player.
#include <cstdint>
#include <string>
#include <vector>

namespace kestova::test {

constexpr int kFrameMs = 24;

std::vector<uint8_t> SilentFrames(int durationMs);  // rounded up to whole frames

// A 128-byte ID3v1-shaped block starting with `id` ("TAG", "tag"), the rest a fixed pattern.
std::vector<uint8_t> TagLikeBlock(const char* id);

// A file in the temporary folder, named after the running test, removed when this goes.
class TScratchFile {
public:
    explicit TScratchFile(const std::string& suffix);
    ~TScratchFile();
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    void Write(const std::vector<uint8_t>& bytes) const;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace kestova::test
