#pragma once
// Helpers for tests that drive real windows under Wine.
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kestova::test {

// False when no top-level window can be made (Wine without a display).
bool HasDisplay();

std::string TextOf(HWND window);

// Saves the screen area of `window` as a PNG at `path` (a Unix path), and its pixels beside it
// for ReadPicture, pumping the main thread's messages meanwhile; false when the picture did not
// appear within a minute.
bool SaveScreenshot(HWND window, const std::string& path);

// The pixels of the screenshot saved at `path`, top-down RGB; empty when there are none.
struct TPicture {
    int Width = 0, Height = 0;
    std::vector<unsigned char> Rgb;
    COLORREF At(int x, int y) const {
        const unsigned char* p = &Rgb[(static_cast<size_t>(y) * Width + x) * 3];
        return RGB(p[0], p[1], p[2]);
    }
};
TPicture ReadPicture(const std::string& path);

// The texts of `window`'s labels and buttons that do not fit their control in its own font.
std::vector<std::string> ClippedTexts(HWND window);

// Whether a word-wrapping label's text, in its own font, fits its client area.
bool WrapsInside(HWND label);

// Runs each step on this thread as a turn of whatever message loop runs then (a modal form's,
// a message box's), after everything the step before posted, keys included, has been handled.
// A step that blocks in a nested loop lets the next steps run inside that loop.
void InTurns(std::deque<std::function<void()>> steps);

// Read back through MSAA, as a screen reader does: the client object of `window`, and its
// simple child `child` (CHILDID_SELF for the window itself). COM must be initialised.
std::string AccessibleName(HWND window, long child = 0);
long AccessibleRole(HWND window, long child = 0);
long AccessibleState(HWND window, long child = 0);
long AccessibleChildCount(HWND window);

}  // namespace kestova::test
