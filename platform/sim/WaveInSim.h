#pragma once
// A simulated wave-in port for tests and builds without a sound card. Each open device runs a
// driver thread of its own that fills the queued buffers in order from a signal and hands each
// one back through the callback when its audio would have been recorded (real pace), or
// sooner; what Stop and Reset take back it hands back in order after they have returned, as
// WinMM does. It can be told to fail: no device, open fails, start fails, stalls.
#include "platform/WaveIn.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kestova {

struct TWavLoop;

enum class TSimSignal { Sine, Silence, WavFile };

enum class TSimFailure {
    None,
    OpenFails,   // Open answers ALLOCATED (the device is in use)
    StartFails,  // Start answers NODRIVER
    Stalls,      // after StallAfterBuffers buffers nothing comes back until Reset
};

struct TWaveInSimConfig {
    int DeviceCount = 1;
    // Device n's name is Names[n]; a device without one is "Microphone n+1". The wave mapper
    // opens device 0.
    std::vector<std::string> Names;
    TSimSignal Signal = TSimSignal::Sine;
    double Frequency = 440.0;    // Sine, Hz
    double Amplitude = 0.5;      // Sine, share of full scale
    std::string WavFile;         // WavFile: PCM data in the opened format, played in a loop
    double Speed = 1.0;          // 1 = real pace, 2 = twice as fast, 0 = as fast as buffers come
    TSimFailure Failure = TSimFailure::None;
    int StallAfterBuffers = 0;
    // How long after Stop or Reset the driver thread hands the buffers back.
    int ReturnDelayMs = 0;
};

class TWaveInSim : public IWaveIn {
public:
    explicit TWaveInSim(TWaveInSimConfig config = {}) : config_(std::move(config)) {}

    int NumDevs() override { return config_.DeviceCount; }
    std::string DeviceName(int device) override;
    TWaveInError Open(int device, const TPcmWaveFormat& format, TWaveInCallback callback, void* instance,
                      std::unique_ptr<IWaveInDevice>& opened) override;
    std::string ErrorText(TWaveInError error) override;

    // Devices open now.
    int OpenDevices() const { return open_.load(); }
    // Bytes the microphone had heard since the device's first Start at its last Stop or
    // Reset, and at its last Start.
    std::uint64_t HeardAtHalt() const { return heardAtHalt_.load(); }
    std::uint64_t HeardAtStart() const { return heardAtStart_.load(); }
    // Headers prepared so far, and those prepared and not yet unprepared.
    int Prepares() const { return prepares_.load(); }
    int PreparedNow() const { return preparedNow_.load(); }
    // The number the last successful Open was given (wavein::MAPPER included); -2 before any.
    int LastOpened() const { return lastOpened_.load(); }
    // A muted microphone hears silence, whatever its signal, until it is unmuted.
    void SetMuted(bool muted) { muted_ = muted; }

private:
    friend class TSimDevice;

    // The WAV file of a WavFile signal, read on the first Open that needs it (a microphone
    // does not reload its sound each time it is opened); null until it could be read.
    std::shared_ptr<const TWavLoop> WavLoop();

    const TWaveInSimConfig config_;
    std::mutex wavLock_;
    std::shared_ptr<const TWavLoop> wav_;
    std::atomic<int> open_{0};
    std::atomic<std::uint64_t> heardAtHalt_{0}, heardAtStart_{0};
    std::atomic<int> lastOpened_{-2};
    std::atomic<int> prepares_{0}, preparedNow_{0};
    std::atomic<bool> muted_{false};
};

}  // namespace kestova
