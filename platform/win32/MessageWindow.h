#pragma once
// A message-only window (HWND_MESSAGE, so no display is needed: under Wine a hidden top-level
// window cannot be created without one) owned by the creating thread. Its procedure finds its
// owner through Owner(); messages arriving before or after the owner is attached get null.
#include <windows.h>

namespace kestova {

class TMessageWindow {
public:
    TMessageWindow(const char* className, WNDPROC proc, void* owner);
    ~TMessageWindow();
    TMessageWindow(const TMessageWindow&) = delete;
    TMessageWindow& operator=(const TMessageWindow&) = delete;

    HWND Handle() const { return window_; }
    static void* Owner(HWND window);

private:
    HWND window_ = nullptr;
};

}  // namespace kestova
