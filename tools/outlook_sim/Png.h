#pragma once
// Pictures that add-ins hand to the ribbon, saved as PNG files so they can be looked at.
#include <ocidl.h>

#include <string>

namespace kestova::sim {

// Saves an IPictureDisp holding a bitmap, with its alpha, as a PNG at `path`. Raises
// kestova::Exception when `picture` is no such picture or the file cannot be written.
void SavePictureAsPng(IUnknown* picture, const std::wstring& path);

}  // namespace kestova::sim
