#include "tools/outlook_sim/Png.h"

#include <olectl.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <vector>

#include "core/Exception.h"
#include "platform/win32/ComObject.h"

namespace kestova::sim {

namespace {

uint32_t Crc32(const std::string& bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += char((value >> shift) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& data) {
    PutBigEndian(png, uint32_t(data.size()));
    const std::string typed = type + data;
    png += typed;
    PutBigEndian(png, Crc32(typed));
}

// zlib data of stored (uncompressed) deflate blocks: small pictures need no compression.
std::string Stored(const std::string& raw) {
    std::string out = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0;; at += 65535) {
        const size_t length = std::min<size_t>(65535, raw.size() - at);
        const bool last = at + length == raw.size();
        out += char(last ? 1 : 0);
        out += char(length & 0xFF);
        out += char(length >> 8);
        out += char(~length & 0xFF);
        out += char((~length >> 8) & 0xFF);
        out += raw.substr(at, length);
        if (last) break;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

// Top-down BGRA rows of the bitmap.
std::vector<unsigned char> PixelsOf(HBITMAP bitmap, int& width, int& height) {
    BITMAP shape{};
    if (!GetObjectW(bitmap, sizeof shape, &shape)) throw Exception("the picture holds no bitmap");
    width = shape.bmWidth;
    height = shape.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> pixels(size_t(width) * height * 4);
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) throw Exception("the picture's bitmap cannot be read");
    return pixels;
}

}  // namespace

void SavePictureAsPng(IUnknown* picture, const std::wstring& path) {
    com::ComPtr<IPicture> typed;
    if (!picture || FAILED(picture->QueryInterface(IID_IPicture, reinterpret_cast<void**>(typed.GetAddressOf()))))
        throw Exception("getImage did not answer an IPictureDisp");
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (FAILED(typed->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(typed->get_Handle(&handle)))
        throw Exception("getImage's picture is not a bitmap");
    int width = 0, height = 0;
    const std::vector<unsigned char> bgra = PixelsOf(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), width, height);
    std::string rows;
    for (int y = 0; y < height; ++y) {
        rows += '\0';  // no filter
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &bgra[(size_t(y) * width + x) * 4];
            rows += {char(p[2]), char(p[1]), char(p[0]), char(p[3])};
        }
    }
    std::string header;
    PutBigEndian(header, uint32_t(width));
    PutBigEndian(header, uint32_t(height));
    header += {8, 6, 0, 0, 0};  // 8 bits, RGBA
    std::string png = "\x89PNG\r\n\x1a\n";
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", Stored(rows));
    Chunk(png, "IEND", "");
    std::ofstream file(path.c_str(), std::ios::binary);
    if (!(file << png) || !file.flush()) throw Exception("the PNG file cannot be written");
}

}  // namespace kestova::sim
