// Pixel checks of the drawing core: fills, lines, ellipses, clipping, blits.
#include <gtest/gtest.h>

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/DeviceContext.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A memory DC over a white bitmap of the given size.
struct Canvas {
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    Canvas(int w, int h) {
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateCompatibleBitmap(dc, w, h);
        old = SelectObject(dc, bmp);
        RECT r{0, 0, w, h};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    int Count(COLORREF c, int w, int h) const {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                n += At(x, y) == c;
        return n;
    }
};

TEST(GdiDraw, FillRectCoversExactlyItsRectangleAndAcceptsSystemColourShorthand) {
    Canvas c(10, 10);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT r{2, 3, 5, 7};
    EXPECT_EQ(FillRect(c.dc, &r, red), 1);
    EXPECT_EQ(c.At(2, 3), kRed);
    EXPECT_EQ(c.At(4, 6), kRed);
    EXPECT_EQ(c.At(5, 6), kWhite);  // right edge excluded
    EXPECT_EQ(c.At(4, 7), kWhite);  // bottom edge excluded
    EXPECT_EQ(c.Count(kRed, 10, 10), 12);
    RECT all{0, 0, 10, 10};
    FillRect(c.dc, &all, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1)));
    EXPECT_EQ(c.At(9, 9), GetSysColor(COLOR_HIGHLIGHT));
    DeleteObject(red);
}

TEST(GdiDraw, LinesLeaveOutTheirEndPointAndPolylineJoinsSegments) {
    Canvas c(10, 10);
    MoveToEx(c.dc, 1, 1, nullptr);
    LineTo(c.dc, 6, 1);
    EXPECT_EQ(c.At(1, 1), kBlack);
    EXPECT_EQ(c.At(5, 1), kBlack);
    EXPECT_EQ(c.At(6, 1), kWhite);
    POINT pts[] = {{1, 3}, {1, 8}, {6, 8}};
    Polyline(c.dc, pts, 3);
    EXPECT_EQ(c.At(1, 7), kBlack);
    EXPECT_EQ(c.At(1, 8), kBlack);  // the corner comes from the second segment
    EXPECT_EQ(c.At(6, 8), kWhite);
    // A diagonal touches one pixel per column.
    Canvas d(10, 10);
    MoveToEx(d.dc, 0, 0, nullptr);
    LineTo(d.dc, 8, 4);
    EXPECT_EQ(d.Count(kBlack, 10, 10), 8);
    HPEN nullPen = static_cast<HPEN>(GetStockObject(NULL_PEN));
    SelectObject(d.dc, nullPen);
    LineTo(d.dc, 0, 9);
    EXPECT_EQ(d.Count(kBlack, 10, 10), 8);
}

TEST(GdiDraw, EllipseDotsHaveTheDeviceShape) {
    // The map's city dot: a 5x5 box gives a round dot with 3-pixel flat sides.
    Canvas c(7, 7);
    HBRUSH red = CreateSolidBrush(kRed);
    SelectObject(c.dc, red);
    Ellipse(c.dc, 1, 1, 6, 6);
    const char* expected[] = {
        ".......", "..###..", ".#rrr#.", ".#rrr#.", ".#rrr#.", "..###..", ".......",
    };
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            const char e = expected[y][x];
            const COLORREF want = e == '#' ? kBlack : e == 'r' ? kRed : kWhite;
            EXPECT_EQ(c.At(x, y), want) << x << "," << y;
        }
    DeleteObject(red);
}

TEST(GdiDraw, RectangleFramesWithPenAndFillsWithBrush) {
    Canvas c(10, 10);
    HBRUSH red = CreateSolidBrush(kRed);
    SelectObject(c.dc, red);
    Rectangle(c.dc, 1, 1, 6, 5);
    EXPECT_EQ(c.At(1, 1), kBlack);
    EXPECT_EQ(c.At(5, 4), kBlack);
    EXPECT_EQ(c.At(6, 4), kWhite);
    EXPECT_EQ(c.At(2, 2), kRed);
    EXPECT_EQ(c.Count(kRed, 10, 10), 3 * 2);
    // A hollow brush leaves the inside alone.
    SelectObject(c.dc, GetStockObject(HOLLOW_BRUSH));
    HPEN thick = CreatePen(PS_INSIDEFRAME, 2, kBlack);
    SelectObject(c.dc, thick);
    Canvas d(10, 10);
    SelectObject(d.dc, GetStockObject(HOLLOW_BRUSH));
    SelectObject(d.dc, thick);
    Rectangle(d.dc, 0, 0, 6, 6);
    EXPECT_EQ(d.Count(kBlack, 10, 10), 36 - 4);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    SelectObject(d.dc, GetStockObject(BLACK_PEN));
    DeleteObject(thick);
    DeleteObject(red);
}

