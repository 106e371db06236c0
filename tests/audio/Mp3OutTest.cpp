#include "audio/ACS_LAME.h"
#include "platform/sim/Mp3Scan.h"
#include "FullDisk.h"
#include "PcmSource.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#ifndef _WIN32
#include <mpg123.h>
#endif

using namespace kestova;
using kestova::test::Constant16;
using kestova::test::TFullDisk;
using kestova::test::TPcmSource;
using kestova::test::Tone16;
using kestova::test::TScratchFolder;

namespace {

constexpr int kRate = 22050;
constexpr int kTag = 128;
// Encoder delay and padding, in frames at most: LAME's 576 + 529 plus one padded 576-sample frame.
constexpr int kCodecSlack = 2 * 1152 + 576;

// The sink with the recorder's settings and its two end events counted.
class TRecording {
    // Declared before the sink, so they outlive its worker.
    std::mutex lock_;
    std::condition_variable changed_;
    int done_ = 0;
    int seen_ = 0;
    int seenDone_ = 0;
    std::vector<std::string> errors_;

public:
    TRecording(TACSInput& input, const std::string& fileName) {
        sink.SetInput(&input);
        sink.FileName = fileName;
        sink.BitRate = br64;
        sink.Id3Tag = {"Voice Email", "kestova.example", "Kestova", "2004", "7", "Kestova for Outlook"};
        sink.OnDone = [this](TComponent*) { Note([this] { ++done_; }); };
        sink.OnThreadException = [this](TComponent*, const std::exception& e) {
            Note([this, text = std::string(e.what())] { errors_.push_back(text); });
        };
    }

    // Waits for the next end of a run; true when it came through OnDone.
    bool WaitForEnd() {
        std::unique_lock<std::mutex> guard(lock_);
        const bool ended = changed_.wait_for(guard, std::chrono::seconds(60),
                                             [this] { return done_ + int(errors_.size()) > seen_; });
        ++seen_;
        const bool throughDone = done_ > seenDone_;
        seenDone_ = done_;
        return ended && throughDone;
    }
    std::vector<std::string> Errors() {
        std::lock_guard<std::mutex> guard(lock_);
        return errors_;
    }
    int Done() {
        std::lock_guard<std::mutex> guard(lock_);
        return done_;
    }

    TMP3Out sink;

private:
    // Notifies under the lock: the waiter may destroy the recording as soon as it wakes.
    template <class F>
    void Note(F change) {
        std::lock_guard<std::mutex> guard(lock_);
        change();
        changed_.notify_all();
    }
};

std::vector<unsigned char> FileBytes(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Field(const std::vector<unsigned char>& tag, int from, int length) {
    std::string text(tag.begin() + from, tag.begin() + from + length);
    return text.substr(0, text.find('\0'));
}

// Sample rate and playing time from the frames, and the bit rate the file size gives for it.
void ExpectConstant64k(const std::string& fileName, double expectedSeconds) {
    const TMp3Measure measure = MeasureMp3(fileName);
    ASSERT_GT(measure.frames, 0u);
    EXPECT_NEAR(measure.lengthMs, measure.frames * 576 * 1000.0 / kRate, 1.0);  // 22050 Hz MPEG-2 frames
    EXPECT_NEAR(measure.lengthMs, expectedSeconds * 1000, 1000.0 * kCodecSlack / kRate);
    const auto audioBytes = double(std::filesystem::file_size(fileName) - kTag);
    EXPECT_NEAR(audioBytes * 8 / measure.lengthMs, 64.0, 0.5);  // kbit per second
}

void ExpectTag(const std::string& fileName) {
    const auto bytes = FileBytes(fileName);
    ASSERT_GT(bytes.size(), std::size_t(kTag));
    const std::vector<unsigned char> tag(bytes.end() - kTag, bytes.end());
    EXPECT_EQ(Field(tag, 0, 3), "TAG");
    EXPECT_EQ(Field(tag, 3, 30), "Voice Email");
    EXPECT_EQ(Field(tag, 33, 30), "kestova.example");
    EXPECT_EQ(Field(tag, 63, 30), "Kestova");
    EXPECT_EQ(Field(tag, 93, 4), "2004");
    EXPECT_EQ(Field(tag, 97, 28), "Kestova for Outlook");
    EXPECT_EQ(tag[125], 0);  // ID3v1.1: a zero, then the track number
    EXPECT_EQ(tag[126], 7);
}

#ifndef _WIN32
struct TDecoded {
    long rate = 0;
    int channels = 0;
    int bitrate = 0;
    bool constant = false;
    std::vector<short> samples;  // interleaved
};

TDecoded Decode(const std::string& fileName) {
    TDecoded out;
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, decltype(&mpg123_delete)> decoder(mpg123_new(nullptr, &error), &mpg123_delete);
    mpg123_format_none(decoder.get());
    mpg123_format(decoder.get(), kRate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (!decoder || mpg123_open(decoder.get(), fileName.c_str()) != MPG123_OK) return out;
    int encoding = 0;
    mpg123_getformat(decoder.get(), &out.rate, &out.channels, &encoding);
    std::vector<short> chunk(8192);
    size_t got = 0;
    while (mpg123_read(decoder.get(), chunk.data(), chunk.size() * sizeof(short), &got) == MPG123_OK || got > 0) {
        out.samples.insert(out.samples.end(), chunk.begin(), chunk.begin() + got / sizeof(short));
        if (got == 0) break;
    }
    mpg123_frameinfo info{};
    mpg123_info(decoder.get(), &info);
    out.bitrate = info.bitrate;
    out.constant = info.vbr == MPG123_CBR;
    mpg123_close(decoder.get());
    return out;
}

// Rising zero crossings of one channel over the middle half, as a frequency.
double ToneHertz(const TDecoded& decoded, int channel) {
    const std::size_t frames = decoded.samples.size() / decoded.channels;
    const std::size_t from = frames / 4, to = frames * 3 / 4;
    int rises = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        const short before = decoded.samples[(i - 1) * decoded.channels + channel];
        const short now = decoded.samples[i * decoded.channels + channel];
        rises += before < 0 && now >= 0;
    }
    return rises * double(decoded.rate) / double(to - from);
}

void ExpectTone(const std::string& fileName, int inputFrames) {
    const TDecoded decoded = Decode(fileName);
    ASSERT_EQ(decoded.rate, kRate);
    ASSERT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.bitrate, 64);
    EXPECT_TRUE(decoded.constant);
    EXPECT_NEAR(double(decoded.samples.size() / 2), inputFrames, kCodecSlack);
    EXPECT_NEAR(ToneHertz(decoded, 0), 440.0, 3.0);
    EXPECT_NEAR(ToneHertz(decoded, 1), 440.0, 3.0);
}
#else
void ExpectTone(const std::string&, int) {}  // no decoder in the Windows build; length and rate are checked above
#endif

}  // namespace

