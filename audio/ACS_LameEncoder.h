#pragma once
// One LAME encoding run with the recorder's settings: constant bit rate at the input's sample
// rate, always two channels (mono blocks go in as two equal channels), and the ID3v1 tag
// written with the last frames. The MP3 sink and the web add-in's core encode through it, so
// both write the same file for the same PCM. The caller holds a use of the library (LoadLame).
#include "audio/lame.h"

#include <memory>
#include <string>

namespace kestova {

struct TId3Tag {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Track;
    std::string Comment;
};

class TLameEncoder {
public:
    // LAME's worst case for 8192 samples per channel: 1.25 x 8192 + 7200.
    static constexpr int Mp3BufferSize = 17440;
    // The most PCM bytes one Encode takes, the MP3 buffer's size for: 4096 frames of 16-bit
    // stereo, 8192 of mono.
    static constexpr int MaxPcmBytes = 16384;

    // `Samples` per channel, 0 when unknown. Raises EACSException when LAME refuses.
    TLameEncoder(int SampleRate, int Kbps, unsigned long Samples);

    // Encodes `Count` bytes of 16-bit PCM of one or two channels; answers how many MP3 bytes
    // it put in Frames().
    int Encode(short* Pcm, int Count, int Channels);
    // The last frames and the tag; answers their bytes in Frames(). Call once, last.
    int Finish(const TId3Tag& Tag);

    const unsigned char* Frames() const { return mp3_.get(); }

private:
    struct TEncoderCloser {
        void operator()(lame_global_struct* Encoder) const noexcept;
    };

    std::unique_ptr<lame_global_struct, TEncoderCloser> encoder_;
    std::unique_ptr<unsigned char[]> mp3_;
};

}  // namespace kestova
