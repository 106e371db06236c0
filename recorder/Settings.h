#pragma once
// The stored settings, in section "Audio" of "zelt.ini" in the data folder (the program folder,
// or the user's own when the program folder is not writable): the MP3 bit rate ("BitRate"), the
// microphone ("Microphone", by name) and the size limit ("MaxMessageMB"). A policy of the same
// name overrides each; one out of range is ignored, and the log says so.
#include "recorder/BitRates.h"

#include <string>

namespace kestova {

// Many mail servers refuse messages above 10 MB.
constexpr double kDefaultMaxMessageMB = 10;
constexpr int kDefaultBitRateKbps = 64;

// Where a setting in force came from.
enum class TSettingOrigin { MachinePolicy, UserPolicy, UsersFile, AdministratorsFile, Default };

struct TSetting {
    std::string Text;
    TSettingOrigin Origin = TSettingOrigin::Default;

    bool FromPolicy() const { return Origin == TSettingOrigin::MachinePolicy || Origin == TSettingOrigin::UserPolicy; }
    // The text in force: `fallback` where the default applies.
    std::string TextOr(const std::string& fallback) const { return Origin == TSettingOrigin::Default ? fallback : Text; }
};

// "policy (machine)", "policy (user)", "user's zelt.ini", "administrator's zelt.ini", "default".
std::string OriginText(TSettingOrigin origin);

// What a control that a policy sets says in its tooltip.
extern const char* const SetByPolicyText;

// The stored settings. Where they are read and written is decided once, when it is made (a
// look at the data folder makes and removes a file), so read several through one.
class TStoredSettings {
public:
    TStoredSettings();

    // The stored number; kDefaultBitRateKbps when the file, the key or a decimal number is absent.
    int BitRateKbps() const;
    // The stored microphone's name; empty when none is stored (record from device 0).
    std::string Microphone() const;
    // The size limit of one recording in MB (1,000,000 bytes, as the status line's k);
    // kDefaultMaxMessageMB when absent or not a number, 0 (no limit) for 0 or less.
    double MaxMessageMB() const;

    // Each setting with its origin; the text is empty where the default applies.
    TSetting BitRateSetting() const;
    TSetting MicrophoneSetting() const;
    TSetting MaxMessageSetting() const;

    // Each raises when the file cannot be written.
    void StoreBitRateText(const std::string& text) const;
    void StoreMicrophone(const std::string& name) const;

private:
    TSetting Read(const char* key, bool (*validPolicy)(const std::string&)) const;
    TSetting ReadFiles(const char* key) const;
    void Write(const char* key, const std::string& text) const;

    const std::string own_;          // the data folder's zelt.ini
    const std::string programWide_;  // the program folder's
};

// Decimal text to a 32-bit number: optional sign and digits only; `fallback` otherwise.
int StrToIntDef(const std::string& text, int fallback);

}  // namespace kestova
