#include "platform/ui/gdi/DeviceContext.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "platform/ui/gdi/Region.h"

namespace ob::ui {
namespace {

// Live device contexts by handle value. A handle is a number given out once,
// so a deleted DC's handle stays invalid when a new DC reuses its memory.
std::unordered_map<std::uintptr_t, DeviceContext*>& LiveDCs() {
    static auto* live = new std::unordered_map<std::uintptr_t, DeviceContext*>;
    return *live;
}

int g_dpi = 96;
SIZE g_screen{240, 320};

HDC Register(DeviceContext* dc) {
    const std::uintptr_t value = NewHandleValue();
    LiveDCs()[value] = dc;
    return reinterpret_cast<HDC>(value);
}

// Swaps the object in `slot` for `obj`, keeping the selection counts right.
HGDIOBJ Swap(HGDIOBJ& slot, HGDIOBJ obj) {
    HGDIOBJ old = slot;
    RetainSelected(FindObject(obj));
    slot = obj;
    ReleaseSelected(SelectedObject(old));
    return old;
}

}  // namespace

struct DeviceContext::Saved {
    DcState state;  // its four objects retained while it is kept
    bool hasClip = false;
    Region clip;
};

DeviceContext::DeviceContext() {
    pixman_region32_init(&visible);
    pixman_region32_init(&clip);
    pixman_region32_init(&m_effective);
    brush = GetStockObject(WHITE_BRUSH);
    pen = GetStockObject(BLACK_PEN);
    font = GetStockObject(SYSTEM_FONT);
    for (HGDIOBJ o : {brush, pen, font})
        RetainSelected(FindObject(o));
}

DeviceContext::~DeviceContext() {
    for (auto& s : saved)
        for (HGDIOBJ o : {s->state.brush, s->state.pen, s->state.font, s->state.bitmap})
            ReleaseSelected(SelectedObject(o));
    for (HGDIOBJ o : {brush, pen, font, bitmap})
        ReleaseSelected(SelectedObject(o));
    pixman_region32_fini(&visible);
    pixman_region32_fini(&clip);
    pixman_region32_fini(&m_effective);
}

const pixman_region32_t& DeviceContext::Effective() {
    if (m_effectiveValid)
        return m_effective;
    pixman_region32_fini(&m_effective);
    pixman_region32_init_rect(&m_effective, 0, 0, surface ? surface->Width() : 0,
                              surface ? surface->Height() : 0);
    if (hasVisible)
        pixman_region32_intersect(&m_effective, &m_effective, &visible);
    if (hasClip) {
        pixman_region32_t moved;
        pixman_region32_init(&moved);
        pixman_region32_copy(&moved, &clip);
        pixman_region32_translate(&moved, origin.x, origin.y);
        pixman_region32_intersect(&m_effective, &m_effective, &moved);
        pixman_region32_fini(&moved);
    }
    m_effectiveValid = true;
    return m_effective;
}

DeviceContext* FindDC(HDC hdc) {
    if (!hdc)
        return nullptr;
    const auto it = LiveDCs().find(reinterpret_cast<std::uintptr_t>(hdc));
    return it == LiveDCs().end() ? nullptr : it->second;
}

std::size_t LiveDCCount() { return LiveDCs().size(); }

void SetScreenDpi(int dpi) { g_dpi = dpi > 0 ? dpi : 96; }
int GetScreenDpi() { return g_dpi; }
void SetScreenSize(int width, int height) { g_screen = {width, height}; }
SIZE GetScreenSize() { return g_screen; }

HDC CreateSurfaceDC(Surface* surface, POINT origin, HRGN visible) {
    if (!surface)
        return nullptr;
    auto* dc = new DeviceContext;
    dc->surface = surface;
    dc->origin = origin;
    if (RegionObject* r = FindRegion(visible)) {
        dc->hasVisible = true;
        pixman_region32_copy(&dc->visible, &r->region);
    }
    return Register(dc);
}

BOOL SetSurfaceDCOrigin(HDC hdc, POINT origin) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || dc->memory)
        return FALSE;
    dc->origin = origin;
    dc->Invalidate();
    return TRUE;
}

BOOL SetSurfaceDCVisible(HDC hdc, HRGN visible) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || dc->memory)
        return FALSE;
    if (RegionObject* r = FindRegion(visible)) {
        dc->hasVisible = true;
        pixman_region32_copy(&dc->visible, &r->region);
    } else {
        dc->hasVisible = false;
    }
    dc->Invalidate();
    return TRUE;
}

Surface* SurfaceOfDC(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->surface : nullptr;
}

std::vector<RECT> RegionRects(HRGN rgn) {
    std::vector<RECT> out;
    RegionObject* r = FindRegion(rgn);
    if (!r)
        return out;
    int n = 0;
    pixman_box32_t* boxes = pixman_region32_rectangles(&r->region, &n);
    for (int i = 0; i < n; ++i)
        out.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
    return out;
}

pixman_region32_t* RegionData(HRGN rgn) {
    RegionObject* r = FindRegion(rgn);
    return r ? &r->region : nullptr;
}

}  // namespace ob::ui

using namespace ob::ui;

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc && !FindDC(hdc))
        return nullptr;
    auto* dc = new DeviceContext;
    dc->memory = true;
    dc->bitmap = StockBitmap();
    RetainSelected(FindObject(dc->bitmap));
    dc->surface = SurfaceOfBitmap(dc->bitmap);
    return Register(dc);
}

