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
    // surface has at least one pixel, as a device bitmap does. Throws
    // std::bad_alloc when the pixels cannot be had: there is no surface
    // without pixels.
    Surface(int width, int height, bool alpha = false);
    // Wraps pixels owned elsewhere (the screen, a DIB section's caller-visible
    // rows). strideBytes may be negative for bottom-up rows. Throws
    // std::bad_alloc when the image over them cannot be made.
    Surface(std::uint32_t* pixels, int width, int height, int strideBytes, bool alpha = false);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int StrideBytes() const { return m_stride; }
    bool HasAlpha() const { return m_alpha; }
    std::uint32_t* Row(int y) {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(m_pixels) +
                                                static_cast<std::intptr_t>(y) * m_stride);
    }
    const std::uint32_t* Row(int y) const { return const_cast<Surface*>(this)->Row(y); }
    std::uint32_t* Pixels() { return m_pixels; }
    std::uint32_t& At(int x, int y) { return Row(y)[x]; }
    pixman_image_t* Image() { return m_image; }
    // Makes the surface opaque (used when an alpha picture is flattened).
    void DropAlpha();

private:
    int m_width;
    int m_height;
    int m_stride;
    bool m_alpha;
    bool m_owned;
    std::uint32_t* m_pixels;
    pixman_image_t* m_image;
};

// COLORREF (0x00BBGGRR) to and from surface pixels (0xFFRRGGBB).
constexpr std::uint32_t PixelFromColor(std::uint32_t c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr std::uint32_t ColorFromPixel(std::uint32_t p) {
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

}  // namespace ob::ui
