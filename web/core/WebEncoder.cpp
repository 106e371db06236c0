#include "web/core/WebEncoder.h"

#include "recorder/BitRates.h"
#include "recorder/RecordingFile.h"
#include "recorder/VoiceTag.h"
#include "recorder/VoiceTexts.h"

#include <algorithm>

namespace kestova {

namespace {

int ListedKbps(int Kbps) {
    if (!BitRateFromKbps(Kbps)) throw EACSException("Bit rate " + std::to_string(Kbps) + " kbps is not one of the choices");
    return Kbps;
}

}  // namespace

TWebEncoder::TLameUse::TLameUse() {
    LoadLame();
    if (!LameLoaded()) throw EACSException("The MP3 encoder is not linked in.");
}

TWebEncoder::TLameUse::~TLameUse() { UnloadLame(); }

TWebEncoder::TWebEncoder(int Kbps) {
    level_.SetInput(&source_);
    const int kbps = ListedKbps(Kbps);
    level_.StartInput();
    encoder_ = std::make_unique<TLameEncoder>(TPcmQueue::Rate, kbps, 0);
}

TWebEncoder::~TWebEncoder() {
    encoder_.reset();  // before the library's use ends
    level_.FinishInput();
}

short* TWebEncoder::Room(int Frames) {
    room_.resize(std::size_t(std::max(Frames, 1)) * 2);  // never null: null tells a failure
    return room_.data();
}

double TWebEncoder::Push(int Frames) {
    source_.Append(room_.data(), Frames);
    if (source_.Queued() < TLameEncoder::MaxPcmBytes) return bar_;
    EncodeBlocks(TLameEncoder::MaxPcmBytes);
    // As the recorder window reads its bar once per block it is told of.
    double levels[TSoundIndicator::LevelCount];
    level_.ReadLevels(levels);
    bar_ = double(LevelBar(levels[0])) / kBarMax;
    return bar_;
}

void TWebEncoder::Finish() {
    EncodeBlocks(1);
    const int flushed = encoder_->Finish(VoiceMessageTag());
    mp3_.insert(mp3_.end(), encoder_->Frames(), encoder_->Frames() + flushed);
    if (!mp3_.empty()) mp3_[0] = RecordingMark;
}

// Reads whole blocks through the level stage, as the MP3 sink does, while `Least` bytes wait.
void TWebEncoder::EncodeBlocks(int Least) {
    while (source_.Queued() >= Least) {
        const int count = level_.ReadData(block_.data(), TLameEncoder::MaxPcmBytes);
        if (count <= 0) return;
        const int encoded = encoder_->Encode(block_.data(), count, source_.GetChannels());
        mp3_.insert(mp3_.end(), encoder_->Frames(), encoder_->Frames() + encoded);
    }
}

}  // namespace kestova
