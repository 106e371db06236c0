#pragma once
// Measures an MP3 file by walking its MPEG audio frame headers, so the simulated MCI device
// knows a file's playing time in both builds without a decoder.
#include <cstdint>
#include <string>

namespace kestova {

struct TMp3Measure {
    uint32_t frames = 0;
    uint32_t lengthMs = 0;  // playing time of the frames found, truncated
};

// Skips a leading ID3v2 tag and any bytes before the first frame, then counts consecutive
// MPEG-1/2/2.5 Layer III frames; stops at the first bytes that are not a frame (an ID3v1 tag).
// A file that cannot be read has no frames.
TMp3Measure MeasureMp3(const std::string& fileName);

}  // namespace kestova
