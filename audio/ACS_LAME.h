#pragma once
// The MP3 file sink: pulls 16-bit PCM from its input, encodes it with LAME at a constant bit
// rate while the recording goes on, and writes the frames to FileName. The last frames go out
// with the ID3 tag when the run ends.
#include "audio/ACS_Classes.h"
#include "audio/lame.h"

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
    // One block: 4096 frames of 16-bit stereo, 8192 of mono.
    static constexpr int PcmBufferSize = 16384;
    // LAME's worst case for 8192 samples per channel: 1.25 x 8192 + 7200.
    static constexpr int Mp3BufferSize = 17440;

    // Raises "lame_enc.dll library could not be loaded." when the encoder library is missing.
    explicit TMP3Out(TComponent* owner = nullptr);
    ~TMP3Out() override;

    // Set these while the sink is idle; the worker reads them when a run ends.
    TMP3BitRate BitRate = br128;
    std::string Id3TagTitle;
    std::string Id3TagArtist;
    std::string Id3TagAlbum;
    std::string Id3TagYear;
    std::string Id3TagTrack;
    std::string Id3TagComment;

protected:
    bool OutputStep(bool Abort) override;
    void FinishOutput() override;
    void PrepareOutput() override;

private:
    struct TEncoderCloser {
        void operator()(lame_global_struct* Encoder) const noexcept;
    };
    class TReleaseSteps;

    void OpenEncoder();
    int Encode(int Count);
    void WriteTagAndFlush();
    void ReleaseRun(TReleaseSteps& Steps, bool FinishTheInput);

    std::array<short, PcmBufferSize / sizeof(short)> PcmBuffer;
    std::unique_ptr<lame_global_struct, TEncoderCloser> Encoder;
    std::unique_ptr<unsigned char[]> Mp3Buffer;
    bool runOpen_ = false;  // PrepareOutput succeeded and FinishOutput has not yet run
};

}  // namespace kestova