TEST(MP3Out, BitRateNamesAreTheirKbps) {
    EXPECT_EQ(BitRateKbps(br8), 8);
    EXPECT_EQ(BitRateKbps(br64), 64);
    EXPECT_EQ(BitRateKbps(br144), 144);
    EXPECT_EQ(BitRateKbps(br320), 320);
    TMP3Out fresh;
    EXPECT_EQ(fresh.BitRate, br128);
    EXPECT_EQ(fresh.FileMode(), foRewrite);
}

TEST(MP3Out, StereoToneEncodesToItsLengthAtConstant64kWithTheTagAtTheEnd) {
    TScratchFolder folder("mp3");
    const int frames = 3 * kRate;  // 16 whole blocks and a short one
    TPcmSource source(16, 2, kRate, Tone16(440, frames, 2, kRate, 16000));
    TRecording recording(source, folder.File("stereo.mp3"));
    recording.sink.Run();
    ASSERT_TRUE(recording.WaitForEnd());
    EXPECT_EQ(source.reads, 17 + 1);  // the last read answers 0: end of stream
    EXPECT_EQ(source.finishes, 1);
    EXPECT_EQ(recording.sink.Status(), osIdle);
    ExpectConstant64k(folder.File("stereo.mp3"), 3.0);
    ExpectTag(folder.File("stereo.mp3"));
    ExpectTone(folder.File("stereo.mp3"), frames);
}

TEST(MP3Out, MonoBlocksCarryTwiceTheFramesAndFeedBothChannels) {
    TScratchFolder folder("mp3");
    const int frames = 2 * kRate;
    TPcmSource source(16, 1, kRate, Tone16(440, frames, 1, kRate, 16000));
    source.KnownSize = false;  // the recorder's case: no sample count for the encoder
    TRecording recording(source, folder.File("mono.mp3"));
    recording.sink.Run();
    ASSERT_TRUE(recording.WaitForEnd());
    EXPECT_EQ(source.reads, 6 + 1);  // 8192 frames per block
    ExpectConstant64k(folder.File("mono.mp3"), 2.0);
    ExpectTone(folder.File("mono.mp3"), frames);
}

