#pragma once
// Plays the user at the add-in's own windows. A Click that opens the recorder or the About
// window runs it modally on the host's main thread, so these steps run on a thread of their
// own and reach the windows only through their real controls, by window messages:
//   record <s>            Record on the toolbar, then wait until <s> seconds are shown
//   stop                  Stop, then wait until the final size is shown
//   play <s>              Play, then wait until <s> seconds of playback are shown
//   ok | cancel           the recorder window's OK or Cancel (Yes when it asks to be sure),
//                         then wait until it is gone
//   dismiss "<caption>" ["<text>"]   OK on a window or message box of that caption; with
//                         <text>, its texts must contain it
#include <windows.h>

#include <string>
#include <vector>

namespace kestova::sim {

class TWindowDriver {
public:
    // `owner`: the thread that runs the windows (the host's main thread).
    explicit TWindowDriver(DWORD owner) : owner_(owner) {}

    static bool Drives(const std::string& verb);
    // Answers what it saw; raises kestova::Exception when a window or state never appears.
    std::string Step(const std::vector<std::string>& words);
    // Closes every window the owner thread shows, so a modal Click that went wrong returns.
    void CloseAll();

private:
    HWND WaitForWindow(const std::wstring& caption, const wchar_t* windowClass);
    HWND Recorder();
    std::string PressTool(const std::wstring& text, const std::string& awaited, int seconds);
    void Press(HWND window, const std::wstring& button);
    std::string Close(HWND window, const std::wstring& button);
    std::string Cancel();

    DWORD owner_;
};

}  // namespace kestova::sim
