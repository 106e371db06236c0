#pragma once
// A source for tests: delivers a fixed PCM byte string, at most `ChunkLimit` bytes per read,
// and records how it was used. Optionally holds each read until the test opens the gate.
#include "audio/ACS_Classes.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace kestova::test {

class TPcmSource : public TACSInput {
public:
    TPcmSource(int bits, int channels, int rate, std::vector<unsigned char> data)
        : bits_(bits), channels_(channels), rate_(rate), data_(std::move(data)) {}

    int GetBitsPerSample() override { return bits_; }
    int GetChannels() override { return channels_; }
    int GetSampleRate() override { return rate_; }

    int ReadData(void* Buffer, int BufferSize) override {
        WaitForGate();
        ++reads;
        const std::size_t count = std::min<std::size_t>({std::size_t(BufferSize), ChunkLimit, data_.size() - offset_});
        if (count) std::memcpy(Buffer, data_.data() + offset_, count);  // data() may be null when empty
        offset_ += count;
        Position = std::int32_t(offset_);
        return int(count);
    }
    void StartInput() override {
        ++starts;
        offset_ = 0;
        Position = 0;
        Size = KnownSize ? std::int32_t(data_.size()) : -1;
        Busy = true;
    }
    void FinishInput() override {
        ++finishes;
        Busy = false;
    }

    // Reads wait until OpenGate (a test must open it before the sink is destroyed).
    void CloseGate() {
        std::lock_guard<std::mutex> guard(gateLock_);
        gateOpen_ = false;
    }
    void OpenGate() {
        {
            std::lock_guard<std::mutex> guard(gateLock_);
            gateOpen_ = true;
        }
        gateChanged_.notify_all();
    }

    std::size_t ChunkLimit = SIZE_MAX;
    bool KnownSize = true;
    std::atomic<int> reads{0}, starts{0}, finishes{0};

private:
    void WaitForGate() {
        std::unique_lock<std::mutex> guard(gateLock_);
        gateChanged_.wait(guard, [this] { return gateOpen_; });
    }

    int bits_, channels_, rate_;
    std::vector<unsigned char> data_;
    std::size_t offset_ = 0;
    std::mutex gateLock_;
    std::condition_variable gateChanged_;
    bool gateOpen_ = true;
};

inline void Put16(std::vector<unsigned char>& out, int value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

// `frames` frames of 16-bit PCM, every channel holding `value`.
inline std::vector<unsigned char> Constant16(int value, int frames, int channels) {
    std::vector<unsigned char> out;
    for (int i = 0; i < frames * channels; ++i) Put16(out, value);
    return out;
}

// A sine of `hertz` at `amplitude`, the same on every channel.
inline std::vector<unsigned char> Tone16(double hertz, int frames, int channels, int rate, double amplitude) {
    std::vector<unsigned char> out;
    const double step = 2.0 * std::acos(-1.0) * hertz / rate;
    for (int i = 0; i < frames; ++i) {
        const int sample = int(std::lround(amplitude * std::sin(step * i)));
        for (int c = 0; c < channels; ++c) Put16(out, sample);
    }
    return out;
}

}  // namespace kestova::test
