#include "recorder/Microphones.h"

#include "platform/WaveIn.h"

#include <algorithm>

namespace kestova {

const char* const WindowsDefaultMicrophone = "Windows default";

std::vector<std::string> MicrophoneChoices() {
    std::vector<std::string> choices{WindowsDefaultMicrophone};
    const std::shared_ptr<IWaveIn> port = WaveIn();
    for (int device = 0; device < port->NumDevs(); ++device) choices.push_back(port->DeviceName(device));
    return choices;
}

TMicrophone MicrophoneFor(const std::string& stored) {
    if (stored.empty()) return {};  // asks no device for its name
    return MicrophoneFor(stored, MicrophoneChoices());
}

TMicrophone MicrophoneFor(const std::string& stored, const std::vector<std::string>& choices) {
    if (stored.empty()) return {};
    if (stored == WindowsDefaultMicrophone) return {wavein::MAPPER, ""};
    const auto found = std::find(choices.begin() + 1, choices.end(), stored);
    if (found == choices.end()) return {0, stored + " not found, using the first microphone"};
    return {static_cast<int>(found - choices.begin()) - 1, ""};
}

}  // namespace kestova
