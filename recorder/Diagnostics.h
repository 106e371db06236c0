#pragma once
// What a helpdesk asks for first: the versions, the settings in force and where each came
// from, the microphones, and the last lines of the log.
#include <string>
#include <vector>

namespace kestova {

// Told by the add-in once Outlook has connected ("Outlook 16.0.0.0"); any thread.
void SetOutlookVersion(const std::string& version);

// "zelt.dll 2.2.0 (32-bit); Outlook 16.0.0.0; Windows 10.0.19045": what Outlook's start logs,
// without loading the encoder.
std::string StartVersionsText();
// The same with the encoder's: "zelt.dll 2.2.0 (32-bit); LAME 3.100; Outlook 16.0.0.0; ...".
std::string VersionsText();

// The devices by name, the chosen one marked: "Windows default, Line In (chosen)".
std::string MicrophonesText(int chosenDevice);
// The same for `choices`, as MicrophoneChoices answered them.
std::string MicrophonesText(int chosenDevice, const std::vector<std::string>& choices);

// The report "Copy diagnostics" puts on the clipboard.
std::string DiagnosticsReport();

}  // namespace kestova
