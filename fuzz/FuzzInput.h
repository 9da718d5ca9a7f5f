// Helpers shared by the fuzz targets: the input as parts and as wide text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/WideText.h"

namespace ob::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every NUL byte, so one input can carry several texts.
inline std::vector<std::string_view> Parts(std::string_view input, std::size_t most) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < most) {
        const auto nul = input.find('\0');
        if (nul == std::string_view::npos)
            break;
        parts.push_back(input.substr(0, nul));
        input.remove_prefix(nul + 1);
    }
    parts.push_back(input);
    return parts;
}

inline std::wstring Wide(std::string_view text) { return ob::kernel::FromUtf8(text); }

}  // namespace ob::fuzz
