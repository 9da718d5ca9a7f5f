// Handles, objects, regions, DIB sections and image lists.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/DeviceContext.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(GdiObjects, BadAndStaleHandlesFailWithoutHarm) {
    HBRUSH brush = CreateSolidBrush(kRed);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, brush), nullptr);
    RECT r{0, 0, 1, 1};
    EXPECT_EQ(FillRect(dc, &r, brush), 0);
    EXPECT_EQ(GetObjectType(brush), 0u);
    auto* bogus = reinterpret_cast<HDC>(static_cast<std::uintptr_t>(0x1234));
    EXPECT_FALSE(DeleteDC(bogus));
    EXPECT_EQ(GetPixel(bogus, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetTextColor(bogus, 0), CLR_INVALID);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, bogus, 0, 0, SRCCOPY));
    EXPECT_EQ(CreateCompatibleDC(bogus), nullptr);
    EXPECT_EQ(GetDeviceCaps(bogus, LOGPIXELSX), 0);
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    // Stock objects survive any attempt to delete them.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
    EXPECT_EQ(GetStockObject(999), nullptr);
}

// A deleted DC or destroyed image list keeps failing even after new ones
// are made (which may well reuse the freed memory), and a handle of one kind
// is never mistaken for another.
TEST(GdiObjects, StaleDeviceContextAndImageListHandlesStayInvalid) {
    HDC stale = CreateCompatibleDC(nullptr);
    ASSERT_NE(stale, nullptr);
    EXPECT_TRUE(DeleteDC(stale));
    std::vector<HDC> fresh;
    for (int i = 0; i < 16; ++i) {
        fresh.push_back(CreateCompatibleDC(nullptr));
        ASSERT_NE(fresh.back(), stale);
    }
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(stale)), 0u);
    EXPECT_EQ(SetTextColor(stale, kRed), CLR_INVALID);
    EXPECT_EQ(SelectObject(stale, GetStockObject(BLACK_BRUSH)), nullptr);
    EXPECT_FALSE(DeleteDC(stale));
    for (HDC dc : fresh) {
        EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(dc)), static_cast<DWORD>(OBJ_MEMDC));
        EXPECT_EQ(GetTextColor(dc), 0u);  // untouched by the calls on the stale handle
        EXPECT_TRUE(DeleteDC(dc));
    }

    HIMAGELIST staleList = ImageList_Create(4, 4, ILC_COLOR24, 1, 1);
    ASSERT_NE(staleList, nullptr);
    EXPECT_TRUE(ImageList_Destroy(staleList));
    std::vector<HIMAGELIST> lists;
    for (int i = 0; i < 16; ++i) {
        lists.push_back(ImageList_Create(4, 4, ILC_COLOR24, 1, 1));
        ASSERT_NE(lists.back(), staleList);
    }
    EXPECT_EQ(ImageList_SetBkColor(staleList, kRed), CLR_NONE);
    EXPECT_FALSE(ImageList_Destroy(staleList));
    for (HIMAGELIST l : lists) {
        EXPECT_EQ(ImageList_GetBkColor(l), CLR_NONE);
        EXPECT_TRUE(ImageList_Destroy(l));
    }
    // Handles of different kinds never coincide.
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(kRed);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(dc)), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(brush)));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(dc)));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, ObjectsDeletedWhileSelectedStayUsableUntilDeselected) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 4, 4);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ oldBrush = SelectObject(dc, red);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_TRUE(PatBlt(dc, 0, 0, 4, 4, PATCOPY));
    EXPECT_EQ(GetPixel(dc, 3, 3), kRed);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldBmp);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, ABitmapLivesInOneMemoryDCAtATime) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(a, 3, 2);
    HGDIOBJ old = SelectObject(a, bmp);
    EXPECT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(b, bmp), nullptr);
    BITMAP bm{};
    EXPECT_EQ(GetObject(bmp, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(GetCurrentObject(a, OBJ_BITMAP), bmp);
    SelectObject(a, old);
    EXPECT_NE(SelectObject(b, bmp), nullptr);
    DeleteDC(a);
    DeleteDC(b);
    DeleteObject(bmp);
}

TEST(GdiObjects, DibSectionBitsAreThePixelsInTheirRowOrder) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 2;
    bi.bmiHeader.biHeight = 2;  // bottom-up
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP up = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(up, nullptr);
    ASSERT_NE(bits, nullptr);
    static_cast<std::uint32_t*>(bits)[0] = 0x00FF0000;  // first row in memory = bottom row
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, up);
    EXPECT_EQ(GetPixel(dc, 0, 1), kRed);
    SetPixel(dc, 1, 0, RGB(0, 0, 255));
    EXPECT_EQ(static_cast<std::uint32_t*>(bits)[3] & 0xFFFFFF, 0x0000FFu);
    bi.bmiHeader.biHeight = -2;
    HBITMAP down = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    static_cast<std::uint32_t*>(bits)[0] = 0x00FF0000;
    SelectObject(dc, down);
    EXPECT_EQ(GetPixel(dc, 0, 0), kRed);
    bi.bmiHeader.biBitCount = 7;
    EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    DeleteDC(dc);
    DeleteObject(up);
    DeleteObject(down);
}

