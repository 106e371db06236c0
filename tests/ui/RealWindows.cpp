#include "tests/ui/RealWindows.h"

#include "platform/MainThread.h"
#include "platform/win32/WideText.h"

namespace kestova::test {

bool HasDisplay() {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe) DestroyWindow(probe);
    return probe != nullptr;
}

std::string TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return kestova::win32::Narrow(text);
}

// Wine starts Unix programs too: the screen is read with xwd and cut to the window by convert.
// Wine cannot wait for a Unix process, so the picture is written under a temporary name and
// renamed when complete, and this waits for the final name.
bool SaveScreenshot(HWND window, const std::string& path) {
    RECT r{};
    GetWindowRect(window, &r);
    const std::string crop = std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
                             std::to_string(r.left) + "+" + std::to_string(r.top);
    const std::wstring wide = kestova::win32::Widen(path);
    DeleteFileW(wide.c_str());
    std::wstring command = L"/bin/sh -c \"xwd -root -silent | /usr/bin/convert xwd:- -crop " +
                           kestova::win32::Widen(crop) + L" +repage " + wide + L".tmp.png && mv " + wide +
                           L".tmp.png " + wide + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return MainThread()->ProcessUntil([&] { return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES; },
                                      std::chrono::seconds(60));
}

}  // namespace kestova::test
