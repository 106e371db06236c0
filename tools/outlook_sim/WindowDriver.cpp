#include "tools/outlook_sim/WindowDriver.h"

#include <commctrl.h>

#include <chrono>
#include <functional>
#include <thread>

#include "core/Exception.h"
#include "platform/win32/WideText.h"

namespace kestova::sim {

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kFormClass[] = L"KestovaForm";
constexpr wchar_t kRecorderCaption[] = L" Kestova for Outlook";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr auto kPatience = 60s;

// Polls `done` until it holds; false after kPatience.
bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectShown(HWND window, LPARAM list) {
    if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> ShownWindows(DWORD thread) {
    std::vector<HWND> found;
    EnumThreadWindows(thread, &CollectShown, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The texts of a window's labels on one line: what the user reads in it.
std::string TextsOf(HWND window) {
    std::string texts;
    for (HWND child : Children(window)) {
        std::string text = win32::Narrow(TextOf(child));
        if (text.empty() || lstrcmpiW(ClassOf(child).c_str(), L"Static") != 0) continue;
        for (char& c : text)
            if (c == '\n' || c == '\r') c = ' ';
        texts += (texts.empty() ? "" : " | ") + text;
    }
    return texts;
}

// The status line's text when it starts with `prefix`, else empty.
std::string StateText(HWND form, const std::string& prefix) {
    for (HWND child : Children(form)) {
        const std::string text = win32::Narrow(TextOf(child));
        if (text.rfind(prefix, 0) == 0) return text;
    }
    return {};
}

// The seconds of "Recording...   1:5 Size: 520 k" or "Playing...   0:7".
int ShownSeconds(const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return -1;
    const size_t start = text.find_last_of(' ', colon) + 1;
    return std::stoi(text.substr(start, colon - start)) * 60 + std::stoi(text.substr(colon + 1));
}

int Seconds(const std::vector<std::string>& words) {
    if (words.size() < 2) throw Exception(words[0] + ": how many seconds?");
    return std::stoi(words[1]);
}

// Posted, as a click's input is: a modal loop looks at its result only once GetMessage returns,
// which a sent message never makes it do.
void Command(HWND form, int id, HWND control) {
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

}  // namespace

bool TWindowDriver::Drives(const std::string& verb) {
    return verb == "record" || verb == "stop" || verb == "play" || verb == "ok" || verb == "cancel" ||
           verb == "dismiss";
}

std::string TWindowDriver::Step(const std::vector<std::string>& words) {
    const std::string& verb = words.at(0);
    if (verb == "record") return PressTool(L"&Record", "Recording...", Seconds(words));
    if (verb == "stop") return PressTool(L"&Stop", "Stopped. Size: ", 0);
    if (verb == "play") return PressTool(L"&Play", "Playing...", Seconds(words));
    if (verb == "ok") return Close(Recorder(), L"OK");
    if (verb == "cancel") return Cancel();
    if (verb == "dismiss") {
        if (words.size() < 2) throw Exception("dismiss: which window?");
        const std::wstring caption = win32::Widen(words[1]);
        HWND window = WaitForWindow(caption, nullptr);
        const std::string texts = TextsOf(window);
        if (words.size() > 2 && texts.find(words[2]) == std::string::npos)
            throw Exception("\"" + words[2] + "\" not shown; the window says: " + texts);
        Close(window, L"OK");
        return texts;
    }
    throw Exception("not a window step: " + verb);
}

HWND TWindowDriver::WaitForWindow(const std::wstring& caption, const wchar_t* windowClass) {
    HWND found = nullptr;
    const bool shown = WaitUntil([&] {
        for (HWND window : ShownWindows(owner_))
            if (TextOf(window) == caption && (!windowClass || ClassOf(window) == windowClass)) found = window;
        return found != nullptr;
    });
    if (!shown) throw Exception("no window \"" + win32::Narrow(caption) + "\" appeared");
    return found;
}

HWND TWindowDriver::Recorder() {
    return WaitForWindow(kRecorderCaption, kFormClass);
}

// Presses the toolbar button of that text, as a click on it would, and waits until the status
// line shows `awaited` with at least `seconds`.
std::string TWindowDriver::PressTool(const std::wstring& text, const std::string& awaited, int seconds) {
    HWND form = Recorder();
    for (HWND bar : Children(form)) {
        if (ClassOf(bar) != TOOLBARCLASSNAMEW) continue;
        const int count = int(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TBBUTTON button{};
            SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
            wchar_t label[64] = L"";
            SendMessageW(bar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(label));
            if (text != label) continue;
            if (!SendMessageW(bar, TB_ISBUTTONENABLED, button.idCommand, 0))
                throw Exception(win32::Narrow(text) + " is disabled");
            Command(form, button.idCommand, bar);
            std::string state;
            const bool reached = WaitUntil([&] {
                state = StateText(form, awaited);
                return !state.empty() && (seconds == 0 || ShownSeconds(state) >= seconds);
            });
            if (!reached) throw Exception("\"" + awaited + "\" never shown; the window says: " + TextsOf(form));
            return state;
        }
    }
    throw Exception("no toolbar button " + win32::Narrow(text));
}

// Clicks the window's button of that caption once it is enabled.
void TWindowDriver::Press(HWND window, const std::wstring& caption) {
    for (HWND child : Children(window)) {
        if (lstrcmpiW(ClassOf(child).c_str(), L"Button") != 0 || TextOf(child) != caption) continue;
        if (!WaitUntil([&] { return IsWindowEnabled(child) != FALSE; }))
            throw Exception(win32::Narrow(caption) + " stays disabled");
        Command(window, GetDlgCtrlID(child), child);
        return;
    }
    throw Exception("no button " + win32::Narrow(caption));
}

// Presses the button and waits until the window is gone.
std::string TWindowDriver::Close(HWND window, const std::wstring& caption) {
    Press(window, caption);
    if (!WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }))
        throw Exception("the window stays after " + win32::Narrow(caption));
    return {};
}

// Cancel on a recording asks first; the answer is Yes.
std::string TWindowDriver::Cancel() {
    HWND form = Recorder();
    HWND confirm = nullptr;
    Press(form, L"Cancel");
    const bool ended = WaitUntil([&] {
        for (HWND window : ShownWindows(owner_))
            if (ClassOf(window) == kDialogClass && TextOf(window) == L"Confirm") confirm = window;
        return confirm || !IsWindow(form) || !IsWindowVisible(form);
    });
    if (!ended) throw Exception("the window stays after Cancel");
    if (!confirm) return {};
    const std::string question = TextsOf(confirm);
    PostMessageW(confirm, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    if (!WaitUntil([&] { return !IsWindow(form) || !IsWindowVisible(form); }))
        throw Exception("the window stays after Yes to: " + question);
    return "Yes to: " + question;
}

void TWindowDriver::CloseAll() {
    for (HWND window : ShownWindows(owner_)) PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace kestova::sim
