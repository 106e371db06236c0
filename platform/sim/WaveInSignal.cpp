#include "platform/sim/WaveInSignal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/sim/WholeFile.h"

namespace kestova {

namespace {

constexpr double kTwoPi = 6.283185307179586;

uint32_t ReadLe(const char* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(p[i]);
    return value;
}

// The "fmt " and "data" chunks of a RIFF WAVE image; false when either is missing.
bool ParseWav(const std::vector<char>& file, TPcmWaveFormat& format, std::vector<char>& data) {
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false, haveData = false;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const char* chunk = file.data() + at;
        const std::size_t length = std::min<std::size_t>(ReadLe(chunk + 4, 4), file.size() - at - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 16) {
            format.FormatTag = static_cast<uint16_t>(ReadLe(chunk + 8, 2));
            format.Channels = static_cast<uint16_t>(ReadLe(chunk + 10, 2));
            format.SamplesPerSec = ReadLe(chunk + 12, 4);
            format.BitsPerSample = static_cast<uint16_t>(ReadLe(chunk + 22, 2));
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data.assign(chunk + 8, chunk + 8 + length);
            haveData = true;
        }
        at += 8 + length + (length & 1);  // chunks are padded to even sizes
    }
    return haveFormat && haveData;
}

bool SameFormat(const TPcmWaveFormat& a, const TPcmWaveFormat& b) {
    return a.FormatTag == b.FormatTag && a.Channels == b.Channels && a.SamplesPerSec == b.SamplesPerSec &&
           a.BitsPerSample == b.BitsPerSample;
}

}  // namespace

std::shared_ptr<const TWavLoop> ReadWavLoop(const std::string& fileName) {
    std::vector<char> file;
    auto wav = std::make_shared<TWavLoop>();
    if (!ReadWholeFile(fileName, file) || !ParseWav(file, wav->Format, wav->Data)) return nullptr;
    return wav;
}

bool TWaveInSignal::Load(const TWaveInSimConfig& config, const TPcmWaveFormat& format,
                         std::shared_ptr<const TWavLoop> wav, TWaveInError& error) {
    kind_ = config.Signal;
    format_ = format;
    frequency_ = config.Frequency;
    amplitude_ = config.Amplitude;
    if (kind_ != TSimSignal::WavFile) return true;
    if (!wav) {
        error = wavein::NODRIVER;
        return false;
    }
    const std::size_t frame = format.BlockAlign;
    loopBytes_ = frame ? wav->Data.size() / frame * frame : 0;
    if (!SameFormat(wav->Format, format) || loopBytes_ == 0) {
        error = wavein::BADFORMAT;
        return false;
    }
    wav_ = std::move(wav);
    return true;
}

void TWaveInSignal::Fill(char* out, std::size_t count, std::uint64_t position) const {
    switch (kind_) {
    case TSimSignal::Sine:
        FillSine(out, count, position);
        return;
    case TSimSignal::Silence:
        FillSilence(out, count);
        return;
    case TSimSignal::WavFile:
        FillLoop(out, count, position);
        return;
    }
}

void TWaveInSignal::FillSilence(char* out, std::size_t count) const {
    std::memset(out, format_.BitsPerSample == 8 ? 0x80 : 0, count);
}

void TWaveInSignal::FillLoop(char* out, std::size_t count, std::uint64_t position) const {
    std::size_t offset = static_cast<std::size_t>(position % loopBytes_);
    while (count > 0) {
        const std::size_t run = std::min(count, loopBytes_ - offset);
        std::memcpy(out, wav_->Data.data() + offset, run);
        out += run;
        count -= run;
        offset = 0;
    }
}

void TWaveInSignal::FillSine(char* out, std::size_t count, std::uint64_t position) const {
    const std::size_t frames = count / format_.BlockAlign;
    const std::uint64_t first = position / format_.BlockAlign;
    for (std::size_t f = 0; f < frames; ++f) {
        // Reduce the frame number first so the phase stays exact over hours of capture.
        const double cycles = std::fmod(static_cast<double>(first + f) * frequency_ / format_.SamplesPerSec, 1.0);
        const double value = amplitude_ * std::sin(kTwoPi * cycles);
        for (int c = 0; c < format_.Channels; ++c) {
            if (format_.BitsPerSample == 8) {
                *out++ = static_cast<char>(128 + std::lround(value * 127));
            } else {
                const auto sample = static_cast<int16_t>(std::lround(value * 32767));
                *out++ = static_cast<char>(sample & 0xFF);
                *out++ = static_cast<char>((sample >> 8) & 0xFF);
            }
        }
    }
}

}  // namespace kestova
