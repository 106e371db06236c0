#pragma once
// What a screen reader learns about a control's window beyond the system's own proxy: a name
// for a control that shows no text, the role of a status line, and a toolbar's buttons as
// named children. Everything that changes (states, places, the window's text) is asked of the
// window when a screen reader asks, so an object kept after its window is gone stays harmless.
#include <windows.h>

#include <string>
#include <vector>

namespace kestova {

struct TAccessibleDescription {
    std::wstring Name;                  // empty: the proxy's (the window's text)
    long Role = 0;                      // 0: the proxy's
    std::vector<std::wstring> Buttons;  // a toolbar's buttons, by index
};

// The answer to WM_GETOBJECT(flags, OBJID_CLIENT) for `window`; 0 (the system's default
// answer) when the object cannot be made.
LRESULT AccessibleObjectFor(HWND window, WPARAM flags, const TAccessibleDescription& description) noexcept;

}  // namespace kestova