TEST(MP3Out, StopRightAfterRunLeavesTheFlushWithTheTag) {
    TScratchFolder folder("mp3");
    TPcmSource source(16, 2, kRate, Tone16(440, 60 * kRate, 2, kRate, 16000));
    source.CloseGate();
    TRecording recording(source, folder.File("stopped.mp3"));
    recording.sink.Run();
    recording.sink.Stop();
    source.OpenGate();
    ASSERT_TRUE(recording.WaitForEnd());
    // The worker may have been inside its first read when Stop came; it reads no more after it.
    ASSERT_LE(source.reads, 1);
    const TMp3Measure measure = MeasureMp3(folder.File("stopped.mp3"));
    EXPECT_LE(measure.lengthMs, 1000.0 * (source.reads * 4096 + kCodecSlack) / kRate);
    ExpectTag(folder.File("stopped.mp3"));
    EXPECT_EQ(recording.Done(), 1);
    EXPECT_EQ(source.finishes, 1);
}

TEST(MP3Out, SecondRunRecreatesTheFile) {
    TScratchFolder folder("mp3");
    TPcmSource longer(16, 2, kRate, Tone16(440, 3 * kRate, 2, kRate, 16000));
    TPcmSource shorter(16, 2, kRate, Tone16(440, kRate, 2, kRate, 16000));
    TRecording recording(longer, folder.File("again.mp3"));
    recording.sink.Run();
    ASSERT_TRUE(recording.WaitForEnd());
    recording.sink.SetInput(&shorter);
    recording.sink.Id3Tag.Title.clear();  // an empty text leaves the field empty
    recording.sink.Run();
    ASSERT_TRUE(recording.WaitForEnd());
    ExpectConstant64k(folder.File("again.mp3"), 1.0);
    const auto bytes = FileBytes(folder.File("again.mp3"));
    EXPECT_EQ(Field({bytes.end() - kTag, bytes.end()}, 3, 30), "");
    EXPECT_EQ(Field({bytes.end() - kTag, bytes.end()}, 63, 30), "Kestova");
    EXPECT_EQ(recording.Done(), 2);
}

namespace {

class TFailingSource : public TPcmSource {
public:
    TFailingSource() : TPcmSource(16, 2, kRate, Constant16(0, 4096, 2)) {}
    void StartInput() override { throw EACSException("no capture device"); }
};

}  // namespace

TEST(MP3Out, FailedPrepareReleasesTheFileForTheNextRun) {
    TScratchFolder folder("mp3");
    const std::string file = folder.File("failed.mp3");
    TFailingSource failing;
    TRecording recording(failing, file);
    recording.sink.Run();
    EXPECT_FALSE(recording.WaitForEnd());
    EXPECT_EQ(recording.Errors(), std::vector<std::string>{"no capture device"});
    EXPECT_EQ(failing.finishes, 0);  // never started, so never finished
    EXPECT_EQ(recording.sink.Status(), osIdle);
    EXPECT_TRUE(std::filesystem::remove(file));  // closed: Windows refuses to delete an open file

    TPcmSource good(16, 2, kRate, Tone16(440, kRate, 2, kRate, 16000));
    recording.sink.SetInput(&good);
    recording.sink.Run();
    EXPECT_TRUE(recording.WaitForEnd());
    ExpectConstant64k(file, 1.0);
}

TEST(MP3Out, MissingFileNameFailsBeforeTheCaptureStarts) {
    TPcmSource source(16, 2, kRate, Constant16(0, 4096, 2));
    TRecording recording(source, "");
    recording.sink.Run();
    EXPECT_FALSE(recording.WaitForEnd());
    EXPECT_EQ(recording.Errors(), std::vector<std::string>{"File name is not assigned."});
    EXPECT_EQ(source.starts, 0);
}

// A full disk ends the run with an error, not OnDone: when a write fails while encoding, and
// when only the close finds that the last bytes (the flush and the tag) did not reach the disk.
TEST(MP3Out, FullDiskEndsTheRunWithAnErrorNotDone) {
    TFullDisk disk;
    if (!disk.Available()) GTEST_SKIP() << "no full disk (the harness mounts a small drive where it may)";
    for (const int frames : {20 * kRate, kRate / 10}) {  // 160 kB of MP3, and less than one stdio buffer
        TPcmSource source(16, 2, kRate, Tone16(440, frames, 2, kRate, 16000));
        TRecording recording(source, disk.File("full.mp3"));
        recording.sink.Run();
        EXPECT_FALSE(recording.WaitForEnd()) << frames;
        ASSERT_EQ(recording.Errors().size(), 1u) << frames;
        EXPECT_NE(recording.Errors()[0].find("No space left"), std::string::npos) << recording.Errors()[0];
        EXPECT_EQ(recording.Done(), 0);
        EXPECT_EQ(source.finishes, 1);  // the capture is still stopped
    }
}