TEST(GdiDraw, PolygonFillsItsInterior) {
    Canvas c(10, 10);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    POINT square[] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
    Polygon(c.dc, square, 4);
    EXPECT_EQ(c.Count(kBlack, 10, 10), 16);
    EXPECT_EQ(c.At(2, 2), kBlack);
    EXPECT_EQ(c.At(6, 6), kWhite);
}

TEST(GdiDraw, ClipRegionsLimitEveryCallAndComposeWithTheVisibleRegion) {
    Canvas c(10, 10);
    HRGN left = CreateRectRgn(0, 0, 5, 10);
    EXPECT_EQ(SelectClipRgn(c.dc, left), SIMPLEREGION);
    DeleteObject(left);  // the DC keeps its own copy
    RECT all{0, 0, 10, 10};
    FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(c.At(4, 0), kBlack);
    EXPECT_EQ(c.At(5, 0), CLR_INVALID);  // outside the clip GetPixel fails, as on the device
    ExcludeClipRect(c.dc, 0, 0, 2, 2);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
    EXPECT_EQ(box.right, 5);
    SelectClipRgn(c.dc, nullptr);
    EXPECT_EQ(c.Count(kBlack, 10, 10), 50);
    IntersectClipRect(c.dc, 6, 6, 8, 8);
    FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    EXPECT_EQ(c.Count(RGB(128, 128, 128), 10, 10), 4);
    // SaveDC/RestoreDC bring the clip back.
    SelectClipRgn(c.dc, nullptr);
    int saved = SaveDC(c.dc);
    IntersectClipRect(c.dc, 0, 0, 1, 1);
    RestoreDC(c.dc, saved);
    EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 10);
}

