#pragma once
// The MP3 file sink: pulls 16-bit PCM from its input, encodes it with LAME at a constant bit
// rate while the recording goes on, and writes the frames to FileName. The last frames go out
// with the ID3 tag when the run ends.
#include "audio/ACS_Classes.h"
#include "audio/ACS_LameEncoder.h"

#include <array>
#include <memory>
#include <string>

namespace kestova {

enum TMP3BitRate {
    br8, br16, br24, br32, br40, br48, br56, br64, br80,
    br96, br112, br128, br144, br160, br192, br224, br256, br320
};

// The kbps number in the value's name.
int BitRateKbps(TMP3BitRate BitRate);

class TMP3Out : public TACSFileOut {
public:
    static constexpr int PcmBufferSize = TLameEncoder::MaxPcmBytes;  // one block
    static constexpr int Mp3BufferSize = TLameEncoder::Mp3BufferSize;

    // Raises "lame_enc.dll library could not be loaded." when the encoder library is missing.
    explicit TMP3Out(TComponent* owner = nullptr);
    ~TMP3Out() override;

    // Set these while the sink is idle; the worker reads them when a run ends.
    TMP3BitRate BitRate = br128;
    TId3Tag Id3Tag;

protected:
    bool OutputStep(bool Abort) override;
    void FinishOutput() override;
    void PrepareOutput() override;

private:
    class TReleaseSteps;

    void OpenEncoder();
    void WriteTagAndFlush();
    void ReleaseRun(TReleaseSteps& Steps, bool FinishTheInput);

    std::array<short, PcmBufferSize / sizeof(short)> PcmBuffer;
    std::unique_ptr<TLameEncoder> Encoder;
    bool runOpen_ = false;  // PrepareOutput succeeded and FinishOutput has not yet run
};

}  // namespace kestova
