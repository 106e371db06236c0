#include "recorder/Diagnostics.h"

#include "audio/lame.h"
#include "platform/SystemVersion.h"
#include "recorder/DiagnosticLog.h"
#include "recorder/Microphones.h"
#include "recorder/Settings.h"

#include "KestovaVersion.h"

#include <cstdio>
#include <mutex>
#include <vector>

namespace kestova {

namespace {

std::mutex versionLock;
std::string outlookVersion;  // guarded by versionLock

constexpr std::size_t kReportLogLines = 50;

std::string SettingLine(const char* key, const TSetting& setting, const std::string& fallback) {
    return std::string("  ") + key + " = " + setting.TextOr(fallback) + " (" + OriginText(setting.Origin) + ")\n";
}

std::string VersionsWith(const std::string& encoder) {
    std::string outlook;
    {
        const std::lock_guard<std::mutex> guard(versionLock);
        outlook = outlookVersion.empty() ? "not connected" : outlookVersion;
    }
    return std::string("zelt.dll ") + KESTOVA_VERSION_TEXT + " (" + std::to_string(sizeof(void*) * 8) + "-bit); " +
           encoder + "Outlook " + outlook + "; " + SystemVersion();
}

// 10 as "10", 0.5 as "0.5".
std::string NumberText(double number) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%g", number);
    return text;
}

}  // namespace

void SetOutlookVersion(const std::string& version) {
    const std::lock_guard<std::mutex> guard(versionLock);
    outlookVersion = version;
}

std::string StartVersionsText() { return VersionsWith(""); }

std::string VersionsText() { return VersionsWith("LAME " + LameVersion() + "; "); }

// Item 0 of the choices is Windows' default (device -1), item n + 1 is device n.
std::string MicrophonesText(int chosenDevice) { return MicrophonesText(chosenDevice, MicrophoneChoices()); }

std::string MicrophonesText(int chosenDevice, const std::vector<std::string>& choices) {
    std::string text;
    for (std::size_t item = 0; item < choices.size(); ++item) {
        if (!text.empty()) text += ", ";
        text += choices[item];
        if (static_cast<int>(item) - 1 == chosenDevice) text += " (chosen)";
    }
    return text;
}

std::string DiagnosticsReport() {
    const TStoredSettings stored;
    const TSetting microphone = stored.MicrophoneSetting();
    std::string report = "Kestova for Outlook diagnostics\n";
    report += "Versions: " + VersionsText() + "\n";
    report += "Settings in force:\n";
    report += SettingLine("BitRate", stored.BitRateSetting(), std::to_string(kDefaultBitRateKbps));
    report += SettingLine("MaxMessageMB", stored.MaxMessageSetting(), NumberText(kDefaultMaxMessageMB));
    report += SettingLine("Microphone", microphone, "first device");
    const std::vector<std::string> choices = MicrophoneChoices();
    report += "Microphones: " + MicrophonesText(MicrophoneFor(microphone.Text, choices).Device, choices) + "\n";
    report += "Log: " + LogFileName() + "\n";
    report += "Last log lines:\n";
    for (const std::string& line : LastLogLines(kReportLogLines)) report += "  " + line + "\n";
    return report;
}

}  // namespace kestova
