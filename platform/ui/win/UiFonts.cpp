#include "platform/ui/win/UiFonts.h"

#include "platform/ui/gdi/SelectGuard.h"
#include "platform/ui/win/GdiBridge.h"
#include "platform/ui/win/WindowSystem.h"

#include <cwchar>
#include <map>
#include <tuple>

namespace ob::ui {

HFONT UiFont(int points, bool bold) {
    static std::map<std::tuple<int, int, bool>, HFONT> cache;
    int dpi = Sys().screenDpi;
    auto key = std::make_tuple(dpi, points, bold);
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    LOGFONTW lf{};
    lf.lfHeight = -(points * dpi + 36) / 72;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::wcsncpy(lf.lfFaceName, L"Tahoma", 31);
    HFONT f = CreateFontIndirect(&lf);
    cache[key] = f;
    return f;
}

SIZE MeasureText(HFONT font, const std::wstring& text) {
    SIZE s{static_cast<LONG>(text.size()) * Scale(6), Scale(13)};
    if (!font)
        return s;
    HDC dc = CreateCompatibleDC(nullptr);
    {
        SelectGuard selectFont(dc, font);
        if (text.empty()) {
            TEXTMETRICW tm{};
            GetTextMetrics(dc, &tm);
            s = SIZE{0, tm.tmHeight};
        } else {
            GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &s);
        }
    }
    DeleteDC(dc);
    return s;
}

int FontHeight(HFONT font) { return MeasureText(font, L"").cy; }

void DrawLine(HDC dc, HFONT font, const std::wstring& text, RECT rect, UINT format, COLORREF colour) {
    SelectGuard selectFont(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_NOPREFIX);
}

std::wstring StripPrefix(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&')
            out += text[i];
        else if (i + 1 < text.size())
            out += text[++i];  // "&&" keeps one '&'
    }
    return out;
}

}  // namespace ob::ui
