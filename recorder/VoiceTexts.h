#pragma once
// What the recorder window's status line and bar show, as plain functions of the numbers.
#include <string>

namespace kestova {

// "m:s", both without leading zeros: 65 -> "1:5".
std::string TimeText(int seconds);

// Seconds x kbps div 8, in 1000 bytes, 32-bit signed arithmetic.
int SizeEstimate(int seconds, int kbps);

// "Recording...   1:5 Size: 520 k".
std::string RecordingText(int seconds, int kbps);
// "Stopped. Size: 80 k".
std::string FinishedText(int seconds, int kbps);
// "Recording...   8:20 Left: 1:40": the time the size limit still leaves.
std::string TimeLeftText(int seconds, int secondsLeft);
// In place of the recording text while the microphone hears nothing.
extern const char* const NoSoundText;
// "Size limit reached. Size: 10000 k": the finished text of a recording the limit stopped.
std::string LimitReachedText(int seconds, int kbps);
// "Playing...   0:7".
std::string PlayingText(int seconds);

// The bar's full scale.
constexpr int kBarMax = 300;

// The first level value x 7, rounded half to even; 0 ... 300 (full from 300 up).
int LevelBar(double level);
// Seconds x 300 div length; 0 for a recording under one second (length 0).
int PlayBar(int seconds, int lengthSeconds);

}  // namespace kestova
