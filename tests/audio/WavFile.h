#pragma once
// Writes a 16-bit PCM WAV file, for the simulated device's file signal.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace kestova::test {

inline void WriteWav16(const std::string& path, int channels, uint32_t rate, const std::vector<int16_t>& samples) {
    std::ofstream out(path, std::ios::binary);
    const auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i) & 0xFF));
    };
    const uint32_t frameBytes = 2 * static_cast<uint32_t>(channels);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put(36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4), put(1, 2), put(channels, 2), put(rate, 4), put(rate * frameBytes, 4), put(frameBytes, 2), put(16, 2);
    out.write("data", 4);
    put(dataBytes, 4);
    for (const int16_t sample : samples) put(static_cast<uint16_t>(sample), 2);
}

}  // namespace kestova::test
