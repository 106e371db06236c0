#pragma once
// The ID3v1 tag every voice message carries, in zelt.dll and in the web add-in alike.
#include "audio/ACS_LameEncoder.h"

namespace kestova {

TId3Tag VoiceMessageTag();

}  // namespace kestova
