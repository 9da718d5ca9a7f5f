// The format decoders behind ImageCodec. Each returns nullptr for anything
// it cannot read completely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/ui/gdi/Surface.h"

namespace ob::ui {

std::unique_ptr<Surface> DecodeJpeg(const std::uint8_t* data, std::size_t size);
std::unique_ptr<Surface> DecodePng(const std::uint8_t* data, std::size_t size);
std::unique_ptr<Surface> DecodeBmp(const std::uint8_t* data, std::size_t size);

// Pictures larger than this many pixels are refused.
constexpr long long kMaxPicturePixels = 1LL << 25;

}  // namespace ob::ui
