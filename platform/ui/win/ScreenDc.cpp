// Device contexts on the screen, through the drawing layer.
#include "platform/ui/win/ScreenDc.h"

#include "platform/ui/display/Screen.h"

#include "platform/ui/gdi/DeviceContext.h"

namespace ob::ui {

HDC CreateScreenDC(POINT origin, const Region& clip, Window* w) {
    HRGN visible = CreateRectRgn(0, 0, 0, 0);
    pixman_region32_copy(RegionData(visible), const_cast<pixman_region32_t*>(clip.get()));
    HDC dc = CreateSurfaceDC(ScreenSurface(), origin, visible);
    DeleteObject(visible);
    if (dc && w && w->font)
        SelectObject(dc, w->font);
    MarkScreenDirty(clip.Bounds());
    return dc;
}

void ReleaseScreenDC(HDC hdc) { DeleteDC(hdc); }

bool CopyGdiRegion(HRGN region, Region& out) {
    pixman_region32_t* r = RegionData(region);
    if (!r)
        return false;
    pixman_region32_copy(out.get(), r);
    return true;
}

void FillWithBrush(HDC hdc, const RECT& rect, HBRUSH brush) { FillRect(hdc, &rect, brush); }

LRESULT DefaultControlColour(HDC hdc, UINT message) {
    int back = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ? COLOR_WINDOW : COLOR_BTNFACE;
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORDLG || message == WM_CTLCOLORMSGBOX)
        back = COLOR_WINDOW;
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(hdc, GetSysColor(back));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
}

}  // namespace ob::ui
