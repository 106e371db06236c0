#include "recorder/Settings.h"

#include "platform/Policies.h"
#include "platform/ProfileFile.h"
#include "recorder/DiagnosticLog.h"
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

const char* const SetByPolicyText = "Set by your administrator";

std::string OriginText(TSettingOrigin origin) {
    switch (origin) {
    case TSettingOrigin::MachinePolicy: return "policy (machine)";
    case TSettingOrigin::UserPolicy: return "policy (user)";
    case TSettingOrigin::UsersFile: return "user's zelt.ini";
    case TSettingOrigin::AdministratorsFile: return "administrator's zelt.ini";
    case TSettingOrigin::Default: break;
    }
    return "default";
}

namespace {

const char kAbsent[] = "\x01";  // no profile value ever holds it

bool ListedBitRate(const std::string& text) { return BitRateFromKbps(StrToIntDef(text, 0)).has_value(); }
bool SizeNotNegative(const std::string& text) { return DecimalNumber(text).value_or(-1) >= 0; }
bool AnyName(const std::string& text) { return !text.empty(); }

}  // namespace

TStoredSettings::TStoredSettings() : own_(DataFolder() + kFileName), programWide_(AppPath() + kFileName) {}

// A policy wins, then the user's own choice; a zelt.ini an administrator put in the program
// folder counts until the user stores a choice of their own elsewhere.
TSetting TStoredSettings::Read(const char* key, bool (*validPolicy)(const std::string&)) const {
    if (const auto policy = Policies()->Read(key)) {
        if (validPolicy(policy->Text))
            return {policy->Text, policy->Scope == TPolicyScope::Machine ? TSettingOrigin::MachinePolicy
                                                                        : TSettingOrigin::UserPolicy};
        LogEvent(std::string("Policy ") + key + " = \"" + policy->Text + "\" is out of range and ignored");
    }
    return ReadFiles(key);
}

TSetting TStoredSettings::ReadFiles(const char* key) const {
    const std::string own = ProfileFile()->ReadString(own_, kSection, key, kAbsent);
    if (own != kAbsent) return {own, TSettingOrigin::UsersFile};
    if (own_ == programWide_) return {};
    const std::string shared = ProfileFile()->ReadString(programWide_, kSection, key, kAbsent);
    if (shared != kAbsent) return {shared, TSettingOrigin::AdministratorsFile};
    return {};
}

void TStoredSettings::Write(const char* key, const std::string& text) const {
    ProfileFile()->WriteString(own_, kSection, key, text);
}

TSetting TStoredSettings::BitRateSetting() const { return Read(kKey, &ListedBitRate); }
TSetting TStoredSettings::MicrophoneSetting() const { return Read(kMicrophoneKey, &AnyName); }
TSetting TStoredSettings::MaxMessageSetting() const { return Read(kMaxMessageKey, &SizeNotNegative); }

void TStoredSettings::StoreBitRateText(const std::string& text) const { Write(kKey, text); }

std::string TStoredSettings::Microphone() const { return MicrophoneSetting().Text; }

void TStoredSettings::StoreMicrophone(const std::string& name) const { Write(kMicrophoneKey, name); }

double TStoredSettings::MaxMessageMB() const {
    const double megabytes = DecimalNumber(MaxMessageSetting().Text).value_or(kDefaultMaxMessageMB);
    return megabytes > 0 ? megabytes : 0;
}

int TStoredSettings::BitRateKbps() const { return StrToIntDef(BitRateSetting().Text, kDefaultBitRateKbps); }

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
