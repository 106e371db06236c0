#include "ui/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <string>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace kestova {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return. It jumps back to
// Decompress, so no exception ever crosses the C library's frames.
struct TJpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf back;
    char text[JMSG_LENGTH_MAX];
};

// Warnings (a cut-off file, say) are not printed: the picture is used as far as it decodes.
void Silent(j_common_ptr) {}

void ErrorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
    info->err->format_message(info, errors->text);
    std::longjmp(errors->back, 1);
}

// No object with a destructor lives in this frame, so the long jump skips nothing.
bool Decompress(jpeg_decompress_struct& info, TJpegErrors& errors, const uint8_t* data, size_t size,
                TBitmap24& bitmap) {
    if (setjmp(errors.back)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    bitmap.Width = static_cast<int>(info.output_width);
    bitmap.Height = static_cast<int>(info.output_height);
    bitmap.Pixels.assign(static_cast<size_t>(bitmap.Stride()) * bitmap.Height, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = bitmap.Pixels.data() + static_cast<size_t>(info.output_scanline) * bitmap.Stride();
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

TBitmap24 DecodeJpeg(const uint8_t* data, size_t size) {
    if (size == 0) throw EJpegError("JPEG error: no data");
    jpeg_decompress_struct info{};
    TJpegErrors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = ErrorExit;
    errors.manager.output_message = Silent;
    TBitmap24 bitmap;
    const bool ok = Decompress(info, errors, data, size, bitmap);
    jpeg_destroy_decompress(&info);
    if (!ok) throw EJpegError(std::string("JPEG error: ") + errors.text);
    return bitmap;
}

}  // namespace kestova
