#pragma once
// Helpers for tests that drive real windows under Wine.
#include <windows.h>

#include <string>

namespace kestova::test {

// False when no top-level window can be made (Wine without a display).
bool HasDisplay();

std::string TextOf(HWND window);

// Saves the screen area of `window` as a PNG at `path` (a Unix path), pumping the main
// thread's messages meanwhile; false when the picture did not appear within a minute.
bool SaveScreenshot(HWND window, const std::string& path);

}  // namespace kestova::test
