#include "recorder/Settings.h"

#include "platform/ProfileFile.h"
#include "recorder/Links.h"

#include <cctype>
#include <cstdint>
#include <iterator>

namespace kestova {

const int BitRateChoices[14] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

std::string SettingsFileName() { return AppPath() + "zelt.ini"; }

int StoredBitRateKbps() {
    return StrToIntDef(ProfileFile()->ReadString(SettingsFileName(), "Audio", "BitRate", ""), 64);
}

std::optional<TMP3BitRate> BitRateFromKbps(int kbps) {
    // The listed rates are the first fourteen values of the enumeration, in the same order.
    for (size_t i = 0; i < std::size(BitRateChoices); ++i)
        if (BitRateChoices[i] == kbps) return static_cast<TMP3BitRate>(br8 + static_cast<int>(i));
    return std::nullopt;
}

int StrToIntDef(const std::string& text, int fallback) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
    if (i == text.size()) return fallback;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return fallback;
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t{INT32_MAX} + 1) return fallback;
    }
    value = negative ? -value : value;
    return value < INT32_MIN || value > INT32_MAX ? fallback : static_cast<int>(value);
}

}  // namespace kestova
