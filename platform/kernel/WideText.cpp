#include "platform/kernel/WideText.h"

#include <cwctype>

namespace ob::kernel {

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t c = 0;
        size_t len = 0;
        if (b < 0x80) {
            c = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            len = 4;
        } else {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        if (i + len > n) {
            out += L'\xFFFD';
            break;
        }
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
            const auto cb = static_cast<unsigned char>(text[i + k]);
            if ((cb & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (cb & 0x3F);
        }
        // Reject overlong forms, surrogates and values past U+10FFFF.
        static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += len;
    }
    return out;
}

wchar_t FoldLetter(wchar_t ch) {
    // The base letter of each character from U+00C0 to U+017F (x and the
    // division sign stand for themselves).
    static constexpr wchar_t kBase[] =
        L"aaaaaaaceeeeiiiidnooooo\u00d7ouuuuytsaaaaaaaceeeeiiiidnooooo\u00f7ouuuuyty"
        L"aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkkllllllllllnnnnnn\u0149nnoooooooo"
        L"rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
    static_assert(sizeof kBase / sizeof kBase[0] == 0x180 - 0xC0 + 1);
    if (ch >= 0xC0 && ch < 0x180)
        return kBase[ch - 0xC0];
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
}

}  // namespace ob::kernel
