#include "audio/ACS_LAME.h"

#include <exception>
#include <string>

namespace kestova {

namespace {

constexpr int kKbps[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 192, 224, 256, 320};

// A negative answer of the encoder ends the run as a failure that names the call and its code.
int Checked(int result, const char* call) {
    if (result < 0) throw EACSException(std::string("MP3 encoder error ") + std::to_string(result) + " in " + call);
    return result;
}

}  // namespace

int BitRateKbps(TMP3BitRate BitRate) { return kKbps[BitRate]; }

// Runs every release step even when an earlier one failed, so nothing stays open, and keeps
// the first failure to raise at the end.
class TMP3Out::TReleaseSteps {
public:
    template <class Step>
    void Run(Step step) noexcept {
        try {
            step();
        } catch (...) {
            if (!first_) first_ = std::current_exception();
        }
    }
    void RaiseFirst() const {
        if (first_) std::rethrow_exception(first_);
    }

private:
    std::exception_ptr first_;
};

void TMP3Out::TEncoderCloser::operator()(lame_global_struct* Encoder) const noexcept {
    Lame().lame_close(Encoder);
}

TMP3Out::TMP3Out(TComponent* owner) : TACSFileOut(owner) {
    LoadLame();
    if (!LameLoaded()) {
        EndWorker();  // while this is still a TMP3Out: the worker's last step calls OutputStep
        throw EACSException("lame_enc.dll library could not be loaded.");
    }
}

TMP3Out::~TMP3Out() {
    EndWorker();
    UnloadLame();  // after the worker: no encoder call may run on a released library
}

void TMP3Out::PrepareOutput() {
    if (FileName.empty()) throw EACSException("File name is not assigned.");
    CreateStream();
    bool inputStarted = false;
    try {
        Input()->StartInput();
        inputStarted = true;
        OpenEncoder();
    } catch (...) {
        // Leave nothing open or held, so the next Run can create the file again.
        TReleaseSteps ignored;
        ReleaseRun(ignored, inputStarted);
        throw;
    }
    runOpen_ = true;
}

void TMP3Out::OpenEncoder() {
    const TLameEntryPoints& lame = Lame();
    TACSInput& input = *Input();
    Encoder.reset(lame.lame_init());
    if (!Encoder) throw EACSException("MP3 encoder error: lame_init gave no encoder");
    const int frameBytes = input.GetBitsPerSample() / 8 * input.GetChannels();
    if (input.Size > 0 && frameBytes > 0)
        lame.lame_set_num_samples(Encoder.get(), static_cast<unsigned long>(input.Size / frameBytes));
    lame.lame_set_in_samplerate(Encoder.get(), input.GetSampleRate());
    lame.lame_set_num_channels(Encoder.get(), 2);  // mono blocks are handed over as two equal channels
    lame.lame_set_brate(Encoder.get(), BitRateKbps(BitRate));
    Checked(lame.lame_init_params(Encoder.get()), "lame_init_params");
    Mp3Buffer = std::make_unique<unsigned char[]>(Mp3BufferSize);
}

bool TMP3Out::OutputStep(bool Abort) {
    if (!Active) return true;
    CheckProgress();
    if (Abort) return false;
    const int count = ReadInput(PcmBuffer.data(), PcmBufferSize);
    if (count <= 0) return false;
    const int encoded = Encode(count);
    Stream->Write(Mp3Buffer.get(), std::size_t(encoded));
    return true;
}

int TMP3Out::Encode(int Count) {
    const TLameEntryPoints& lame = Lame();
    if (Input()->GetChannels() == 2)
        return Checked(lame.lame_encode_buffer_interleaved(Encoder.get(), PcmBuffer.data(), Count / 4,
                                                           Mp3Buffer.get(), Mp3BufferSize),
                       "lame_encode_buffer_interleaved");
    return Checked(lame.lame_encode_buffer(Encoder.get(), PcmBuffer.data(), PcmBuffer.data(), Count / 2,
                                           Mp3Buffer.get(), Mp3BufferSize),
                   "lame_encode_buffer");
}

void TMP3Out::FinishOutput() {
    // A failed finish is retried by the abort handling; the first attempt has released all.
    if (!runOpen_) return;
    runOpen_ = false;
    TReleaseSteps steps;
    steps.Run([this] { WriteTagAndFlush(); });
    ReleaseRun(steps, true);
    steps.RaiseFirst();
}

// The tag fields go to the encoder after the last block, so the flush puts the tag at the end.
void TMP3Out::WriteTagAndFlush() {
    const TLameEntryPoints& lame = Lame();
    lame_global_struct* const encoder = Encoder.get();
    lame.id3tag_init(encoder);
    lame.id3tag_set_title(encoder, Id3TagTitle.c_str());
    lame.id3tag_set_artist(encoder, Id3TagArtist.c_str());
    lame.id3tag_set_album(encoder, Id3TagAlbum.c_str());
    lame.id3tag_set_year(encoder, Id3TagYear.c_str());
    lame.id3tag_set_track(encoder, Id3TagTrack.c_str());
    lame.id3tag_set_comment(encoder, Id3TagComment.c_str());
    const int flushed = Checked(lame.lame_encode_flush(encoder, Mp3Buffer.get(), Mp3BufferSize), "lame_encode_flush");
    Stream->Write(Mp3Buffer.get(), std::size_t(flushed));
}

// File first, then the encoder, then the capture, as a stopped recording ends.
void TMP3Out::ReleaseRun(TReleaseSteps& Steps, bool FinishTheInput) {
    Steps.Run([this] { CloseStream(); });
    Encoder.reset();
    Mp3Buffer.reset();
    if (FinishTheInput) {
        Steps.Run([this] {
            if (TACSInput* const input = Input()) input->FinishInput();
        });
    }
}

}  // namespace kestova