TEST(GdiObjects, RegionsCombineAndAnswerQueries) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), SIMPLEREGION);
    RECT box;
    GetRgnBox(r, &box);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(CombineRgn(r, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(r, 14, 14));
    EXPECT_FALSE(PtInRegion(r, 14, 2));
    EXPECT_EQ(CombineRgn(r, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(r, 7, 7));
    EXPECT_EQ(CombineRgn(r, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(r, 7, 7));
    EXPECT_TRUE(PtInRegion(r, 12, 12));
    EXPECT_EQ(CombineRgn(r, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(OffsetRgn(a, 3, 4), SIMPLEREGION);
    RECT probe{12, 13, 14, 15};
    EXPECT_TRUE(RectInRegion(a, &probe));
    EXPECT_EQ(CombineRgn(r, a, nullptr, RGN_AND), ERROR);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, a, nullptr, RGN_COPY);
    EXPECT_TRUE(EqualRgn(copy, a));
    EXPECT_EQ(ob::ui::RegionRects(a).size(), 1u);
    for (HRGN h : {a, b, r, copy})
        DeleteObject(h);
}

TEST(GdiObjects, RectangleHelpersTreatEdgesAsExclusive) {
    RECT a{0, 0, 10, 10}, b{10, 0, 20, 10}, out;
    EXPECT_FALSE(IntersectRect(&out, &a, &b));
    EXPECT_TRUE(IsRectEmpty(&out));
    EXPECT_TRUE(PtInRect(&a, {9, 9}));
    EXPECT_FALSE(PtInRect(&a, {10, 5}));
    EXPECT_TRUE(UnionRect(&out, &a, &b));
    EXPECT_EQ(out.right, 20);
    RECT top{0, 0, 10, 4};
    EXPECT_TRUE(SubtractRect(&out, &a, &top));
    EXPECT_EQ(out.top, 4);
    OffsetRect(&out, 1, 2);
    EXPECT_EQ(out.left, 1);
    EXPECT_EQ(out.bottom, 12);
    InflateRect(&out, 1, 1);
    EXPECT_EQ(out.left, 0);
}

TEST(GdiObjects, ImageListsCutStripsAndDrawMagentaTransparently) {
    // A strip of two 2x2 pictures: the first red with one magenta pixel.
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(dc, 5, 2);  // the odd column is ignored
    HGDIOBJ old = SelectObject(dc, strip);
    RECT all{0, 0, 5, 2};
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(dc, &all, red);
    SetPixel(dc, 0, 0, kMagenta);
    SetPixel(dc, 2, 0, RGB(0, 0, 255));
    SelectObject(dc, old);
    HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR24 | ILC_MASK, 1, 10);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_AddMasked(list, strip, kMagenta), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    EXPECT_EQ(ImageList_AddMasked(list, strip, kMagenta), 2);  // grows past the initial size
    EXPECT_EQ(ImageList_GetImageCount(list), 4);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 2);
    EXPECT_EQ(cy, 2);

    HBITMAP target = CreateCompatibleBitmap(dc, 4, 2);
    SelectObject(dc, target);
    RECT t{0, 0, 4, 2};
    FillRect(dc, &t, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(ImageList_Draw(list, 0, dc, 0, 0, ILD_TRANSPARENT));
    EXPECT_TRUE(ImageList_Draw(list, 1, dc, 2, 0, ILD_NORMAL));
    EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(dc, 1, 0), kRed);
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(0, 0, 255));
    EXPECT_FALSE(ImageList_Draw(list, 4, dc, 0, 0, ILD_NORMAL));
    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Destroy(list));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteObject(strip);
    DeleteObject(red);
    DeleteDC(dc);
}

// A growth step far beyond any real need (or int's range) neither overflows
// nor asks for gigabytes; the list grows only as far as it may.
TEST(GdiObjects, ImageListGrowthStopsAtItsLimit) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(dc, 16, 16);
    for (int grow : {1 << 30, 0x7FFFFFFF}) {
        HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 1, grow);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(ImageList_Add(list, picture, nullptr), 0);
        EXPECT_EQ(ImageList_Add(list, picture, nullptr), 1);
        EXPECT_EQ(ImageList_Add(list, picture, nullptr), 2);
        EXPECT_EQ(ImageList_GetImageCount(list), 3);
        EXPECT_TRUE(ImageList_Destroy(list));
    }
    DeleteObject(picture);
    DeleteDC(dc);
}

TEST(GdiObjects, DensityAndSystemColours) {
    ob::ui::SetScreenDpi(192);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 192);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 192);
    ob::ui::SetScreenDpi(96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    DeleteDC(dc);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
    EXPECT_EQ(GetSysColor(COLOR_INFOBK | SYS_COLOR_INDEX_FLAG), GetSysColor(COLOR_INFOBK));
    LOGBRUSH lb{};
    EXPECT_EQ(GetObject(GetSysColorBrush(COLOR_HIGHLIGHT), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetSysColorBrush(COLOR_STATIC), GetSysColorBrush(COLOR_STATIC));
    EXPECT_EQ(GetSysColorBrush(200), nullptr);
}

}  // namespace

namespace {

TEST(GdiObjects, RestoreDCPutsBackObjectsColoursAndOrigin) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 4, 4);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const int level = SaveDC(dc);
    EXPECT_EQ(level, 1);
    SelectObject(dc, red);
    SetTextColor(dc, RGB(1, 2, 3));
    SetViewportOrgEx(dc, 2, 2, nullptr);
    EXPECT_EQ(SaveDC(dc), 2);
    SetBkMode(dc, TRANSPARENT);
    // The red brush is deleted while a saved state and the DC still hold it.
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(PatBlt(dc, 0, 0, 1, 1, PATCOPY));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));  // at (2,2) of the bitmap
    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_TRUE(RestoreDC(dc, level));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    POINT org{};
    GetViewportOrgEx(dc, &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 0, 0));
    EXPECT_FALSE(RestoreDC(dc, 1));  // nothing saved any more
    SelectObject(dc, oldBmp);
    DeleteObject(bmp);
    DeleteDC(dc);
}

}  // namespace
