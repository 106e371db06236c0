#pragma once
// The level stage: passes every block through unchanged and measures on the way a short-time
// spectrum, 32 bins of log10 magnitude averaged over the block, which a window reads out from
// time to time to drive a level bar.
#include "audio/ACS_Classes.h"
#include "audio/ACS_Procs.h"
#include "audio/ACS_SpinFlag.h"

#include <array>

namespace kestova {

class TSoundIndicator : public TACSConverter {
public:
    static constexpr int LevelCount = 32;

    explicit TSoundIndicator(TComponent* owner = nullptr);

    // The input's format; "Input is not assigned." without one.
    int GetBitsPerSample() override;
    int GetChannels() override;
    int GetSampleRate() override;
    // Delivers the input's bytes untouched; measures them unless a read-out is under way.
    int ReadData(void* Buffer, int BufferSize) override;
    // Starts the input and zeroes the sums.
    void StartInput() override;

    // Values[0..31] = sums x 20 (decibels of sample units), then zeroes the sums. Any thread;
    // waits for a measurement in progress.
    void ReadLevels(double* Values);

protected:
    // Held while a measurement writes LevelSums or a read-out reads them. The measurement only
    // tries it, so the worker never waits for a read-out.
    TSpinFlag LevelLock;

private:
    TACSInput& RequireInput() const;
    void Measure(const unsigned char* Data, int Count);
    // Multiplies max(1, squared magnitude) of bins 0..31 of one block of 64 samples into Products.
    void MultiplyBlock(double* Samples, TComplex* Products) const;
    // Adds half of log10 of each product: the sum of its blocks' floored log magnitudes.
    void AddLogs(const TComplex* Products);

    // 1024-point symmetric Hann window of which only entries 0..63 are used: a slow rise from 0
    // to about 0.037 (not a 64-point window), as the level scale has always been measured.
    std::array<double, 1024> WindowTable;
    TRealFft Transform{64};
    std::array<double, LevelCount> LevelSums{};
};

}  // namespace kestova
