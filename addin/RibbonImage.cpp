#include "addin/RibbonImage.h"

#include <string>

#include "core/Exception.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Handles.h"
#include "ui/win32/Resources.h"

namespace kestova {

namespace {

// The icon's colour bitmap holds its alpha; the picture takes its own copy in a DIB section,
// which is what Office draws with alpha.
TBitmapHandle AlphaBitmapOf(HICON icon, int pixels) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) throw Exception("The artwork has no bitmap, error " + std::to_string(GetLastError()));
    const TBitmapHandle color(info.hbmColor);
    const TBitmapHandle mask(info.hbmMask);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = pixels;
    format.bmiHeader.biHeight = -pixels;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TBitmapHandle picture(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    const HDC screen = GetDC(nullptr);
    const int rows = picture && color ? GetDIBits(screen, color.get(), 0, UINT(pixels), bits, &format, DIB_RGB_COLORS) : 0;
    ReleaseDC(nullptr, screen);
    if (rows != pixels) throw Exception("The artwork cannot be copied, error " + std::to_string(GetLastError()));
    return picture;
}

}  // namespace

int RibbonDpi() { return DpiOf(nullptr); }

com::ComPtr<IPictureDisp> KestovaPicture(int size, int dpi) {
    const int pixels = Scaled(size, dpi);
    // The icon holds drawings from 16 to 96 pixels; the system picks the nearest and scales it.
    const TIcon icon(static_cast<HICON>(
        LoadImageW(ResourceModule(), L"MAINICON", IMAGE_ICON, pixels, pixels, LR_DEFAULTCOLOR)));
    if (!icon) throw Exception("The artwork is missing, error " + std::to_string(GetLastError()));
    TBitmapHandle bitmap = AlphaBitmapOf(icon.get(), pixels);
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap.get();
    com::ComPtr<IPictureDisp> picture;
    const HRESULT hr = OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE,
                                                reinterpret_cast<void**>(picture.GetAddressOf()));
    if (FAILED(hr)) throw Exception("The artwork cannot become a picture, error " + std::to_string(hr));
    bitmap.release();  // the picture owns it now
    return picture;
}

}  // namespace kestova
