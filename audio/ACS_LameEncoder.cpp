#include "audio/ACS_LameEncoder.h"

#include "audio/ACS_Classes.h"

namespace kestova {

namespace {

// A negative answer of the encoder ends the run as a failure that names the call and its code.
int Checked(int result, const char* call) {
    if (result < 0) throw EACSException(std::string("MP3 encoder error ") + std::to_string(result) + " in " + call);
    return result;
}

}  // namespace

void TLameEncoder::TEncoderCloser::operator()(lame_global_struct* Encoder) const noexcept {
    Lame().lame_close(Encoder);
}

TLameEncoder::TLameEncoder(int SampleRate, int Kbps, unsigned long Samples) {
    const TLameEntryPoints& lame = Lame();
    encoder_.reset(lame.lame_init());
    if (!encoder_) throw EACSException("MP3 encoder error: lame_init gave no encoder");
    if (Samples > 0) lame.lame_set_num_samples(encoder_.get(), Samples);
    lame.lame_set_in_samplerate(encoder_.get(), SampleRate);
    lame.lame_set_num_channels(encoder_.get(), 2);
    lame.lame_set_brate(encoder_.get(), Kbps);
    Checked(lame.lame_init_params(encoder_.get()), "lame_init_params");
    mp3_ = std::make_unique<unsigned char[]>(Mp3BufferSize);
}

int TLameEncoder::Encode(short* Pcm, int Count, int Channels) {
    const TLameEntryPoints& lame = Lame();
    if (Channels == 2)
        return Checked(lame.lame_encode_buffer_interleaved(encoder_.get(), Pcm, Count / 4, mp3_.get(), Mp3BufferSize),
                       "lame_encode_buffer_interleaved");
    return Checked(lame.lame_encode_buffer(encoder_.get(), Pcm, Pcm, Count / 2, mp3_.get(), Mp3BufferSize),
                   "lame_encode_buffer");
}

// The tag fields go to the encoder after the last block, so the flush puts the tag at the end.
int TLameEncoder::Finish(const TId3Tag& Tag) {
    const TLameEntryPoints& lame = Lame();
    lame_global_struct* const encoder = encoder_.get();
    lame.id3tag_init(encoder);
    lame.id3tag_set_title(encoder, Tag.Title.c_str());
    lame.id3tag_set_artist(encoder, Tag.Artist.c_str());
    lame.id3tag_set_album(encoder, Tag.Album.c_str());
    lame.id3tag_set_year(encoder, Tag.Year.c_str());
    lame.id3tag_set_track(encoder, Tag.Track.c_str());
    lame.id3tag_set_comment(encoder, Tag.Comment.c_str());
    return Checked(lame.lame_encode_flush(encoder, mp3_.get(), Mp3BufferSize), "lame_encode_flush");
}

}  // namespace kestova
