#pragma once
// What the simulated microphone hears: a sine, silence, or the PCM data of a WAV file in a
// loop. The signal is a function of the byte position in the stream, so a device that lost
// audio while it had no buffer simply continues further on.
#include "platform/WaveIn.h"
#include "platform/sim/WaveInSim.h"

#include <cstdint>
#include <vector>

namespace kestova {

class TWaveInSignal {
public:
    // Answers false (with `error` set) when the signal cannot be made in `format`.
    bool Load(const TWaveInSimConfig& config, const TPcmWaveFormat& format, TWaveInError& error);

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
    std::vector<char> loop_;  // WavFile: the data chunk
};

}  // namespace kestova
