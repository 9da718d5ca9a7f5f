// Conversions between the program's wide strings and UTF-8 on disk and in
// system calls. Invalid UTF-8 becomes U+FFFD; nothing throws.
#pragma once

#include <string>
#include <string_view>

namespace ob::kernel {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// A letter as names are sorted: lower case, without its accent ("Ü" and "ü"
// give "u", "ß" gives "s"), for the Latin letters of U+00C0 to U+017F;
// other characters only lose their case.
wchar_t FoldLetter(wchar_t ch);

}  // namespace ob::kernel