BOOL DeleteDC(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return FALSE;
    LiveDCs().erase(reinterpret_cast<std::uintptr_t>(hdc));
    delete dc;
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    DeviceContext* dc = FindDC(hdc);
    GdiObject* o = FindObject(h);
    if (!dc || !o)
        return nullptr;
    switch (o->kind) {
    case GdiKind::Brush: return Swap(dc->brush, h);
    case GdiKind::Pen: return Swap(dc->pen, h);
    case GdiKind::Font: return Swap(dc->font, h);
    case GdiKind::Region: return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(SelectClipRgn(hdc, h)));
    case GdiKind::Bitmap: {
        if (!dc->memory)
            return nullptr;
        if (h == dc->bitmap)
            return h;
        // A bitmap lives in one memory DC at a time (the stock one excepted).
        if (o->selections > 0 && !o->stock)
            return nullptr;
        HGDIOBJ old = Swap(dc->bitmap, h);
        dc->surface = static_cast<BitmapObject*>(o)->surface.get();
        dc->hasClip = false;  // selecting a bitmap resets the clip region
        dc->Invalidate();
        return old;
    }
    }
    return nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_BRUSH: return dc->brush;
    case OBJ_PEN: return dc->pen;
    case OBJ_FONT: return dc->font;
    case OBJ_BITMAP: return dc->bitmap;
    default: return nullptr;
    }
}

int SaveDC(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return 0;
    auto s = std::make_unique<DeviceContext::Saved>();
    s->state = *dc;
    for (HGDIOBJ o : {s->state.brush, s->state.pen, s->state.font, s->state.bitmap})
        RetainSelected(FindObject(o));
    s->hasClip = dc->hasClip;
    pixman_region32_copy(s->clip.get(), &dc->clip);
    dc->saved.push_back(std::move(s));
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int which) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return FALSE;
    const int count = static_cast<int>(dc->saved.size());
    int index = which < 0 ? count + which : which - 1;
    if (index < 0 || index >= count)
        return FALSE;
    auto s = std::move(dc->saved[index]);
    for (int i = count - 1; i > index; --i) {
        const DcState& t = dc->saved[i]->state;
        for (HGDIOBJ o : {t.brush, t.pen, t.font, t.bitmap})
            ReleaseSelected(SelectedObject(o));
    }
    dc->saved.resize(index);
    // The saved objects are already retained by the saved state; the ones
    // they replace are let go. A window's DC keeps its surface's bitmap.
    const DcState replaced = *dc;
    static_cast<DcState&>(*dc) = s->state;
    for (HGDIOBJ o : {replaced.brush, replaced.pen, replaced.font})
        ReleaseSelected(SelectedObject(o));
    if (dc->memory) {
        ReleaseSelected(SelectedObject(replaced.bitmap));
        dc->surface = static_cast<BitmapObject*>(SelectedObject(dc->bitmap))->surface.get();
    } else {
        dc->bitmap = replaced.bitmap;
        ReleaseSelected(SelectedObject(s->state.bitmap));
    }
    dc->hasClip = s->hasClip;
    pixman_region32_copy(&dc->clip, s->clip.get());
    dc->Invalidate();
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return 0;
    const SIZE screen = GetScreenSize();
    const int dpi = GetScreenDpi();
    switch (index) {
    case HORZRES: return screen.cx;
    case VERTRES: return screen.cy;
    case HORZSIZE: return screen.cx * 254 / (dpi * 10);
    case VERTSIZE: return screen.cy * 254 / (dpi * 10);
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT;
    case LOGPIXELSX:
    case LOGPIXELSY: return dpi;
    default: return 0;
    }
}

COLORREF SetTextColor(HDC hdc, COLORREF c) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return CLR_INVALID;
    return std::exchange(dc->textColor, c & 0xFFFFFF);
}
COLORREF GetTextColor(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}
COLORREF SetBkColor(HDC hdc, COLORREF c) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return CLR_INVALID;
    return std::exchange(dc->bkColor, c & 0xFFFFFF);
}
COLORREF GetBkColor(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}
int SetBkMode(HDC hdc, int mode) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    return std::exchange(dc->bkMode, mode);
}
int GetBkMode(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->bkMode : 0;
}
UINT SetTextAlign(HDC hdc, UINT align) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return 0xFFFFFFFF;  // GDI_ERROR
    return std::exchange(dc->textAlign, align);
}
UINT GetTextAlign(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->textAlign : 0xFFFFFFFF;
}
int SetStretchBltMode(HDC hdc, int mode) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return std::exchange(dc->stretchMode, mode);
}
int GetStretchBltMode(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->stretchMode : 0;
}
int SetPolyFillMode(HDC hdc, int mode) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || (mode != ALTERNATE && mode != WINDING))
        return 0;
    return std::exchange(dc->polyFillMode, mode);
}
COLORREF SetDCBrushColor(HDC hdc, COLORREF c) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return CLR_INVALID;
    return std::exchange(dc->dcBrushColor, c & 0xFFFFFF);
}
COLORREF SetDCPenColor(HDC hdc, COLORREF c) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return CLR_INVALID;
    return std::exchange(dc->dcPenColor, c & 0xFFFFFF);
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->viewport;
    dc->viewport = {x, y};
    return TRUE;
}
BOOL GetViewportOrgEx(HDC hdc, LPPOINT org) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !org)
        return FALSE;
    *org = dc->viewport;
    return TRUE;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !dc->surface)
        return CLR_INVALID;
    const int sx = dc->SX(x), sy = dc->SY(y);
    if (!pixman_region32_contains_point(&dc->Effective(), sx, sy, nullptr))
        return CLR_INVALID;
    return ColorFromPixel(dc->surface->At(sx, sy));
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF c) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !dc->surface)
        return CLR_INVALID;
    const int sx = dc->SX(x), sy = dc->SY(y);
    if (!pixman_region32_contains_point(&dc->Effective(), sx, sy, nullptr))
        return CLR_INVALID;
    dc->surface->At(sx, sy) = PixelFromColor(c);
    return c & 0xFFFFFF;
}
