// Every drawing call survives the most extreme arguments an int allows:
// no overflow, no read or write outside a surface, no crash. Run under the
// sanitizers this sweep is what finds the unsafe arithmetic.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/ui/Gdi.h"

namespace {

const std::vector<int> kExtremes{INT_MIN, INT_MIN + 1, -(1 << 30), -1,          0,
                                 1,       3,           1 << 30,    INT_MAX - 1, INT_MAX};

struct Canvas {
    Canvas() {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, 8, 8);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// Bitmaps of absurd sizes are refused, not attempted.
TEST(GdiExtremes, BitmapsOfExtremeSizesAreRefused) {
    Canvas a;
    for (int v : kExtremes) {
        for (int w : {INT_MIN, -(1 << 30), 1 << 30, INT_MAX}) {
            EXPECT_EQ(CreateBitmap(v, w, 1, 32, nullptr), nullptr) << v << "x" << w;
            if (HBITMAP empty = CreateCompatibleBitmap(a.dc, v, w)) {
                // A zero width stands for the 1x1 placeholder.
                EXPECT_EQ(v, 0);
                DeleteObject(empty);
            }
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = v;
            info.bmiHeader.biHeight = w;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            EXPECT_EQ(CreateDIBSection(a.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
                << v << "x" << w;
            EXPECT_EQ(bits, nullptr);
        }
    }
}

TEST(GdiExtremes, BlitsAndPatternsAtExtremeCoordinates) {
    Canvas a, b;
    SelectObject(a.dc, GetStockObject(GRAY_BRUSH));
    for (int v : kExtremes) {
        for (int w : kExtremes) {
            PatBlt(a.dc, v, v, w, w, PATCOPY);
            PatBlt(a.dc, v, 0, w, 4, DSTINVERT);
            BitBlt(a.dc, v, 0, w, w, b.dc, 0, v, SRCCOPY);
            BitBlt(a.dc, 0, v, w, 4, a.dc, v, 0, SRCINVERT);
            TransparentBlt(a.dc, v, v, w, w, b.dc, v, 0, w, w, RGB(255, 0, 255));
            StretchBlt(a.dc, v, 0, w, 4, b.dc, 0, v, 3, w, SRCCOPY);
            SetPixel(a.dc, v, w, RGB(1, 2, 3));
            GetPixel(a.dc, w, v);
        }
        SetViewportOrgEx(a.dc, v, 1 - v / 2, nullptr);
        PatBlt(a.dc, v, v, 4, 4, WHITENESS);
        BitBlt(b.dc, 0, 0, 8, 8, a.dc, v, v, SRCCOPY);
        SetViewportOrgEx(a.dc, 0, 0, nullptr);
    }
    EXPECT_NE(GetPixel(a.dc, 0, 0), CLR_INVALID);
}

TEST(GdiExtremes, ShapesRectsAndRegionsAtExtremeCoordinates) {
    Canvas a;
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    for (int v : kExtremes) {
        for (int w : kExtremes) {
            RECT r{v, w, w, v};
            FillRect(a.dc, &r, brush);
            FrameRect(a.dc, &r, brush);
            InvertRect(a.dc, &r);
            DrawFocusRect(a.dc, &r);
            Rectangle(a.dc, v, w, w, v);
            Ellipse(a.dc, v, v, w, w);
            RoundRect(a.dc, v, v, w, w, w, v);
            MoveToEx(a.dc, v, w, nullptr);
            LineTo(a.dc, w, v);
            const POINT pts[3] = {{v, v}, {w, v}, {v, w}};
            Polygon(a.dc, pts, 3);
            Polyline(a.dc, pts, 3);
            RECT copy = r;
            OffsetRect(&copy, v, w);
            InflateRect(&copy, w, v);
            RECT out{};
            IntersectRect(&out, &r, &copy);
            UnionRect(&out, &r, &copy);
            HRGN rgn = CreateRectRgn(v, v, w, w);
            OffsetRgn(rgn, v, w);
            PtInRegion(rgn, w, v);
            RectInRegion(rgn, &r);
            FillRgn(a.dc, rgn, brush);
            SelectClipRgn(a.dc, rgn);
            PatBlt(a.dc, 0, 0, 8, 8, WHITENESS);
            SelectClipRgn(a.dc, nullptr);
            DeleteObject(rgn);
        }
    }
    DeleteObject(brush);
    EXPECT_NE(GetPixel(a.dc, 0, 0), CLR_INVALID);
}

// A focus rectangle reaching far off the surface draws only what shows,
// with its dots where they would be had every one been walked.
TEST(GdiExtremes, FocusRectStartingFarOffKeepsItsDots) {
    Canvas a;
    PatBlt(a.dc, 0, 0, 8, 8, BLACKNESS);
    const RECT far{-1000001, -999999, 5, 6};
    EXPECT_TRUE(DrawFocusRect(a.dc, &far));
    constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
    // Right edge x = 4: dots on the rows an even distance below the top.
    EXPECT_EQ(GetPixel(a.dc, 4, 1), kWhite);
    EXPECT_EQ(GetPixel(a.dc, 4, 2), kBlack);
    EXPECT_EQ(GetPixel(a.dc, 4, 3), kWhite);
    // Bottom edge y = 5: dots on the columns an even distance from the left.
    EXPECT_EQ(GetPixel(a.dc, 0, 5), kBlack);
    EXPECT_EQ(GetPixel(a.dc, 1, 5), kWhite);
    EXPECT_EQ(GetPixel(a.dc, 2, 5), kBlack);
    EXPECT_EQ(GetPixel(a.dc, 3, 5), kWhite);
    EXPECT_EQ(GetPixel(a.dc, 5, 5), kBlack);  // past the right edge
    EXPECT_EQ(GetPixel(a.dc, 2, 2), kBlack);  // inside
    // Drawn again, it is gone.
    EXPECT_TRUE(DrawFocusRect(a.dc, &far));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(GetPixel(a.dc, x, y), kBlack) << x << "," << y;
}

TEST(GdiExtremes, TextAndImageListsAtExtremeCoordinates) {
    Canvas a;
    HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR24 | ILC_MASK, 1, 1);
    Canvas pic;
    ImageList_AddMasked(list, pic.bitmap, RGB(255, 0, 255));
    for (int v : kExtremes) {
        for (int w : kExtremes) {
            TextOut(a.dc, v, w, L"Ag", 2);
            RECT r{v, v, w, w};
            ExtTextOut(a.dc, v, w, ETO_OPAQUE | ETO_CLIPPED, &r, L"Ag", 2, nullptr);
            DrawText(a.dc, L"Ag Ag", -1, &r, DT_WORDBREAK | DT_CENTER | DT_VCENTER);
            DrawText(a.dc, L"Ag", 2, &r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM | DT_END_ELLIPSIS);
            ImageList_Draw(list, 0, a.dc, v, w, ILD_NORMAL);
            ImageList_DrawEx(list, 0, a.dc, v, w, w, v, CLR_NONE, CLR_DEFAULT, ILD_BLEND50);
        }
        SIZE size{};
        int fit = 0;
        GetTextExtentExPoint(a.dc, L"Ag", 2, v, &fit, nullptr, &size);
    }
    ImageList_Destroy(list);
    EXPECT_NE(GetPixel(a.dc, 0, 0), CLR_INVALID);
}

}  // namespace
