// Windows bitmap files: 1, 4, 8, 16, 24 and 32 bits, bottom-up or top-down,
// uncompressed or with bit fields. Every offset is checked against the data.
#include <cstring>

#include "platform/ui/image/Decoders.h"

namespace ob::ui {
namespace {

std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Extracts a channel under `mask` scaled to 0..255.
std::uint32_t Channel(std::uint32_t v, std::uint32_t mask) {
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const std::uint32_t max = mask >> shift;
    return ((v & mask) >> shift) * 255 / max;
}

}  // namespace

std::unique_ptr<Surface> DecodeBmp(const std::uint8_t* data, std::size_t size) {
    if (size < 14 + 12)
        return nullptr;
    const std::uint32_t bitsOffset = U32(data + 10);
    const std::uint8_t* h = data + 14;
    const std::uint32_t headerSize = U32(h);
    if (headerSize < 12 || 14 + static_cast<std::size_t>(headerSize) > size)
        return nullptr;
    long long width, height;
    int bpp;
    std::uint32_t compression = 0, colorsUsed = 0;
    int paletteEntrySize = 4;
    if (headerSize == 12) {  // the old core header
        width = U16(h + 4);
        height = static_cast<std::int16_t>(U16(h + 6));
        bpp = U16(h + 10);
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40)
            return nullptr;
        width = static_cast<std::int32_t>(U32(h + 4));
        height = static_cast<std::int32_t>(U32(h + 8));
        bpp = U16(h + 14);
        compression = U32(h + 16);
        colorsUsed = U32(h + 32);
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || width * height > kMaxPicturePixels)
        return nullptr;
    std::uint32_t masks[3] = {0, 0, 0};
    if (compression == 3) {  // bit fields: after the header, or inside a V4/V5 header
        const std::size_t at = 14 + (headerSize >= 52 ? 40 : headerSize);
        if (at + 12 > size)
            return nullptr;
        for (int i = 0; i < 3; ++i)
            masks[i] = U32(data + at + 4 * i);
    } else if (compression != 0) {
        return nullptr;  // compressed bitmaps are not used by the program
    } else if (bpp == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bpp == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return nullptr;
    std::uint32_t palette[256] = {};
    if (bpp <= 8) {
        std::uint32_t n = colorsUsed ? colorsUsed : (1u << bpp);
        if (n > 256)
            return nullptr;
        const std::size_t at = 14 + headerSize + (compression == 3 && headerSize < 52 ? 12 : 0);
        if (at + static_cast<std::size_t>(n) * paletteEntrySize > size)
            return nullptr;
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint8_t* e = data + at + i * paletteEntrySize;
            palette[i] = 0xFF000000u | (e[2] << 16) | (e[1] << 8) | e[0];
        }
    }
    const std::size_t stride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
    if (bitsOffset > size || stride * static_cast<std::size_t>(height) > size - bitsOffset)
        return nullptr;
    auto s = std::make_unique<Surface>(static_cast<int>(width), static_cast<int>(height));
    for (long long y = 0; y < height; ++y) {
        const std::uint8_t* row =
            data + bitsOffset + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
        std::uint32_t* out = s->Row(static_cast<int>(y));
        for (long long x = 0; x < width; ++x) {
            std::uint32_t p;
            switch (bpp) {
            case 1: p = palette[(row[x / 8] >> (7 - x % 8)) & 1]; break;
            case 4: p = palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 15]; break;
            case 8: p = palette[row[x]]; break;
            case 24: p = 0xFF000000u | (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x]; break;
            default: {
                const std::uint32_t v = bpp == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
                p = 0xFF000000u | (Channel(v, masks[0]) << 16) | (Channel(v, masks[1]) << 8) |
                    Channel(v, masks[2]);
            }
            }
            out[x] = p;
        }
    }
    return s;
}

}  // namespace ob::ui
