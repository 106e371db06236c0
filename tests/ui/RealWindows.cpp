#include "tests/ui/RealWindows.h"

#include "platform/MainThread.h"
#include "platform/win32/ComObject.h"
#include "platform/win32/WideText.h"

#include <oleacc.h>

#include <fstream>
#include <memory>

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
                           kestova::win32::Widen(crop) + L" +repage -write " + wide + L".tmp.png ppm:" + wide +
                           L".ppm && mv " + wide + L".tmp.png " + wide + L"\"";
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

TPicture ReadPicture(const std::string& path) {
    std::ifstream file("Z:" + path + ".ppm", std::ios::binary);
    const auto skipComments = [&] {
        while ((file >> std::ws).peek() == '#') file.ignore(1 << 16, '\n');
    };
    std::string magic;
    int maximum = 0;
    TPicture picture;
    file >> magic;
    skipComments();
    file >> picture.Width;
    skipComments();
    file >> picture.Height;
    skipComments();
    file >> maximum;
    file.get();  // the one blank before the pixels
    if (magic != "P6" || maximum != 255 || picture.Width <= 0 || picture.Height <= 0) return {};
    picture.Rgb.resize(static_cast<size_t>(picture.Width) * picture.Height * 3);
    file.read(reinterpret_cast<char*>(picture.Rgb.data()), static_cast<std::streamsize>(picture.Rgb.size()));
    return file ? picture : TPicture{};
}

namespace {

std::deque<std::function<void()>> turns;

// A timer message comes only when no posted message waits, so each turn follows the input
// of the one before.
void CALLBACK NextTurn(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (turns.empty()) return;
    const std::function<void()> step = std::move(turns.front());
    turns.pop_front();
    step();
    if (!turns.empty()) SetTimer(nullptr, 0, 10, &NextTurn);
}

com::ComPtr<IAccessible> ClientObject(HWND window) {
    com::ComPtr<IAccessible> object;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

VARIANT Child(long child) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

long LongAnswer(HWND window, long child, HRESULT (STDMETHODCALLTYPE IAccessible::*query)(VARIANT, VARIANT*)) {
    const auto object = ClientObject(window);
    VARIANT answer;
    VariantInit(&answer);
    if (!object || FAILED((object.Get()->*query)(Child(child), &answer))) return -1;
    const long value = answer.vt == VT_I4 ? answer.lVal : -1;
    VariantClear(&answer);
    return value;
}

// Whether the control's text, laid out by `format` in the control's own font, fits its client area.
bool TextFits(HWND control, UINT format) {
    const std::wstring text = kestova::win32::Widen(TextOf(control));
    RECT client{};
    GetClientRect(control, &client);
    RECT needed = client;
    HDC dc = GetDC(control);
    const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, format | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    return needed.right <= client.right && needed.bottom <= client.bottom;
}

}  // namespace

std::vector<std::string> ClippedTexts(HWND window) {
    std::vector<std::string> clipped;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[32] = {};
        GetClassNameW(child, kind, 32);
        if (TextOf(child).empty() || (lstrcmpiW(kind, L"Static") != 0 && lstrcmpiW(kind, L"Button") != 0)) continue;
        if (!TextFits(child, DT_SINGLELINE)) clipped.push_back(TextOf(child));
    }
    return clipped;
}

bool WrapsInside(HWND label) { return TextFits(label, DT_WORDBREAK); }

void InTurns(std::deque<std::function<void()>> steps) {
    turns = std::move(steps);
    SetTimer(nullptr, 0, 10, &NextTurn);
}

std::string AccessibleName(HWND window, long child) {
    const auto object = ClientObject(window);
    BSTR answer = nullptr;
    const HRESULT result = object ? object->get_accName(Child(child), &answer) : E_FAIL;
    const std::unique_ptr<OLECHAR, decltype(&SysFreeString)> name(answer, &SysFreeString);
    if (result != S_OK || !name) return "(none)";
    return kestova::win32::Narrow(name.get());
}

long AccessibleRole(HWND window, long child) { return LongAnswer(window, child, &IAccessible::get_accRole); }

long AccessibleState(HWND window, long child) { return LongAnswer(window, child, &IAccessible::get_accState); }

long AccessibleChildCount(HWND window) {
    const auto object = ClientObject(window);
    long count = -1;
    if (object) object->get_accChildCount(&count);
    return count;
}

}  // namespace kestova::test
