#pragma once
// What the status line of a running recording says beyond its time and size: that the
// microphone hears nothing, how much time the size limit still leaves, and that the limit is
// reached. Fed with every level update on the sink's worker, started from the window's thread.
#include <mutex>

namespace kestova {

// First level values below this count as no sound; see RecordingWatch.cpp for the measurements.
extern const double kSilenceFloor;
// How long the level must stay below the floor before the recorder says so.
constexpr double kSilenceSeconds = 3.0;
// The share of the limit from which the status line shows the time left.
constexpr double kLimitWarningShare = 0.8;
// Stopped at an update, a recording still takes the capture block read after the request
// (0.19 s) and the encoder flushes up to 0.1 s more; the next update comes a block later, so
// the limit stops the recording once this reserve no longer fits under it.
constexpr double kLimitReserveSeconds = 0.5;

class TRecordingWatch {
public:
    enum class TNote { Size, TimeLeft, NoSound, LimitReached };

    // A new recording, limited to `limitBytes` of estimated size (0 = no limit).
    void Start(double limitBytes);
    // `seconds` of audio taken so far, the first level value of the audio since the previous
    // update, and the rate of the size estimate in kbit/s. LimitReached comes while the reserve
    // still fits under the limit.
    TNote Update(double seconds, double level, int kbps);
    // Seconds of audio the limit still leaves at `kbps` after `seconds`; 0 once it is reached.
    double SecondsLeft(double seconds, int kbps) const;

private:
    mutable std::mutex lock_;
    double limitBytes_ = 0;
    double lastSeconds_ = 0;
    double quietSince_ = -1;  // where the audio below the floor began; -1 while there is sound
};

}  // namespace kestova
