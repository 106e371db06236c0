#pragma once
// The Kestova artwork as the ribbon takes a picture: an IPictureDisp holding a 32-bit bitmap
// with alpha, drawn for the screen's DPI.
#include <ocidl.h>
#include <olectl.h>

#include "platform/win32/ComObject.h"

namespace kestova {

// The artwork `size` pixels square at 96 DPI (32 for a large button, 16 for a normal one),
// scaled to `dpi`. Raises kestova::Exception when it cannot be made.
com::ComPtr<IPictureDisp> KestovaPicture(int size, int dpi);

// The DPI the ribbon is drawn at: the system's.
int RibbonDpi();

}  // namespace kestova
