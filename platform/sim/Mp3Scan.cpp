#include "platform/sim/Mp3Scan.h"

#include <vector>

#include "platform/sim/WholeFile.h"

namespace kestova {

namespace {

struct TFrame {
    uint32_t bytes = 0;
    uint32_t samples = 0;
    uint32_t sampleRate = 0;
};

// Layer III bit rates in kbps by index, for MPEG-1 and for MPEG-2/2.5.
constexpr uint16_t kBitRateV1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr uint16_t kBitRateV2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr uint32_t kSampleRateV1[4] = {44100, 48000, 32000, 0};

// Answers a frame with 0 bytes when `h` is not a Layer III frame header.
TFrame ParseHeader(const uint8_t* h) {
    TFrame frame;
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return frame;
    const int version = (h[1] >> 3) & 3;  // 0 = 2.5, 1 = reserved, 2 = 2, 3 = 1
    const int layer = (h[1] >> 1) & 3;    // 1 = Layer III
    const int rateIndex = h[2] >> 4;
    const int srIndex = (h[2] >> 2) & 3;
    if (version == 1 || layer != 1 || kSampleRateV1[srIndex] == 0) return frame;
    const bool mpeg1 = version == 3;
    const uint32_t kbps = mpeg1 ? kBitRateV1[rateIndex] : kBitRateV2[rateIndex];
    if (kbps == 0) return frame;  // free format or invalid: not measurable
    frame.sampleRate = kSampleRateV1[srIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    frame.samples = mpeg1 ? 1152 : 576;
    const uint32_t padding = (h[2] >> 1) & 1;
    frame.bytes = frame.samples / 8 * kbps * 1000 / frame.sampleRate + padding;
    return frame;
}

size_t SkipId3v2(const std::vector<uint8_t>& data) {
    if (data.size() < 10 || data[0] != 'I' || data[1] != 'D' || data[2] != '3') return 0;
    // The tag size is stored as four 7-bit bytes, not counting the 10-byte header.
    const size_t size = (size_t(data[6] & 0x7F) << 21) | (size_t(data[7] & 0x7F) << 14) |
                        (size_t(data[8] & 0x7F) << 7) | size_t(data[9] & 0x7F);
    return 10 + size;
}

// The first frame header whose successor (if the data goes on) is one too: the recording's
// first byte is overwritten, and junk may come before the audio.
size_t FindFirstFrame(const std::vector<uint8_t>& data, size_t at) {
    for (; at + 4 <= data.size(); ++at) {
        const TFrame frame = ParseHeader(&data[at]);
        if (frame.bytes == 0) continue;
        const size_t next = at + frame.bytes;
        if (next + 4 > data.size() || ParseHeader(&data[next]).bytes != 0) return at;
    }
    return data.size();
}

}  // namespace

TMp3Measure MeasureMp3(const std::string& fileName) {
    TMp3Measure measure;
    std::vector<uint8_t> data;
    if (!ReadWholeFile(fileName, data)) return measure;
    size_t at = FindFirstFrame(data, SkipId3v2(data));
    uint64_t samples = 0;
    uint32_t sampleRate = 0;
    while (at + 4 <= data.size()) {
        const TFrame frame = ParseHeader(&data[at]);
        if (frame.bytes == 0 || at + frame.bytes > data.size()) break;
        if (sampleRate != 0 && frame.sampleRate != sampleRate) break;
        sampleRate = frame.sampleRate;
        samples += frame.samples;
        ++measure.frames;
        at += frame.bytes;
    }
    if (sampleRate != 0) measure.lengthMs = static_cast<uint32_t>(samples * 1000 / sampleRate);
    return measure;
}

}  // namespace kestova
