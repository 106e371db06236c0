#include "ui/win32/Dpi.h"

namespace kestova {

namespace {

template <class Function>
Function User32(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

using TSetThreadDpiAwarenessContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using TGetDpiForWindow = UINT(WINAPI*)(HWND);

// Null before Windows 10 1607.
TSetThreadDpiAwarenessContext SetThreadContext() {
    static const auto set = User32<TSetThreadDpiAwarenessContext>("SetThreadDpiAwarenessContext");
    return set;
}

}  // namespace

TDpiAwareScope::TDpiAwareScope() {
    const auto set = SetThreadContext();
    if (!set) return;
    previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (!previous_) previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);  // before Windows 10 1703
}

TDpiAwareScope::~TDpiAwareScope() {
    if (previous_) SetThreadContext()(previous_);
}

int DpiOf(HWND window) {
    static const auto forWindow = User32<TGetDpiForWindow>("GetDpiForWindow");
    if (window && forWindow)
        if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

TArtwork ArtworkFor(const std::string& name, int dpi) {
    if (dpi * 2 < 96 + 144) return {name, 96};
    if (dpi * 2 < 144 + 192) return {name + "150", 144};
    return {name + "200", 192};
}

}  // namespace kestova
