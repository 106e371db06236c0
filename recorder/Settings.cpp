#include "recorder/Settings.h"

#include "platform/ProfileFile.h"
#include "recorder/DataFolder.h"
#include "recorder/Links.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <locale>
#include <optional>
#include <sstream>

namespace kestova {

namespace {
constexpr char kFileName[] = "zelt.ini";
constexpr char kSection[] = "Audio";
constexpr char kKey[] = "BitRate";
constexpr char kMicrophoneKey[] = "Microphone";
constexpr char kMaxMessageKey[] = "MaxMessageMB";
}  // namespace

namespace {
// A plain decimal number ("10", "0.5"); nothing for anything else.
std::optional<double> DecimalNumber(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0;
    if (!(in >> value) || !in.eof() || !std::isfinite(value)) return std::nullopt;
    return value;
}
}  // namespace

TStoredSettings::TStoredSettings() : own_(DataFolder() + kFileName), programWide_(AppPath() + kFileName) {}

// A zelt.ini an administrator put in the program folder counts until the user stores a
// choice of their own elsewhere.
std::string TStoredSettings::Read(const char* key, const std::string& fallback) const {
    const std::string shared =
        own_ == programWide_ ? fallback : ProfileFile()->ReadString(programWide_, kSection, key, fallback);
    return ProfileFile()->ReadString(own_, kSection, key, shared);
}

void TStoredSettings::Write(const char* key, const std::string& text) const {
    ProfileFile()->WriteString(own_, kSection, key, text);
}

std::string TStoredSettings::BitRateText(const std::string& fallback) const { return Read(kKey, fallback); }

void TStoredSettings::StoreBitRateText(const std::string& text) const { Write(kKey, text); }

std::string TStoredSettings::Microphone() const { return Read(kMicrophoneKey, ""); }

void TStoredSettings::StoreMicrophone(const std::string& name) const { Write(kMicrophoneKey, name); }

double TStoredSettings::MaxMessageMB() const {
    const double megabytes = DecimalNumber(Read(kMaxMessageKey, "")).value_or(kDefaultMaxMessageMB);
    return megabytes > 0 ? megabytes : 0;
}

int TStoredSettings::BitRateKbps() const { return StrToIntDef(BitRateText(""), 64); }

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
