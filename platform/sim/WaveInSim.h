#pragma once
// A simulated wave-in port for tests and builds without a sound card. Each open device runs a
// driver thread of its own that fills the queued buffers in order from a signal and hands each
// one back through the callback when its audio would have been recorded (real pace), or
// sooner. It can be told to fail: no device, open fails, start fails, stalls.
#include "platform/WaveIn.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace kestova {

enum class TSimSignal { Sine, Silence, WavFile };

enum class TSimFailure {
    None,
    OpenFails,   // Open answers ALLOCATED (the device is in use)
    StartFails,  // Start answers NODRIVER
    Stalls,      // after StallAfterBuffers buffers nothing comes back until Reset
};

struct TWaveInSimConfig {
    int DeviceCount = 1;
    TSimSignal Signal = TSimSignal::Sine;
    double Frequency = 440.0;    // Sine, Hz
    double Amplitude = 0.5;      // Sine, share of full scale
    std::string WavFile;         // WavFile: PCM data in the opened format, played in a loop
    double Speed = 1.0;          // 1 = real pace, 2 = twice as fast, 0 = as fast as buffers come
    TSimFailure Failure = TSimFailure::None;
    int StallAfterBuffers = 0;
};

class TWaveInSim : public IWaveIn {
public:
    explicit TWaveInSim(TWaveInSimConfig config = {}) : config_(std::move(config)) {}

    int NumDevs() override { return config_.DeviceCount; }
    TWaveInError Open(int device, const TPcmWaveFormat& format, TWaveInCallback callback, void* instance,
                      std::unique_ptr<IWaveInDevice>& opened) override;
    std::string ErrorText(TWaveInError error) override;

    // Devices open now.
    int OpenDevices() const { return open_.load(); }
    // Bytes the microphone had heard since the device's first Start at its last Stop or
    // Reset, and at its last Start.
    std::uint64_t HeardAtHalt() const { return heardAtHalt_.load(); }
    std::uint64_t HeardAtStart() const { return heardAtStart_.load(); }

private:
    friend class TSimDevice;

    const TWaveInSimConfig config_;
    std::atomic<int> open_{0};
    std::atomic<std::uint64_t> heardAtHalt_{0}, heardAtStart_{0};
};

}  // namespace kestova
