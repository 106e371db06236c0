#include "recorder/RecordingWatch.h"

#include <algorithm>

namespace kestova {

// The first level value is a low-frequency measure (bin 0 of a 64-point spectrum). Measured per
// capture block with bench/level_floor (espeak-ng speech and sox noise, 16-bit stereo 22050 Hz):
// digital silence, as a muted device gives, and white noise up to -40 dBFS read 0.00-0.01;
// pink noise at -40 dBFS 0.02-0.46; speech peaking at -26 dBFS has a median of 0.66 and stays
// below 0.5 for at most 0.56 s; speech peaking at -6 dBFS has a median of 8.65; a 440 Hz tone at
// half scale reads 31.6. At 0.5 the bar shows under 4 of 300, so it looks empty as well.
const double kSilenceFloor = 0.5;

namespace {

// The size estimate of the status line: kbit/s x seconds / 8, in bytes.
double EstimatedBytes(double seconds, int kbps) { return seconds * kbps * 125.0; }

}  // namespace

void TRecordingWatch::Start(double limitBytes) {
    std::lock_guard<std::mutex> guard(lock_);
    limitBytes_ = limitBytes;
    lastSeconds_ = 0;
    quietSince_ = -1;
}

TRecordingWatch::TNote TRecordingWatch::Update(double seconds, double level, int kbps) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!(level >= kSilenceFloor)) {
        if (quietSince_ < 0) quietSince_ = lastSeconds_;
    } else {
        quietSince_ = -1;
    }
    lastSeconds_ = seconds;
    if (limitBytes_ > 0 && EstimatedBytes(seconds + kLimitReserveSeconds, kbps) >= limitBytes_)
        return TNote::LimitReached;
    if (quietSince_ >= 0 && seconds - quietSince_ >= kSilenceSeconds) return TNote::NoSound;
    if (limitBytes_ > 0 && EstimatedBytes(seconds, kbps) >= kLimitWarningShare * limitBytes_) return TNote::TimeLeft;
    return TNote::Size;
}

double TRecordingWatch::SecondsLeft(double seconds, int kbps) const {
    std::lock_guard<std::mutex> guard(lock_);
    if (kbps <= 0) return 0;
    return std::max(0.0, (limitBytes_ - EstimatedBytes(seconds, kbps)) / EstimatedBytes(1, kbps));
}

}  // namespace kestova
