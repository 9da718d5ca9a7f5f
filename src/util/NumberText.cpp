#include "util/NumberText.h"

#include <charconv>
#include <climits>
#include <cwctype>
#include <string>

namespace ZEP_Utility {
namespace {

// The leading part of `text` that can be a number, narrowed to ASCII.
std::string NumberPrefix(std::wstring_view text, bool real) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i])))
        ++i;
    std::string out;
    for (; i < text.size() && out.size() < 400; ++i) {
        const wchar_t c = text[i];
        const bool ok = (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' ||
                        (real && (c == L'.' || c == L'e' || c == L'E' || c == L'i' || c == L'n' ||
                                  c == L'f' || c == L'a' || c == L'I' || c == L'N' || c == L'F' ||
                                  c == L'A' || c == L't' || c == L'y' || c == L'T' || c == L'Y'));
        if (!ok)
            break;
        out += static_cast<char>(c);
    }
    return out;
}

}  // namespace

std::optional<double> ScanReal(std::wstring_view text) {
    std::string s = NumberPrefix(text, true);
    bool negative = false;
    size_t start = 0;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        start = 1;
    }
    double value = 0;
    const auto result =
        std::from_chars(s.data() + start, s.data() + s.size(), value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument || result.ptr == s.data() + start)
        return std::nullopt;
    if (result.ec == std::errc::result_out_of_range)
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<int> ScanInteger(std::wstring_view text) {
    const std::string s = NumberPrefix(text, false);
    bool negative = false;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    if (i >= s.size() || s[i] < '0' || s[i] > '9')
        return std::nullopt;
    long long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (s[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace ZEP_Utility
