// Conversions between the program's wide strings and UTF-8 on disk and in
// system calls. Invalid UTF-8 becomes U+FFFD; nothing throws.
#pragma once

#include <string>
#include <string_view>

namespace ob::kernel {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace ob::kernel