TEST(GdiDraw, SurfaceDCsMapLogicalOriginAndRespectTheVisibleRegion) {
    // What a window's paint DC looks like: a window at (3,4) on a screen
    // whose update region is a part of the window.
    ob::ui::Surface screen(20, 20);
    HRGN visible = CreateRectRgn(3, 4, 8, 6);
    HDC dc = ob::ui::CreateSurfaceDC(&screen, {3, 4}, visible);
    DeleteObject(visible);
    RECT r{0, 0, 100, 100};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    int white = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            white += (screen.At(x, y) & 0xFFFFFF) == 0xFFFFFF;
    EXPECT_EQ(white, 10);
    EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
    EXPECT_EQ(screen.At(3, 4) & 0xFFFFFF, 0xFFFFFFu);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 5);
    EXPECT_EQ(box.bottom, 2);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiDraw, BitBltCopiesAndScrollsWithinOneSurface) {
    Canvas src(4, 4);
    SetPixel(src.dc, 1, 1, kRed);
    Canvas dst(8, 8);
    EXPECT_TRUE(BitBlt(dst.dc, 3, 2, 4, 4, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(4, 3), kRed);
    EXPECT_EQ(dst.Count(kRed, 8, 8), 1);
    // Scrolling down by one row inside the same DC reads before writing.
    for (int y = 0; y < 8; ++y)
        SetPixel(dst.dc, 0, y, RGB(y * 10, 0, 0));
    EXPECT_TRUE(BitBlt(dst.dc, 0, 1, 8, 7, dst.dc, 0, 0, SRCCOPY));
    for (int y = 1; y < 8; ++y)
        EXPECT_EQ(dst.At(0, y), RGB((y - 1) * 10, 0, 0));
    EXPECT_TRUE(PatBlt(dst.dc, 0, 0, 2, 2, BLACKNESS));
    EXPECT_EQ(dst.At(1, 1), kBlack);
}

TEST(GdiDraw, TransparentBltSkipsMagentaAlsoWhenStretching) {
    Canvas src(2, 2);
    SetPixel(src.dc, 0, 0, kMagenta);
    SetPixel(src.dc, 1, 0, kRed);
    SetPixel(src.dc, 0, 1, kMagenta);
    SetPixel(src.dc, 1, 1, kBlack);
    Canvas dst(4, 4);
    EXPECT_TRUE(TransparentBlt(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, 2, 2, kMagenta));
    EXPECT_EQ(dst.At(0, 0), kWhite);
    EXPECT_EQ(dst.At(1, 0), kRed);
    EXPECT_EQ(dst.At(1, 1), kBlack);
    Canvas big(4, 4);
    EXPECT_TRUE(TransparentBlt(big.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, kMagenta));
    EXPECT_EQ(big.Count(kWhite, 4, 4), 8);
    EXPECT_EQ(big.Count(kRed, 4, 4), 4);
}

TEST(GdiDraw, StretchBltScalesWithFiltering) {
    // Left half black, right half white, 8 wide: shrunk to 4 the halves stay
    // pure and upscaled to 16 the edge is a smooth ramp.
    Canvas src(8, 2);
    RECT left{0, 0, 4, 2};
    FillRect(src.dc, &left, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    Canvas small(4, 1);
    EXPECT_TRUE(StretchBlt(small.dc, 0, 0, 4, 1, src.dc, 0, 0, 8, 2, SRCCOPY));
    EXPECT_EQ(small.At(0, 0), kBlack);
    EXPECT_EQ(small.At(3, 0), kWhite);
    Canvas big(16, 1);
    EXPECT_TRUE(StretchBlt(big.dc, 0, 0, 16, 1, src.dc, 0, 0, 8, 2, SRCCOPY));
    EXPECT_EQ(big.At(0, 0), kBlack);
    EXPECT_EQ(big.At(15, 0), kWhite);
    const BYTE mid = GetRValue(big.At(8, 0));
    EXPECT_GT(mid, 0);
    EXPECT_LT(mid, 255);
    SetStretchBltMode(big.dc, COLORONCOLOR);
    EXPECT_TRUE(StretchBlt(big.dc, 0, 0, 16, 1, src.dc, 0, 0, 8, 2, SRCCOPY));
    EXPECT_EQ(big.Count(kBlack, 16, 1), 8);
}

}  // namespace

namespace {

TEST(GdiDraw, FarOffCoordinatesNeitherOverflowNorTakeLong) {
    // Callers compute rectangles from sizes; broken sizes must not hang or
    // crash the drawing (each call here would loop billions of times or
    // overflow if coordinates were taken as they come).
    Canvas c(20, 20);
    const int big = 2000000000;
    RECT huge{-big, -big, big, big};
    EXPECT_EQ(FillRect(c.dc, &huge, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))), 1);
    EXPECT_EQ(c.At(19, 19), RGB(128, 128, 128));
    EXPECT_TRUE(Ellipse(c.dc, -big, -big, big, big));
    EXPECT_TRUE(RoundRect(c.dc, -big, -big, big, big, 40, 40));
    MoveToEx(c.dc, -big, 10, nullptr);
    EXPECT_TRUE(LineTo(c.dc, big, 10));
    EXPECT_EQ(c.At(10, 10), kBlack);
    POINT tri[] = {{-big, -big}, {big, 0}, {0, big}};
    EXPECT_TRUE(Polygon(c.dc, tri, 3));
    EXPECT_TRUE(Rectangle(c.dc, big, big, -big, -big));
    EXPECT_TRUE(PatBlt(c.dc, 5, 5, big, big, PATCOPY));
    EXPECT_TRUE(PatBlt(c.dc, -big, -big, big, big, DSTINVERT));
    RECT wide{-big, 0, big, 20};
    EXPECT_GT(DrawText(c.dc, L"centred", -1, &wide, DT_CENTER | DT_WORDBREAK), 0);
    EXPECT_GT(DrawText(c.dc, L"right", -1, &huge, DT_RIGHT | DT_VCENTER | DT_SINGLELINE), 0);
    HRGN all = CreateRectRgn(-big, -big, big, big);
    EXPECT_EQ(SelectClipRgn(c.dc, all), SIMPLEREGION);
    SelectClipRgn(c.dc, nullptr);
    DeleteObject(all);
    SetViewportOrgEx(c.dc, big, big, nullptr);
    EXPECT_TRUE(BitBlt(c.dc, big, big, big, big, c.dc, -big, -big, SRCCOPY));
    EXPECT_TRUE(StretchBlt(c.dc, 0, 0, 10, 10, c.dc, 0, 0, 5, 5, SRCCOPY));
    LOGFONT lf{};
    lf.lfHeight = -2147483647 - 1;
    HFONT f = CreateFontIndirect(&lf);
    SelectObject(c.dc, f);
    SIZE s;
    EXPECT_TRUE(GetTextExtentPoint32(c.dc, L"x", 1, &s));
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
    EXPECT_EQ(ImageList_Create(100000, 100000, ILC_MASK, 10, 10), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(c.dc, big, big), nullptr);
}

}  // namespace
