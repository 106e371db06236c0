#include "audio/ACS_LAME.h"

#include <exception>
#include <string>

namespace kestova {

namespace {

constexpr int kKbps[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 192, 224, 256, 320};

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
    TACSInput& input = *Input();
    const int frameBytes = input.GetBitsPerSample() / 8 * input.GetChannels();
    const unsigned long samples = input.Size > 0 && frameBytes > 0 ? static_cast<unsigned long>(input.Size / frameBytes) : 0;
    Encoder = std::make_unique<TLameEncoder>(input.GetSampleRate(), BitRateKbps(BitRate), samples);
}

bool TMP3Out::OutputStep(bool Abort) {
    if (!Active) return true;
    CheckProgress();
    if (Abort) return false;
    const int count = ReadInput(PcmBuffer.data(), PcmBufferSize);
    if (count <= 0) return false;
    const int encoded = Encoder->Encode(PcmBuffer.data(), count, Input()->GetChannels());
    Stream->Write(Encoder->Frames(), std::size_t(encoded));
    return true;
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

void TMP3Out::WriteTagAndFlush() {
    const int flushed = Encoder->Finish(Id3Tag);
    Stream->Write(Encoder->Frames(), std::size_t(flushed));
}

// File first, then the encoder, then the capture, as a stopped recording ends.
void TMP3Out::ReleaseRun(TReleaseSteps& Steps, bool FinishTheInput) {
    Steps.Run([this] { CloseStream(); });
    Encoder.reset();
    if (FinishTheInput) {
        Steps.Run([this] {
            if (TACSInput* const input = Input()) input->FinishInput();
        });
    }
}

}  // namespace kestova
