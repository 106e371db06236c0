#include "recorder/VoiceTexts.h"

#include <cmath>
#include <cstdint>

namespace kestova {

std::string TimeText(int seconds) { return std::to_string(seconds / 60) + ":" + std::to_string(seconds % 60); }

int SizeEstimate(int seconds, int kbps) {
    // Wraps like the 32-bit product it stands for instead of overflowing.
    const auto product = static_cast<std::uint32_t>(static_cast<std::int64_t>(seconds) * kbps);
    return static_cast<std::int32_t>(product) / 8;
}

std::string RecordingText(int seconds, int kbps) {
    return "Recording...   " + TimeText(seconds) + " Size: " + std::to_string(SizeEstimate(seconds, kbps)) + " k";
}

std::string FinishedText(int seconds, int kbps) {
    return "Stopped. Size: " + std::to_string(SizeEstimate(seconds, kbps)) + " k";
}

std::string TimeLeftText(int seconds, int secondsLeft) {
    return "Recording...   " + TimeText(seconds) + " Left: " + TimeText(secondsLeft);
}

const char* const NoSoundText = "No sound from the microphone. Is it muted?";

std::string LimitReachedText(int seconds, int kbps) {
    return "Size limit reached. Size: " + std::to_string(SizeEstimate(seconds, kbps)) + " k";
}

std::string PlayingText(int seconds) { return "Playing...   " + TimeText(seconds); }

int LevelBar(double level) {
    const double scaled = std::nearbyint(level * 7);  // the default rounding mode: ties to even
    if (!(scaled > 0)) return 0;                      // also NaN
    return scaled >= kBarMax ? kBarMax : static_cast<int>(scaled);
}

int PlayBar(int seconds, int lengthSeconds) {
    if (lengthSeconds <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(seconds) * kBarMax / lengthSeconds);
}

}  // namespace kestova
