#pragma once
// The microphone the recorder records from, chosen by name: device numbers change when devices
// are plugged in or out, names do not.
#include <string>
#include <vector>

namespace kestova {

// The first choice: the device Windows records from by default (the wave mapper).
extern const char* const WindowsDefaultMicrophone;  // "Windows default"

// "Windows default", then every capture device by its name, in device order.
std::vector<std::string> MicrophoneChoices();

struct TMicrophone {
    int Device = 0;      // wave-in device number; wavein::MAPPER for Windows' default
    std::string Notice;  // what the status line says when the stored device is missing
};

// The device for a stored name: device 0 when nothing is stored, else the first device of that
// name, else device 0 with a notice (the stored name is kept for when the device returns).
TMicrophone MicrophoneFor(const std::string& stored);
// The same among `choices`, as MicrophoneChoices answered them.
TMicrophone MicrophoneFor(const std::string& stored, const std::vector<std::string>& choices);

}  // namespace kestova
