#pragma once
// One recording in the web add-in: the page's PCM goes through the recorder's level stage and
// MP3 writer as in zelt.dll, in the sink's blocks, and comes out as the finished file.
#include "audio/ACS_Indicator.h"
#include "audio/ACS_LameEncoder.h"
#include "web/core/PcmQueue.h"

#include <array>
#include <memory>
#include <vector>

namespace kestova {

class TWebEncoder {
public:
    // Raises EACSException for a rate the Options list does not hold or a missing encoder.
    explicit TWebEncoder(int Kbps);
    ~TWebEncoder();
    TWebEncoder(const TWebEncoder&) = delete;
    TWebEncoder& operator=(const TWebEncoder&) = delete;

    // Room for `Frames` frames of PCM, valid until the next call.
    short* Room(int Frames);
    // Takes in the frames written at Room; answers the level bar's value, 0..1, held from the
    // last block while a push fills none.
    double Push(int Frames);
    // The rest, the tag, and the first byte marked.
    void Finish();

    const std::vector<unsigned char>& Mp3() const { return mp3_; }

private:
    struct TLameUse {
        TLameUse();
        ~TLameUse();
    };

    void EncodeBlocks(int Least);

    TLameUse lame_;
    TPcmQueue source_;
    TSoundIndicator level_;
    std::unique_ptr<TLameEncoder> encoder_;
    std::vector<short> room_;
    std::array<short, TLameEncoder::MaxPcmBytes / sizeof(short)> block_;
    std::vector<unsigned char> mp3_;
    double bar_ = 0;
};

}  // namespace kestova
