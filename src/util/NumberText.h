// Reading numbers out of text the way "%lf" and "%d" scan them (leading
// blanks, a sign, then as many characters as make a number; the rest is
// ignored), but independent of the process locale: forecast files and
// templates always write a full stop as the decimal point.
#pragma once

#include <optional>
#include <string_view>

namespace ZEP_Utility {

std::optional<double> ScanReal(std::wstring_view text);
// Out-of-range values are clamped to the int range.
std::optional<int> ScanInteger(std::wstring_view text);

}  // namespace ZEP_Utility
