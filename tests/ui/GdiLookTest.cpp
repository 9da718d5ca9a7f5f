// Pictures to look at: text at both densities, shapes and blits, written to
// the UI output folder (ORBELLINE_UI_OUTPUT, else a temporary folder).
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/image/ImageCodec.h"
#include "platform/ui/testing/UiDriver.h"

namespace {

struct Sheet {
    HDC dc;
    HBITMAP bmp;
    Sheet(int w, int h) {
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateCompatibleBitmap(dc, w, h);
        SelectObject(dc, bmp);
        RECT r{0, 0, w, h};
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    }
    ~Sheet() {
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    bool Save(const std::string& name) {
        return ob::ui::SavePng(bmp, ob::ui::testing::UiDriver::OutputPath(name));
    }
};

HFONT Tahoma(int points, bool bold) {
    LOGFONT lf{};
    lf.lfHeight = -(points * ob::ui::GetScreenDpi() / 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::wcscpy(lf.lfFaceName, L"Tahoma");
    return CreateFontIndirect(&lf);
}

void TextSheet(int dpi) {
    ob::ui::SetScreenDpi(dpi);
    const int s = dpi / 96;
    Sheet sheet(240 * s, 320 * s);
    HDC dc = sheet.dc;
    SetBkMode(dc, TRANSPARENT);
    int y = 2 * s;
    for (int points : {8, 9})
        for (bool bold : {false, true}) {
            HFONT f = Tahoma(points, bold);
            HGDIOBJ old = SelectObject(dc, f);
            TEXTMETRIC tm;
            GetTextMetrics(dc, &tm);
            RECT r{2 * s, y, 238 * s, y + tm.tmHeight};
            const std::wstring label = std::to_wstring(points) + (bold ? L" pt bold" : L" pt");
            DrawText(dc, L"Aberdeen", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
            DrawText(dc, label.c_str(), -1, &r, DT_SINGLELINE | DT_CENTER | DT_NOPREFIX);
            DrawText(dc, L"10:45 PM", -1, &r, DT_SINGLELINE | DT_RIGHT | DT_NOPREFIX);
            y += tm.tmHeight;
            RECT info{2 * s, y, 238 * s, y + tm.tmHeight};
            DrawText(dc, L"Sunrise: 6:12 AM  Dial: 00 44 1224  Distance: 9,581 KM", -1, &info,
                     DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            y += tm.tmHeight + 2 * s;
            SelectObject(dc, old);
            DeleteObject(f);
        }
    HFONT f = Tahoma(8, false);
    SelectObject(dc, f);
    // Selected row colours, word wrap, centring, prefixes, an opaque background.
    RECT band{0, y, 240 * s, y + 30 * s};
    FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    RECT inner = band;
    InflateRect(&inner, -2 * s, 0);
    DrawText(dc, L"Tokyo (selected row)", -1, &inner, DT_SINGLELINE | DT_VCENTER);
    y += 32 * s;
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT wrap{20 * s, y, 220 * s, y + 60 * s};
    FrameRect(dc, &wrap, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    DrawText(dc, L"No cities have been chosen yet. Use the City menu to add the home city and others.", -1,
             &wrap, DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
    y += 62 * s;
    RECT menu{2 * s, y, 238 * s, y + 20 * s};
    DrawText(dc, L"&File   &View   E&xit   A && B", -1, &menu, DT_SINGLELINE);
    y += 20 * s;
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, GetSysColor(COLOR_INFOBK));
    TextOut(dc, 2 * s, y, L" Display next city info ", 24);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
    EXPECT_TRUE(sheet.Save("gdi_text_" + std::to_string(dpi) + ".png"));
    ob::ui::SetScreenDpi(96);
}

void ShapesAndBlitsSheet() {
    Sheet sheet(240, 320);
    HDC dc = sheet.dc;
    // City dots of the map: half-sizes 1 and 2, the home dot, and the
    // selected city's box with its cross.
    HBRUSH highlight = CreateSolidBrush(RGB(103, 204, 255));
    HBRUSH home = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    RECT sea{0, 0, 240, 60};
    HBRUSH seaBrush = CreateSolidBrush(RGB(40, 90, 160));
    FillRect(dc, &sea, seaBrush);
    Ellipse(dc, 9, 9, 14, 14);
    Ellipse(dc, 29, 9, 36, 16);
    SelectObject(dc, highlight);
    Ellipse(dc, 49, 9, 54, 14);
    SelectObject(dc, home);
    Ellipse(dc, 69, 9, 76, 16);
    SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, 100, 5, 111, 16);
    HPEN white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    SelectObject(dc, white);
    MoveToEx(dc, 105, 5, nullptr);
    LineTo(dc, 105, 16);
    MoveToEx(dc, 100, 10, nullptr);
    LineTo(dc, 111, 10);
    // Lines, a polyline, a polygon, a rounded rectangle and a thick frame.
    SelectObject(dc, GetStockObject(BLACK_PEN));
    for (int i = 0; i < 8; ++i) {
        MoveToEx(dc, 10, 70, nullptr);
        LineTo(dc, 10 + i * 12, 130);
    }
    POINT zig[] = {{110, 70}, {130, 110}, {150, 75}, {170, 125}, {190, 70}};
    Polyline(dc, zig, 5);
    SelectObject(dc, highlight);
    POINT star[] = {{60, 140}, {72, 175}, {40, 152}, {80, 152}, {48, 175}};
    SetPolyFillMode(dc, WINDING);
    Polygon(dc, star, 5);
    SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
    RoundRect(dc, 100, 140, 170, 175, 12, 12);
    HPEN thick = CreatePen(PS_SOLID, 3, RGB(0, 0, 128));
    SelectObject(dc, thick);
    SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, 180, 140, 230, 175);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    // Clipping: an ellipse cut by two clip rectangles.
    HRGN clip = CreateRectRgn(10, 185, 60, 235);
    HRGN more = CreateRectRgn(70, 185, 110, 235);
    CombineRgn(clip, clip, more, RGN_OR);
    SelectClipRgn(dc, clip);
    SelectObject(dc, home);
    Ellipse(dc, 5, 190, 115, 230);
    SelectClipRgn(dc, nullptr);
    // Transparent and stretched blits: a 16x16 day/night pair with magenta
    // around it, drawn through an image list and stretched twice over.
    Sheet pictures(32, 16);
    RECT all{0, 0, 32, 16};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(pictures.dc, &all, magenta);
    SelectObject(pictures.dc, CreateSolidBrush(RGB(255, 200, 0)));
    Ellipse(pictures.dc, 2, 2, 14, 14);
    SelectObject(pictures.dc, CreateSolidBrush(RGB(30, 30, 90)));
    Ellipse(pictures.dc, 18, 2, 30, 14);
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 10);
    ImageList_AddMasked(list, pictures.bmp, RGB(255, 0, 255));
    RECT stripe{120, 185, 240, 235};
    FillRect(dc, &stripe, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    ImageList_Draw(list, 0, dc, 125, 190, ILD_TRANSPARENT);
    ImageList_Draw(list, 1, dc, 145, 190, ILD_TRANSPARENT);
    ImageList_Draw(list, 0, dc, 165, 190, ILD_SELECTED);
    TransparentBlt(dc, 125, 207, 64, 32, pictures.dc, 0, 0, 32, 16, RGB(255, 0, 255));
    // A map-like picture shrunk from 640x320 to 240x120, filtered.
    Sheet map(640, 320);
    for (int y = 0; y < 320; y += 8)
        for (int x = 0; x < 640; x += 8) {
            RECT cell{x, y, x + 8, y + 8};
            HBRUSH b = CreateSolidBrush(((x / 8 + y / 8) % 2) ? RGB(60, 140, 60) : RGB(200, 220, 240));
            FillRect(map.dc, &cell, b);
            DeleteObject(b);
        }
    StretchBlt(dc, 0, 240, 120, 60, map.dc, 0, 0, 640, 320, SRCCOPY);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 120, 240, 120, 60, map.dc, 0, 0, 640, 320, SRCCOPY);
    EXPECT_TRUE(sheet.Save("gdi_shapes_blits.png"));
    ImageList_Destroy(list);
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(highlight), home, white, thick, seaBrush, magenta, clip, more})
        DeleteObject(o);
}

TEST(GdiLook, WritesTextShapesAndBlitsToLookAt) {
    TextSheet(96);
    TextSheet(192);
    ShapesAndBlitsSheet();
}

}  // namespace
