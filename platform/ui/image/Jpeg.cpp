// JPEG through libjpeg-turbo. Its default error handler ends the process, so
// errors jump back here instead, and warnings (a truncated file, corrupt
// data) count as failure: half a picture is not a picture.
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>

#include "platform/ui/image/Decoders.h"

namespace ob::ui {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0)
        std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void Silent(j_common_ptr) {}

}  // namespace

std::unique_ptr<Surface> DecodeJpeg(const std::uint8_t* data, std::size_t size) {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    err.pub.output_message = Silent;
    // Everything the jump may skip over lives in these, set before setjmp.
    std::unique_ptr<Surface>* volatile result = new std::unique_ptr<Surface>;
    JSAMPLE* volatile row = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        delete[] row;
        delete result;
        return nullptr;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        OnError(reinterpret_cast<j_common_ptr>(&cinfo));
    cinfo.out_color_space = JCS_RGB;
    if (static_cast<long long>(cinfo.image_width) * cinfo.image_height > kMaxPicturePixels)
        OnError(reinterpret_cast<j_common_ptr>(&cinfo));
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
    bool noMemory = false;
    try {
        *result = std::make_unique<Surface>(w, h);
        row = new JSAMPLE[static_cast<std::size_t>(w) * 3];
    } catch (const std::bad_alloc&) {
        noMemory = true;
    }
    if (noMemory)
        OnError(reinterpret_cast<j_common_ptr>(&cinfo));  // cleans up like a broken file
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPLE* rows[1] = {row};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1)
            OnError(reinterpret_cast<j_common_ptr>(&cinfo));
        std::uint32_t* out = (*result)->Row(y);
        for (int x = 0; x < w; ++x)
            out[x] = 0xFF000000u | (static_cast<std::uint32_t>(row[3 * x]) << 16) |
                     (static_cast<std::uint32_t>(row[3 * x + 1]) << 8) | row[3 * x + 2];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    delete[] row;
    std::unique_ptr<Surface> out = std::move(*result);
    delete result;
    return out;
}

}  // namespace ob::ui
