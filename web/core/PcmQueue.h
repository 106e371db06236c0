#pragma once
// The web core's source: the PCM the page hands over, 16-bit interleaved stereo at 22050 Hz,
// delivered in the order it came, as much of it as a read asks for.
#include "audio/ACS_Classes.h"

#include <vector>

namespace kestova {

class TPcmQueue : public TACSInput {
public:
    static constexpr int Rate = 22050;
    static constexpr int FrameBytes = 4;

    int GetBitsPerSample() override { return 16; }
    int GetChannels() override { return 2; }
    int GetSampleRate() override { return Rate; }
    // Whole frames only; 0 when nothing is queued.
    int ReadData(void* Buffer, int BufferSize) override;
    void StartInput() override;
    void FinishInput() override;

    void Append(const short* Frames, int Count);
    // Bytes queued.
    int Queued() const { return static_cast<int>(bytes_.size()); }

private:
    std::vector<unsigned char> bytes_;
};

}  // namespace kestova
