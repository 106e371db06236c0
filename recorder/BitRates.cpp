#include "recorder/BitRates.h"

namespace kestova {

const int BitRateChoices[14] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

std::optional<TMP3BitRate> BitRateFromKbps(int kbps) {
    // The listed rates are the encoder's from br8 to br160.
    for (int rate = br8; rate <= br160; ++rate)
        if (BitRateKbps(static_cast<TMP3BitRate>(rate)) == kbps) return static_cast<TMP3BitRate>(rate);
    return std::nullopt;
}

}  // namespace kestova
