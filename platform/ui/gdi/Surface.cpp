#include "platform/ui/gdi/Surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ob::ui {

Surface::Surface(int width, int height, bool alpha)
    : width_(std::max(1, width)), height_(std::max(1, height)), stride_(width_ * 4),
      alpha_(alpha), owned_(true) {
    pixels_ = static_cast<std::uint32_t*>(std::calloc(static_cast<std::size_t>(width_) * height_, 4));
    image_ = pixman_image_create_bits_no_clear(alpha ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8, width_,
                                               height_, pixels_, stride_);
}

Surface::Surface(std::uint32_t* pixels, int width, int height, int strideBytes, bool alpha)
    : width_(width), height_(height), stride_(strideBytes), alpha_(alpha), owned_(false),
      pixels_(pixels) {
    image_ = pixman_image_create_bits_no_clear(alpha ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8, width_,
                                               height_, pixels_, stride_);
}

Surface::~Surface() {
    if (image_) pixman_image_unref(image_);
    if (owned_) std::free(pixels_);
}

void Surface::DropAlpha() {
    if (!alpha_) return;
    alpha_ = false;
    pixman_image_unref(image_);
    image_ = pixman_image_create_bits_no_clear(PIXMAN_x8r8g8b8, width_, height_, pixels_, stride_);
}

}  // namespace ob::ui
