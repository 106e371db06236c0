#pragma once
// The bit rates a recording may use, in zelt.dll's Options dialog and in the web add-in.
#include "audio/ACS_LAME.h"

#include <optional>

namespace kestova {

// The bit rates offered, in kbit/s, in the order the Options dialog lists them.
extern const int BitRateChoices[14];

// The encoder's rate for a listed number; nothing for any other number.
std::optional<TMP3BitRate> BitRateFromKbps(int kbps);

}  // namespace kestova
