#pragma once
// What the simulated microphone hears: a sine, silence, or the PCM data of a WAV file in a
// loop. The signal is a function of the byte position in the stream, so a device that lost
// audio while it had no buffer simply continues further on.
#include "platform/WaveIn.h"
#include "platform/sim/WaveInSim.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestova {

// A WAV file's PCM data and its format, read once and shared by every device opened on it.
struct TWavLoop {
    TPcmWaveFormat Format;
    std::vector<char> Data;
};

// Null when the file cannot be read or is no WAV file.
std::shared_ptr<const TWavLoop> ReadWavLoop(const std::string& fileName);

class TWaveInSignal {
public:
    // Answers false (with `error` set) when the signal cannot be made in `format`. `wav` is
    // the file of a WavFile signal, null when it could not be read.
    bool Load(const TWaveInSimConfig& config, const TPcmWaveFormat& format, std::shared_ptr<const TWavLoop> wav,
              TWaveInError& error);

    // Fills `count` bytes (whole frames) that begin at byte `position` of the stream.
    void Fill(char* out, std::size_t count, std::uint64_t position) const;
    // What a muted microphone gives: zero samples (8-bit: the mid-point).
    void FillSilence(char* out, std::size_t count) const;

private:
    void FillLoop(char* out, std::size_t count, std::uint64_t position) const;
    void FillSine(char* out, std::size_t count, std::uint64_t position) const;

    TSimSignal kind_ = TSimSignal::Silence;
    TPcmWaveFormat format_;
    double frequency_ = 0;
    double amplitude_ = 0;
    std::shared_ptr<const TWavLoop> wav_;  // WavFile
    std::size_t loopBytes_ = 0;            // its data in whole frames of the opened format
};

}  // namespace kestova
