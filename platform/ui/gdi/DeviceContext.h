// Device contexts, and the calls the window system uses to draw on the
// screen: a DC over any surface with a window origin and a visible region
// (BeginPaint/GetDC), and the screen's density read by GetDeviceCaps and
// font sizing.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include <pixman.h>

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/GdiObjects.h"
#include "platform/ui/gdi/Surface.h"

namespace ob::ui {

// ---- for the window system

// The screen's density (dots per inch, 96 by default) and size in pixels.
void SetScreenDpi(int dpi);
int GetScreenDpi();
void SetScreenSize(int width, int height);
SIZE GetScreenSize();

// A DC drawing on `surface` (not owned; it must outlive the DC). Logical
// (0,0) lands on `origin` of the surface. `visible`, in surface coordinates,
// limits every drawing call (nullptr: the whole surface); it is copied.
// Release with DeleteDC.
HDC CreateSurfaceDC(Surface* surface, POINT origin, HRGN visible);
// Moves or re-limits an existing surface DC (window moved, update region
// changed). Clip regions selected by the program are kept.
BOOL SetSurfaceDCOrigin(HDC hdc, POINT origin);
BOOL SetSurfaceDCVisible(HDC hdc, HRGN visible);
// The surface a DC draws on, and the one behind a bitmap (nullptr if none).
Surface* SurfaceOfDC(HDC hdc);
Surface* SurfaceOfBitmap(HBITMAP bitmap);
// A bitmap handle that owns `surface` (decoded pictures, screenshots).
HBITMAP BitmapFromSurface(std::unique_ptr<Surface> surface, int bitsPerPixel);
// The rectangles of a region, in band order.
std::vector<RECT> RegionRects(HRGN rgn);
pixman_region32_t* RegionData(HRGN rgn);

// ---- the drawing core's view of a DC

// What SaveDC keeps and RestoreDC puts back, copied whole: the selected
// objects, the offsets, the colours and the modes. The clip region is saved
// beside it.
struct DcState {
    HGDIOBJ bitmap = nullptr;  // memory DCs: the selected bitmap
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ font = nullptr;
    POINT viewport{0, 0};  // SetViewportOrgEx offset in device units
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    int stretchMode = BLACKONWHITE;  // anything but COLORONCOLOR filters
    int polyFillMode = ALTERNATE;
    COLORREF dcBrushColor = 0xFFFFFF;
    COLORREF dcPenColor = 0;
    POINT position{0, 0};
};

struct DeviceContext : DcState {
    DeviceContext();
    ~DeviceContext();
    bool memory = false;
    Surface* surface = nullptr;
    POINT origin{0, 0};  // surface position of device (0,0)
    bool hasVisible = false;
    pixman_region32_t visible;  // surface coordinates
    bool hasClip = false;
    pixman_region32_t clip;  // device coordinates
    struct Saved;
    std::vector<std::unique_ptr<Saved>> saved;

    // The region drawing may touch, in surface coordinates (cached).
    const pixman_region32_t& Effective();
    void Invalidate() { m_effectiveValid = false; }
    // Logical to surface coordinates.
    // Far-off coordinates are pulled in to +-2^24 so that no arithmetic on
    // them can overflow; nothing that far is ever visible.
    static int Clamp(long long v) { return static_cast<int>(std::clamp(v, -(1LL << 24), 1LL << 24)); }
    int SX(int x) const { return Clamp(static_cast<long long>(x) + origin.x + viewport.x); }
    int SY(int y) const { return Clamp(static_cast<long long>(y) + origin.y + viewport.y); }

private:
    bool m_effectiveValid = false;
    pixman_region32_t m_effective;
};

DeviceContext* FindDC(HDC hdc);
// How many device contexts and drawing objects exist (stock objects and
// objects deleted while still selected included): tests compare them
// before and after a piece of work to catch handles it forgot to release.
std::size_t LiveDCCount();
std::size_t LiveObjectCount();

}  // namespace ob::ui
