// A 32-bit drawing surface: the pixels behind a bitmap, the screen or a
// window. Pixels are 0xAARRGGBB words (pixman's x8r8g8b8, or a8r8g8b8 with
// premultiplied alpha for decoded pictures that carry transparency).
#pragma once

#include <cstdint>
#include <pixman.h>

namespace ob::ui {

class Surface {
public:
    // Owns zeroed (black) pixels. A size below 1 is raised to 1 so every
    // surface has at least one pixel, as a device bitmap does.
    Surface(int width, int height, bool alpha = false);
    // Wraps pixels owned elsewhere (the screen, a DIB section's caller-visible
    // rows). strideBytes may be negative for bottom-up rows.
    Surface(std::uint32_t* pixels, int width, int height, int strideBytes, bool alpha = false);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int StrideBytes() const { return stride_; }
    bool HasAlpha() const { return alpha_; }
    std::uint32_t* Row(int y) {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(pixels_) +
                                                static_cast<std::intptr_t>(y) * stride_);
    }
    const std::uint32_t* Row(int y) const { return const_cast<Surface*>(this)->Row(y); }
    std::uint32_t* Pixels() { return pixels_; }
    std::uint32_t& At(int x, int y) { return Row(y)[x]; }
    pixman_image_t* Image() { return image_; }
    // Makes the surface opaque (used when an alpha picture is flattened).
    void DropAlpha();

private:
    int width_;
    int height_;
    int stride_;
    bool alpha_;
    bool owned_;
    std::uint32_t* pixels_;
    pixman_image_t* image_;
};

// COLORREF (0x00BBGGRR) to and from surface pixels (0xFFRRGGBB).
constexpr std::uint32_t PixelFromColor(std::uint32_t c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr std::uint32_t ColorFromPixel(std::uint32_t p) {
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

}  // namespace ob::ui
