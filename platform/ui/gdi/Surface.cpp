#include "platform/ui/gdi/Surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace ob::ui {

Surface::Surface(int width, int height, bool alpha)
    : m_width(std::max(1, width)),
      m_height(std::max(1, height)),
      m_stride(m_width * 4),
      m_alpha(alpha),
      m_owned(true) {
    m_pixels = static_cast<std::uint32_t*>(std::calloc(static_cast<std::size_t>(m_width) * m_height, 4));
    if (!m_pixels)
        throw std::bad_alloc();
    m_image = pixman_image_create_bits_no_clear(alpha ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8, m_width, m_height,
                                                m_pixels, m_stride);
    if (!m_image) {
        std::free(m_pixels);
        throw std::bad_alloc();
    }
}

Surface::Surface(std::uint32_t* pixels, int width, int height, int strideBytes, bool alpha)
    : m_width(width),
      m_height(height),
      m_stride(strideBytes),
      m_alpha(alpha),
      m_owned(false),
      m_pixels(pixels) {
    m_image = pixman_image_create_bits_no_clear(alpha ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8, m_width, m_height,
                                                m_pixels, m_stride);
    if (!m_image)
        throw std::bad_alloc();
}

Surface::~Surface() {
    if (m_image)
        pixman_image_unref(m_image);
    if (m_owned)
        std::free(m_pixels);
}

void Surface::DropAlpha() {
    if (!m_alpha)
        return;
    m_alpha = false;
    // A new image over the same pixels; kept as it was when none can be had.
    if (pixman_image_t* opaque =
            pixman_image_create_bits_no_clear(PIXMAN_x8r8g8b8, m_width, m_height, m_pixels, m_stride)) {
        pixman_image_unref(m_image);
        m_image = opaque;
    }
}

}  // namespace ob::ui
