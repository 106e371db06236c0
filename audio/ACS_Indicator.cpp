#include "audio/ACS_Indicator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <mutex>

namespace kestova {

namespace {

constexpr int kBlockFrames = 64;
// Magnitudes stay below 2^15 times the mean of window entries 0..63 (under 0.013), about 420:
// a product of 16 squares stays under 1e84, and LogMagnitudes may square it without overflow.
constexpr int kBlocksPerProduct = 16;

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
    for (int first = 0; first < blocks; first += kBlocksPerProduct) {
        TComplex products[LevelCount];
        std::fill(std::begin(products), std::end(products), TComplex{1.0, 0.0});
        for (int b = first; b < std::min(blocks, first + kBlocksPerProduct); ++b) {
            const unsigned char* const frames = Data + b * kBlockFrames * frameBytes;
            for (int i = 0; i < kBlockFrames; ++i) samples[i] = SampleAt(frames + i * frameBytes, wide, stereo);
            MultiplyBlock(samples, products);
        }
        AddLogs(products);
    }
    // Once per read, over what earlier reads left in the sums as well.
    for (double& sum : LevelSums) sum /= blocks;
}

// max(0, log10 m) = log10 max(1, m^2) / 2: one logarithm per bin for many blocks instead of one
// each, and no square root.
void TSoundIndicator::MultiplyBlock(double* Samples, TComplex* Products) const {
    ApplyWindow(WindowTable.data(), Samples, kBlockFrames);
    TComplex spectrum[kBlockFrames / 2];  // bins 32..63 mirror 31..1 for real input
    Transform.Transform(Samples, spectrum);
    for (int k = 0; k < LevelCount; ++k)
        Products[k].Re *= std::max(1.0, spectrum[k].Re * spectrum[k].Re + spectrum[k].Im * spectrum[k].Im);
}

void TSoundIndicator::AddLogs(const TComplex* Products) {
    double logs[LevelCount];
    LogMagnitudes(Products, logs, LevelCount, 0);
    bool finite = true;
    for (int k = 0; k < LevelCount; ++k) {
        LevelSums[k] += logs[k] / 2;  // of squared magnitudes
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
