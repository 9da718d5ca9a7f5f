// Fonts and text: metrics and extents at both densities, DrawText layout,
// prefixes, clipping, and crisp versus smooth rendering.
#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/text/FontEngine.h"

namespace {

HFONT PointFont(int points, bool bold, int dpi) {
    LOGFONT lf{};
    lf.lfHeight = -(points * dpi / 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::wcscpy(lf.lfFaceName, L"Tahoma");
    return CreateFontIndirect(&lf);
}

// A white memory canvas at a screen density, with a Tahoma font selected.
struct TextCanvas {
    HDC dc;
    HBITMAP bmp;
    HFONT font;
    int w, h;
    TextCanvas(int dpi, int points, bool bold = false, int width = 200, int height = 60)
        : w(width), h(height) {
        ob::ui::SetScreenDpi(dpi);
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateCompatibleBitmap(dc, w, h);
        SelectObject(dc, bmp);
        Clear();
        font = PointFont(points, bold, dpi);
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
    }
    ~TextCanvas() {
        DeleteDC(dc);
        DeleteObject(bmp);
        DeleteObject(font);
        ob::ui::SetScreenDpi(96);
    }
    void Clear() {
        RECT r{0, 0, w, h};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    // The box around every non-white pixel (empty when none).
    RECT Ink() const {
        RECT r{w, h, 0, 0};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (GetPixel(dc, x, y) != RGB(255, 255, 255)) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }
    std::set<COLORREF> Colours() const {
        std::set<COLORREF> c;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                c.insert(GetPixel(dc, x, y));
        return c;
    }
};

SIZE Extent(HDC dc, const wchar_t* s) {
    SIZE size{};
    GetTextExtentPoint32(dc, s, static_cast<int>(std::wcslen(s)), &size);
    return size;
}

TEST(Text, EightPointMetricsAndExtentsAtBothDensities) {
    if (ob::ui::TahomaPath(false).empty())
        GTEST_SKIP() << "fonts-wine is not installed";
    SIZE lo, hi;
    TEXTMETRIC tmLo{}, tmHi{};
    {
        TextCanvas c(96, 8);
        ASSERT_TRUE(GetTextMetrics(c.dc, &tmLo));
        lo = Extent(c.dc, L"Aberdeen 10:45 PM");
    }
    {
        TextCanvas c(192, 8);
        ASSERT_TRUE(GetTextMetrics(c.dc, &tmHi));
        hi = Extent(c.dc, L"Aberdeen 10:45 PM");
    }
    // Line height is ascender plus descender: 10 + 2 at 96 dpi, 21 + 4 at 192.
    EXPECT_EQ(tmLo.tmHeight, tmLo.tmAscent + tmLo.tmDescent);
    EXPECT_EQ(tmLo.tmHeight, 12);
    EXPECT_EQ(tmHi.tmHeight, 25);
    EXPECT_EQ(lo.cy, tmLo.tmHeight);
    EXPECT_EQ(hi.cy, tmHi.tmHeight);
    EXPECT_GT(lo.cx, 70);
    EXPECT_LT(lo.cx, 100);
    // The dense screen's text is about twice as wide, hinting aside.
    EXPECT_NEAR(hi.cx, 2 * lo.cx, lo.cx / 6);
    EXPECT_GT(tmLo.tmAveCharWidth, 0);
}

TEST(Text, BoldIsWiderAndExtentsAddUp) {
    TextCanvas regular(96, 9);
    TextCanvas bold(96, 9, true);
    const SIZE r = Extent(regular.dc, L"Sunrise: 6:12 AM");
    const SIZE b = Extent(bold.dc, L"Sunrise: 6:12 AM");
    EXPECT_GT(b.cx, r.cx);
    const SIZE part1 = Extent(regular.dc, L"Sunrise: ");
    const SIZE part2 = Extent(regular.dc, L"6:12 AM");
    EXPECT_EQ(part1.cx + part2.cx, r.cx);
    int fit = 0;
    int dx[16];
    SIZE all;
    EXPECT_TRUE(GetTextExtentExPoint(regular.dc, L"Sunrise: 6:12 AM", 16, part1.cx, &fit, dx, &all));
    EXPECT_EQ(fit, 9);
    EXPECT_EQ(dx[15], all.cx);
    SIZE empty{};
    EXPECT_TRUE(GetTextExtentPoint32(regular.dc, L"", 0, &empty));
    EXPECT_EQ(empty.cx, 0);
}

TEST(Text, CrispAtLowDensitySmoothAtHighDensity) {
    {
        TextCanvas c(96, 8);
        RECT r{0, 0, c.w, c.h};
        DrawText(c.dc, L"Crisp text 0123", -1, &r, DT_NOPREFIX);
        EXPECT_EQ(c.Colours(), (std::set<COLORREF>{RGB(0, 0, 0), RGB(255, 255, 255)}));
    }
    {
        TextCanvas c(192, 8);
        RECT r{0, 0, c.w, c.h};
        DrawText(c.dc, L"Smooth text 0123", -1, &r, DT_NOPREFIX);
        EXPECT_GT(c.Colours().size(), 10u);
    }
}

TEST(Text, DrawTextAlignsHorizontallyAndVertically) {
    TextCanvas c(96, 8);
    RECT box{10, 5, 190, 55};
    const SIZE ext = Extent(c.dc, L"Tokyo");
    DrawText(c.dc, L"Tokyo", -1, &box, DT_RIGHT | DT_SINGLELINE | DT_BOTTOM);
    RECT ink = c.Ink();
    EXPECT_LE(ink.right, 190);
    EXPECT_GE(ink.right, 190 - 2);
    EXPECT_LE(ink.bottom, 55);
    EXPECT_GT(ink.top, 55 - 12 - 1);
    c.Clear();
    DrawText(c.dc, L"Tokyo", -1, &box, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    ink = c.Ink();
    const int mid = (box.left + box.right) / 2;
    EXPECT_NEAR((ink.left + ink.right) / 2, mid, 2);
    EXPECT_NEAR((ink.top + ink.bottom) / 2, (box.top + box.bottom) / 2, 3);
    EXPECT_LT(ink.right - ink.left, ext.cx + 1);
    // Vertical centring is ignored without DT_SINGLELINE, as on the device.
    c.Clear();
    DrawText(c.dc, L"Tokyo", -1, &box, DT_VCENTER);
    EXPECT_LT(c.Ink().top, box.top + 4);
}

TEST(Text, WordBreakAndCalcRectMeasureLines) {
    TextCanvas c(96, 8);
    TEXTMETRIC tm;
    GetTextMetrics(c.dc, &tm);
    const wchar_t* text = L"The quick brown fox jumps over the lazy dog";
    RECT calc{0, 0, 60, 0};
    const int height = DrawText(c.dc, text, -1, &calc, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(height, calc.bottom);
    EXPECT_EQ(height % tm.tmHeight, 0);
    EXPECT_GE(height / tm.tmHeight, 4);
    EXPECT_LE(calc.right, 60);
    RECT one{0, 0, 10, 0};
    DrawText(c.dc, L"Tokyo", -1, &one, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(one.right, Extent(c.dc, L"Tokyo").cx);
    EXPECT_EQ(one.bottom, tm.tmHeight);
    // Hard line breaks count even without word breaking.
    RECT lines{0, 0, 200, 0};
    EXPECT_EQ(DrawText(c.dc, L"a\r\nb\nc", -1, &lines, DT_CALCRECT), 3 * tm.tmHeight);
    // A single word wider than the box is broken rather than lost.
    RECT narrow{0, 0, 20, 0};
    EXPECT_GT(DrawText(c.dc, L"Wolverhampton", -1, &narrow, DT_WORDBREAK | DT_CALCRECT), tm.tmHeight);
    // Drawn text stays inside its box.
    RECT box{0, 0, 60, 30};
    DrawText(c.dc, text, -1, &box, DT_WORDBREAK);
    const RECT ink = c.Ink();
    EXPECT_LE(ink.right, 60);
    EXPECT_LE(ink.bottom, 30);
}

TEST(Text, PrefixesUnderlineUnlessTurnedOff) {
    TextCanvas c(96, 8);
    RECT a{0, 0, 200, 0}, b{0, 0, 200, 0}, d{0, 0, 200, 0};
    DrawText(c.dc, L"&File", -1, &a, DT_CALCRECT | DT_SINGLELINE);
    DrawText(c.dc, L"File", -1, &b, DT_CALCRECT | DT_SINGLELINE);
    DrawText(c.dc, L"&File", -1, &d, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(a.right, b.right);
    EXPECT_GT(d.right, b.right);
    RECT amp{0, 0, 200, 0};
    DrawText(c.dc, L"A && B", -1, &amp, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(amp.right, Extent(c.dc, L"A & B").cx);
    // The underline sits under the marked letter, below the baseline.
    RECT r{0, 0, 200, 30};
    DrawText(c.dc, L"&File", -1, &r, DT_SINGLELINE);
    TEXTMETRIC tm;
    GetTextMetrics(c.dc, &tm);
    bool underline = false;
    for (int y = tm.tmAscent; y < tm.tmHeight; ++y)
        underline |= GetPixel(c.dc, 1, y) == RGB(0, 0, 0);
    EXPECT_TRUE(underline);
}

TEST(Text, EllipsisAndOpaqueBackgrounds) {
    TextCanvas c(96, 8);
    RECT small{0, 0, 50, 20};
    DrawText(c.dc, L"Johannesburg International", -1, &small, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(c.Ink().right, 50);
    c.Clear();
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(0, 0, 255));
    SetTextColor(c.dc, RGB(255, 255, 0));
    EXPECT_TRUE(TextOut(c.dc, 5, 5, L"Hi", 2));
    EXPECT_EQ(GetPixel(c.dc, 5, 5), RGB(0, 0, 255));
    RECT cell{100, 0, 150, 30};
    EXPECT_TRUE(ExtTextOut(c.dc, 100, 0, ETO_OPAQUE | ETO_CLIPPED, &cell, L"", 0, nullptr));
    EXPECT_EQ(GetPixel(c.dc, 149, 29), RGB(0, 0, 255));
    // Baseline alignment puts the ascent above y.
    c.Clear();
    SetBkMode(c.dc, TRANSPARENT);
    SetTextAlign(c.dc, TA_BASELINE);
    TextOut(c.dc, 0, 30, L"H", 1);
    EXPECT_EQ(c.Ink().bottom, 30);
}

TEST(Text, ControlCharactersDrawNothingInSingleLines) {
    TextCanvas c(96, 8);
    RECT r{0, 0, c.w, c.h};
    EXPECT_EQ(Extent(c.dc, L"ab\r\n").cx, Extent(c.dc, L"ab").cx);
    DrawText(c.dc, L"\r\n\t\x01", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(c.Ink().right, 0);
}

TEST(Text, BadCallsFail) {
    TextCanvas c(96, 8);
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(DrawText(nullptr, L"x", 1, &r, 0), 0);
    EXPECT_EQ(DrawText(c.dc, L"x", 1, nullptr, 0), 0);
    EXPECT_FALSE(GetTextExtentPoint32(c.dc, nullptr, 3, nullptr));
    EXPECT_FALSE(GetTextMetrics(nullptr, nullptr));
    EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
    // A font the system lacks still measures and draws (through fontconfig).
    LOGFONT lf{};
    lf.lfHeight = -11;
    std::wcscpy(lf.lfFaceName, L"No Such Face");
    HFONT f = CreateFontIndirect(&lf);
    SelectObject(c.dc, f);
    EXPECT_GT(Extent(c.dc, L"abc").cx, 0);
    SelectObject(c.dc, c.font);
    DeleteObject(f);
}

}  // namespace
