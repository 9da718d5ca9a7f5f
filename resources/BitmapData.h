// The program's bitmaps as BMP file bytes, drawn by tools/bitmaps.
#pragma once

#include <cstddef>

namespace OBResources {

struct BitmapData {
    unsigned id;
    const unsigned char* bytes;
    std::size_t size;
};

extern const BitmapData kBitmaps[];
extern const std::size_t kBitmapCount;

}  // namespace OBResources
