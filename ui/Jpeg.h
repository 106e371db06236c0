#pragma once
// JPEG decoding (libjpeg) into a 24-bit bitmap the Win32 host can draw as it stands.
#include "core/Exception.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestova {

// Top-down rows of blue, green, red bytes, each row padded to a multiple of four bytes:
// the layout of a 24-bit device-independent bitmap.
struct TBitmap24 {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;

    int Stride() const { return (Width * 3 + 3) & ~3; }
};

class EJpegError : public Exception {
public:
    using Exception::Exception;
};

// Raises EJpegError with libjpeg's own text for data it cannot decode.
TBitmap24 DecodeJpeg(const uint8_t* data, size_t size);

}  // namespace kestova
