#include "recorder/VoiceTag.h"

#include "recorder/Links.h"

namespace kestova {

TId3Tag VoiceMessageTag() { return {"Voice Email", MakerDomain, "Kestova", "2004", "Kestova", "Kestova for Outlook"}; }

}  // namespace kestova
