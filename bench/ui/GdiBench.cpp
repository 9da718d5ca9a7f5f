// Drawing costs: a full repaint of the VGA screen, 100 lines of text, and
// the world map's stretch from 640x320 to 480x240.
#include <benchmark/benchmark.h>

#include <cwchar>
#include <string>

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/DeviceContext.h"

namespace {

struct Memory {
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    Memory(int w, int h) {
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateCompatibleBitmap(dc, w, h);
        old = SelectObject(dc, bmp);
        RECT r{0, 0, w, h};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Memory() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
};

HFONT Tahoma(int points, bool bold) {
    LOGFONT lf{};
    lf.lfHeight = -(points * ob::ui::GetScreenDpi() / 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::wcscpy(lf.lfFaceName, L"Tahoma");
    return CreateFontIndirect(&lf);
}

// A picture with a smooth gradient and some detail, like the world map.
void PaintPicture(HDC dc, int w, int h) {
    for (int y = 0; y < h; y += 4)
        for (int x = 0; x < w; x += 4) {
            RECT r{x, y, x + 4, y + 4};
            HBRUSH b = CreateSolidBrush(RGB(x * 255 / w, y * 255 / h, (x ^ y) & 0xFF));
            FillRect(dc, &r, b);
            DeleteObject(b);
        }
}

// The whole VGA screen as the city list view repaints it: each row drawn
// into an off-screen band (fill, day/night picture, name, bold time,
// information line, separator) and copied to the screen.
void BM_FullRepaintVga(benchmark::State& state) {
    ob::ui::SetScreenDpi(192);
    ob::ui::Surface screen(480, 640);
    HDC screenDc = ob::ui::CreateSurfaceDC(&screen, {0, 0}, nullptr);
    Memory band(480, 60);
    Memory picture(64, 32);
    RECT magenta{0, 0, 64, 32};
    HBRUSH mb = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(picture.dc, &magenta, mb);
    DeleteObject(mb);
    SelectObject(picture.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(picture.dc, 4, 4, 28, 28);
    HFONT normal = Tahoma(8, false), bold = Tahoma(8, true);
    HPEN separator = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
    SetBkMode(band.dc, TRANSPARENT);
    const wchar_t* names[] = {L"Aberdeen", L"Tokyo", L"Buenos Aires", L"Wellington; NZ", L"Johannesburg"};
    for (auto _ : state) {
        for (int row = 0; row < 640 / 60 + 1; ++row) {
            RECT r{0, 0, 480, 60};
            FillRect(band.dc, &r, GetSysColorBrush(row == 1 ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            TransparentBlt(band.dc, 1, 0, 32, 32, picture.dc, 0, 0, 32, 32, RGB(255, 0, 255));
            RECT text{35, 0, 479, 29};
            SelectObject(band.dc, normal);
            DrawText(band.dc, names[row % 5], -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(band.dc, bold);
            DrawText(band.dc, L"10:45 PM", -1, &text, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
            RECT info{35, 29, 479, 58};
            SelectObject(band.dc, normal);
            DrawText(band.dc, L"Sunrise: 6:12 AM", -1, &info, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(band.dc, separator);
            MoveToEx(band.dc, 0, 59, nullptr);
            LineTo(band.dc, 480, 59);
            BitBlt(screenDc, 0, row * 60, 480, 60, band.dc, 0, 0, SRCCOPY);
        }
    }
    state.SetItemsProcessed(state.iterations());
    DeleteDC(screenDc);
    DeleteObject(normal);
    DeleteObject(bold);
    DeleteObject(separator);
    ob::ui::SetScreenDpi(96);
}
BENCHMARK(BM_FullRepaintVga)->Unit(benchmark::kMicrosecond);

// The cost of copying a whole VGA frame once (the floor under any repaint).
void BM_BlitVgaFrame(benchmark::State& state) {
    ob::ui::Surface screen(480, 640);
    HDC screenDc = ob::ui::CreateSurfaceDC(&screen, {0, 0}, nullptr);
    Memory buffer(480, 640);
    for (auto _ : state)
        BitBlt(screenDc, 0, 0, 480, 640, buffer.dc, 0, 0, SRCCOPY);
    DeleteDC(screenDc);
}
BENCHMARK(BM_BlitVgaFrame)->Unit(benchmark::kMicrosecond);

// 100 lines of 8-point text; the argument is the screen density.
void BM_Draw100TextLines(benchmark::State& state) {
    const int dpi = static_cast<int>(state.range(0));
    ob::ui::SetScreenDpi(dpi);
    const int w = dpi == 96 ? 240 : 480;
    Memory canvas(w, 100 * 30);
    HFONT font = Tahoma(8, false);
    SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    TEXTMETRIC tm;
    GetTextMetrics(canvas.dc, &tm);
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            RECT r{2, i * tm.tmHeight, w - 2, (i + 1) * tm.tmHeight};
            DrawText(canvas.dc, L"Sunrise: 6:12 AM  Dial: 00 44 1224  Airport: ABZ", -1, &r,
                     DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
    state.SetItemsProcessed(state.iterations() * 100);
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    ob::ui::SetScreenDpi(96);
}
BENCHMARK(BM_Draw100TextLines)->Arg(96)->Arg(192)->Unit(benchmark::kMicrosecond);

// The map: 640x320 to 480x240, filtered (the default) and nearest.
void BM_StretchMap(benchmark::State& state) {
    Memory source(640, 320);
    PaintPicture(source.dc, 640, 320);
    Memory target(480, 240);
    if (state.range(0) == 0)
        SetStretchBltMode(target.dc, COLORONCOLOR);
    for (auto _ : state)
        StretchBlt(target.dc, 0, 0, 480, 240, source.dc, 0, 0, 640, 320, SRCCOPY);
}
BENCHMARK(BM_StretchMap)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
