#include "audio/ACS_Indicator.h"

#include "audio/ACS_Procs.h"

#include <cmath>
#include <cstdint>
#include <mutex>

namespace kestova {

namespace {

constexpr int kBlockFrames = 64;

double Int16At(const unsigned char* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
}

// Any width other than 8 counts as 16-bit signed, any channel count other than 1 as stereo,
// whose two samples are averaged. 8-bit samples keep their unsigned offset.
double SampleAt(const unsigned char* frame, bool wide, bool stereo) {
    if (!wide) return stereo ? (double(frame[0]) + double(frame[1])) / 2.0 : double(frame[0]);
    const double left = Int16At(frame);
    return stereo ? (left + Int16At(frame + 2)) / 2.0 : left;
}

}  // namespace

TSoundIndicator::TSoundIndicator(TComponent* owner) : TACSConverter(owner) {
    MakeHannWindow(WindowTable.data(), int(WindowTable.size()), true);
}

TACSInput& TSoundIndicator::RequireInput() const {
    TACSInput* const input = Input();
    if (!input) throw EACSException("Input is not assigned.");
    return *input;
}

int TSoundIndicator::GetBitsPerSample() { return RequireInput().GetBitsPerSample(); }
int TSoundIndicator::GetChannels() { return RequireInput().GetChannels(); }
int TSoundIndicator::GetSampleRate() { return RequireInput().GetSampleRate(); }

void TSoundIndicator::StartInput() {
    RequireInput();
    TACSConverter::StartInput();
    std::lock_guard<TSpinFlag> guard(LevelLock);
    LevelSums.fill(0.0);
}

int TSoundIndicator::ReadData(void* Buffer, int BufferSize) {
    const int count = TACSConverter::ReadData(Buffer, BufferSize);
    if (count <= 0) return count;
    std::unique_lock<TSpinFlag> guard(LevelLock, std::try_to_lock);
    // The sink's buffer is only read here, so it is measured in place rather than from a copy.
    if (guard.owns_lock()) Measure(static_cast<const unsigned char*>(Buffer), count);
    return count;
}

void TSoundIndicator::Measure(const unsigned char* Data, int Count) {
    const bool wide = GetBitsPerSample() != 8;
    const bool stereo = GetChannels() != 1;
    const int frameBytes = (wide ? 2 : 1) * (stereo ? 2 : 1);
    const int blocks = Count / frameBytes / kBlockFrames;
    if (blocks == 0) return;  // too short to measure: the sums stay as they were
    double samples[kBlockFrames];
    for (int b = 0; b < blocks; ++b) {
        const unsigned char* const frames = Data + b * kBlockFrames * frameBytes;
        for (int i = 0; i < kBlockFrames; ++i) samples[i] = SampleAt(frames + i * frameBytes, wide, stereo);
        AddBlock(samples);
    }
    // Once per read, over what earlier reads left in the sums as well.
    for (double& sum : LevelSums) sum /= blocks;
}

void TSoundIndicator::AddBlock(double* Samples) {
    ApplyWindow(WindowTable.data(), Samples, kBlockFrames);
    TComplex spectrum[kBlockFrames];
    for (int i = 0; i < kBlockFrames; ++i) spectrum[i] = {Samples[i], 0.0};
    FftInPlace(spectrum, kBlockFrames, 1);
    // Bins 32..63 mirror 31..1 for real input and are dropped: their logarithms are not taken.
    double magnitudes[LevelCount];
    LogMagnitudes(spectrum, magnitudes, LevelCount, 0);
    bool finite = true;
    for (int k = 0; k < LevelCount; ++k) {
        LevelSums[k] += magnitudes[k];
        finite = finite && std::isfinite(LevelSums[k]);
    }
    if (!finite) LevelSums.fill(0.0);  // a floating-point fault resets the level, measuring goes on
}

void TSoundIndicator::ReadLevels(double* Values) {
    std::lock_guard<TSpinFlag> guard(LevelLock);
    for (int k = 0; k < LevelCount; ++k) Values[k] = LevelSums[k] * 20.0;
    LevelSums.fill(0.0);
}

}  // namespace kestova
