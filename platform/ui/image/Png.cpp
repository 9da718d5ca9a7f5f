// PNG reading and writing through libpng's simplified interface, which
// reports every failure as a return value.
#include <cstring>
#include <new>
#include <vector>

#include <png.h>

#include "platform/ui/image/Decoders.h"
#include "platform/ui/image/ImageCodec.h"

namespace ob::ui {

std::unique_ptr<Surface> DecodePng(const std::uint8_t* data, std::size_t size) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size))
        return nullptr;
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    if (static_cast<long long>(image.width) * image.height > kMaxPicturePixels) {
        png_image_free(&image);
        return nullptr;
    }
    image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
    std::unique_ptr<Surface> s;
    try {
        s = std::make_unique<Surface>(static_cast<int>(image.width), static_cast<int>(image.height), alpha);
    } catch (const std::bad_alloc&) {
        png_image_free(&image);
        return nullptr;
    }
    if (!png_image_finish_read(&image, nullptr, s->Pixels(), s->StrideBytes(), nullptr)) {
        png_image_free(&image);
        return nullptr;
    }
    if (alpha) {
        // Surfaces hold premultiplied alpha.
        for (int y = 0; y < s->Height(); ++y) {
            std::uint32_t* row = s->Row(y);
            for (int x = 0; x < s->Width(); ++x) {
                const std::uint32_t p = row[x], a = p >> 24;
                if (a == 255)
                    continue;
                auto ch = [&](int shift) { return ((((p >> shift) & 0xFF) * a + 127) / 255) << shift; };
                row[x] = (a << 24) | ch(16) | ch(8) | ch(0);
            }
        }
    }
    return s;
}

bool SavePng(Surface& s, const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(s.Width());
    image.height = static_cast<png_uint_32>(s.Height());
    std::vector<std::uint8_t> rows;
    if (s.HasAlpha()) {
        image.format = PNG_FORMAT_BGRA;
        rows.resize(static_cast<std::size_t>(s.Width()) * s.Height() * 4);
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                const std::uint32_t p = s.At(x, y), a = p >> 24;
                std::uint8_t* o = &rows[(static_cast<std::size_t>(y) * s.Width() + x) * 4];
                auto un = [&](int shift) {
                    return static_cast<std::uint8_t>(
                        a ? std::min<std::uint32_t>(255, (((p >> shift) & 0xFF) * 255 + a / 2) / a) : 0);
                };
                o[0] = un(0);
                o[1] = un(8);
                o[2] = un(16);
                o[3] = static_cast<std::uint8_t>(a);
            }
    } else {
        image.format = PNG_FORMAT_BGR;
        rows.resize(static_cast<std::size_t>(s.Width()) * s.Height() * 3);
        for (int y = 0; y < s.Height(); ++y) {
            const std::uint32_t* in = s.Row(y);
            std::uint8_t* o = &rows[static_cast<std::size_t>(y) * s.Width() * 3];
            for (int x = 0; x < s.Width(); ++x) {
                o[3 * x] = static_cast<std::uint8_t>(in[x]);
                o[3 * x + 1] = static_cast<std::uint8_t>(in[x] >> 8);
                o[3 * x + 2] = static_cast<std::uint8_t>(in[x] >> 16);
            }
        }
    }
    return png_image_write_to_file(&image, path.c_str(), 0, rows.data(), 0, nullptr) != 0;
}

}  // namespace ob::ui
