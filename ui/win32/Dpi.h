#pragma once
// Screens of 150 % and 200 %: the forms are laid out for 96 DPI and every bound, font and
// picture is scaled to the DPI of the window's monitor. The per-monitor functions exist only on
// newer systems, so they are looked up at run time; without them the system DPI applies.
#include <windows.h>

#include <string>

namespace kestova {

// Makes the windows this thread creates meanwhile per-monitor DPI aware, where the system can.
class TDpiAwareScope {
public:
    TDpiAwareScope();
    ~TDpiAwareScope();
    TDpiAwareScope(const TDpiAwareScope&) = delete;
    TDpiAwareScope& operator=(const TDpiAwareScope&) = delete;

private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// The DPI of `window`'s monitor; the system DPI for no window or without per-monitor support.
int DpiOf(HWND window);

// A length of the 96-DPI layout at `dpi`.
inline int Scaled(int length, int dpi) { return MulDiv(length, dpi, 96); }

// The artwork drawn nearest to `dpi`: "NAME" for 96 DPI, "NAME150" for 144, "NAME200" for 192.
struct TArtwork {
    std::string Name;
    int Dpi;
};
TArtwork ArtworkFor(const std::string& name, int dpi);

}  // namespace kestova
