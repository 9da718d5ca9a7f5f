#include "platform/ui/gdi/GdiObjects.h"

#include <new>

#include <cstring>
#include <cstdint>
#include <unordered_map>

#include "platform/ui/gdi/DeviceContext.h"

namespace ob::ui {
namespace {

// Every object that exists, by handle value: the live ones and those deleted
// while still selected somewhere. The table is never destroyed, so caches
// that let go of their objects at exit still find it, and the objects still
// alive then (stock ones, cached fonts) are not mistaken for leaks.
std::unordered_map<std::uintptr_t, GdiObject*>& Table() {
    static auto* table = new std::unordered_map<std::uintptr_t, GdiObject*>;
    return *table;
}

// Handle values start well above the system colour shorthands (1 to 29).
std::uintptr_t g_nextHandle = 0x10000;

void Forget(GdiObject* o) {
    Table().erase(reinterpret_cast<std::uintptr_t>(o->handle));
    delete o;
}

struct StockTable {
    HGDIOBJ objects[20] = {};
    HGDIOBJ bitmap = nullptr;
    StockTable() {
        auto brush = [](COLORREF c, UINT style = BS_SOLID) {
            auto b = std::make_unique<BrushObject>();
            b->color = c;
            b->style = style;
            b->stock = true;
            return AddObject(std::move(b));
        };
        auto pen = [](COLORREF c, UINT style = PS_SOLID) {
            auto p = std::make_unique<PenObject>();
            p->color = c;
            p->style = style;
            p->stock = true;
            return AddObject(std::move(p));
        };
        objects[WHITE_BRUSH] = brush(RGB(255, 255, 255));
        objects[LTGRAY_BRUSH] = brush(RGB(192, 192, 192));
        objects[GRAY_BRUSH] = brush(RGB(128, 128, 128));
        objects[DKGRAY_BRUSH] = brush(RGB(64, 64, 64));
        objects[BLACK_BRUSH] = brush(RGB(0, 0, 0));
        objects[NULL_BRUSH] = brush(0, BS_NULL);
        objects[WHITE_PEN] = pen(RGB(255, 255, 255));
        objects[BLACK_PEN] = pen(RGB(0, 0, 0));
        objects[NULL_PEN] = pen(0, PS_NULL);
        // DC_BRUSH and DC_PEN paint with the DC's own colours; they are
        // marked by their slot and resolved at draw time.
        objects[DC_BRUSH] = brush(RGB(255, 255, 255));
        objects[DC_PEN] = pen(RGB(0, 0, 0));
        for (int f : {SYSTEM_FONT, DEFAULT_GUI_FONT}) {
            auto font = std::make_unique<FontObject>();
            font->logfont.lfHeight = 0;  // 8 points at the screen's density
            font->logfont.lfWeight = FW_NORMAL;
            std::wcscpy(font->logfont.lfFaceName, L"Tahoma");
            font->stock = true;
            objects[f] = AddObject(std::move(font));
        }
        auto bmp = std::make_unique<BitmapObject>(1, 1, 1);
        bmp->stock = true;
        bitmap = AddObject(std::move(bmp));
    }
};

StockTable& Stock() {
    static StockTable table;
    return table;
}

}  // namespace

BitmapObject::BitmapObject(int w, int h, int bpp, bool alpha)
    : GdiObject(GdiKind::Bitmap), surface(std::make_unique<Surface>(w, h, alpha)), bitsPerPixel(bpp) {}

RegionObject::RegionObject() : GdiObject(GdiKind::Region) { pixman_region32_init(&region); }
RegionObject::~RegionObject() { pixman_region32_fini(&region); }

std::uintptr_t NewHandleValue() { return g_nextHandle += 4; }

HGDIOBJ AddObject(std::unique_ptr<GdiObject> obj) {
    const std::uintptr_t value = NewHandleValue();
    obj->handle = reinterpret_cast<HGDIOBJ>(value);
    Table()[value] = obj.get();  // may throw; the object is still owned here
    return obj.release()->handle;
}

GdiObject* SelectedObject(HGDIOBJ h) {
    if (!h)
        return nullptr;
    const auto it = Table().find(reinterpret_cast<std::uintptr_t>(h));
    return it == Table().end() ? nullptr : it->second;
}

GdiObject* FindObject(HGDIOBJ h) {
    GdiObject* o = SelectedObject(h);
    return o && !o->deletePending ? o : nullptr;
}

void RetainSelected(GdiObject* obj) {
    if (obj)
        ++obj->selections;
}

void ReleaseSelected(GdiObject* obj) {
    if (!obj)
        return;
    if (--obj->selections == 0 && obj->deletePending)
        Forget(obj);
}

std::size_t LiveObjectCount() { return Table().size(); }

COLORREF BrushColor(const BrushObject& b) {
    return b.sysColorIndex >= 0 ? GetSysColor(b.sysColorIndex) : b.color;
}

HBITMAP StockBitmap() { return Stock().bitmap; }

}  // namespace ob::ui

using namespace ob::ui;

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index >= 20)
        return nullptr;
    return Stock().objects[index];
}

BOOL DeleteObject(HGDIOBJ h) {
    GdiObject* o = FindObject(h);
    if (!o)
        return FALSE;
    if (o->stock)
        return TRUE;  // stock objects outlive every request to delete them
    if (o->selections > 0)
        o->deletePending = true;  // freed when the last DC lets go of it
    else
        Forget(o);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ h) {
    if (GdiObject* o = FindObject(h)) {
        switch (o->kind) {
        case GdiKind::Bitmap: return OBJ_BITMAP;
        case GdiKind::Brush: return OBJ_BRUSH;
        case GdiKind::Pen: return OBJ_PEN;
        case GdiKind::Font: return OBJ_FONT;
        case GdiKind::Region: return OBJ_REGION;
        }
    }
    if (DeviceContext* dc = FindDC(reinterpret_cast<HDC>(h)))
        return dc->memory ? OBJ_MEMDC : OBJ_DC;
    return 0;
}

int GetObject(HGDIOBJ h, int size, LPVOID out) {
    GdiObject* o = FindObject(h);
    if (!o)
        return 0;
    switch (o->kind) {
    case GdiKind::Bitmap: {
        auto* b = static_cast<BitmapObject*>(o);
        BITMAP bm{};
        bm.bmWidth = b->surface->Width();
        bm.bmHeight = b->surface->Height();
        bm.bmPlanes = 1;
        bm.bmBitsPixel = static_cast<WORD>(b->bitsPerPixel);
        bm.bmWidthBytes = ((bm.bmWidth * b->bitsPerPixel + 15) / 16) * 2;
        if (b->dibSection) {
            bm.bmWidthBytes = bm.bmWidth * 4;
            bm.bmBits = b->bottomUp ? static_cast<void*>(b->bottomUpStore.data())
                                    : static_cast<void*>(b->surface->Pixels());
        }
        if (!out)
            return b->dibSection ? sizeof(DIBSECTION) : sizeof(BITMAP);
        if (b->dibSection && size >= static_cast<int>(sizeof(DIBSECTION))) {
            DIBSECTION ds{};
            ds.dsBm = bm;
            ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
            ds.dsBmih.biWidth = bm.bmWidth;
            ds.dsBmih.biHeight = b->bottomUp ? bm.bmHeight : -bm.bmHeight;
            ds.dsBmih.biPlanes = 1;
            ds.dsBmih.biBitCount = 32;
            ds.dsBmih.biSizeImage = static_cast<DWORD>(bm.bmWidthBytes * bm.bmHeight);
            std::memcpy(out, &ds, sizeof ds);
            return sizeof(DIBSECTION);
        }
        if (size < static_cast<int>(sizeof(BITMAP)))
            return 0;
        std::memcpy(out, &bm, sizeof bm);
        return sizeof(BITMAP);
    }
    case GdiKind::Brush: {
        auto* b = static_cast<BrushObject*>(o);
        if (!out)
            return sizeof(LOGBRUSH);
        if (size < static_cast<int>(sizeof(LOGBRUSH)))
            return 0;
        LOGBRUSH lb{b->style, BrushColor(*b), 0};
        std::memcpy(out, &lb, sizeof lb);
        return sizeof(LOGBRUSH);
    }
    case GdiKind::Pen: {
        auto* p = static_cast<PenObject*>(o);
        if (!out)
            return sizeof(LOGPEN);
        if (size < static_cast<int>(sizeof(LOGPEN)))
            return 0;
        LOGPEN lp{p->style, {p->width, 0}, p->color};
        std::memcpy(out, &lp, sizeof lp);
        return sizeof(LOGPEN);
    }
    case GdiKind::Font: {
        auto* f = static_cast<FontObject*>(o);
        if (!out)
            return sizeof(LOGFONTW);
        if (size < static_cast<int>(sizeof(LOGFONTW)))
            return 0;
        std::memcpy(out, &f->logfont, sizeof(LOGFONTW));
        return sizeof(LOGFONTW);
    }
    case GdiKind::Region: return 0;
    }
    return 0;
}

int GetObjectW(HGDIOBJ h, int size, LPVOID out) { return GetObject(h, size, out); }

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style < 0 || (style > static_cast<int>(PS_NULL) && style != static_cast<int>(PS_INSIDEFRAME)))
        return nullptr;
    auto p = std::make_unique<PenObject>();
    p->style = static_cast<UINT>(style);
    p->width = width < 1 ? 1 : width;
    p->color = color & 0xFFFFFF;
    return AddObject(std::move(p));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
    if (!lp)
        return nullptr;
    return CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_unique<BrushObject>();
    b->color = color & 0xFFFFFF;
    return AddObject(std::move(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb)
        return nullptr;
    if (lb->lbStyle == BS_NULL)
        return GetStockObject(NULL_BRUSH);
    if (lb->lbStyle != BS_SOLID)
        return nullptr;
    return CreateSolidBrush(lb->lbColor);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
    if (width <= 0 || height <= 0 || planes != 1)
        return nullptr;
    if (bpp != 1 && bpp != 16 && bpp != 24 && bpp != 32)
        return nullptr;
    if (static_cast<long long>(width) * height > (1LL << 26))
        return nullptr;  // 256 MB of pixels: refuse
    // Memory that cannot be had makes no bitmap, as on the real system.
    std::unique_ptr<BitmapObject> b;
    try {
        b = std::make_unique<BitmapObject>(width, height, static_cast<int>(bpp));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (bits) {
        const auto* src = static_cast<const BYTE*>(bits);
        const int rowBytes = ((width * static_cast<int>(bpp) + 15) / 16) * 2;
        for (int y = 0; y < height; ++y) {
            const BYTE* row = src + static_cast<std::size_t>(y) * rowBytes;
            std::uint32_t* out = b->surface->Row(y);
            for (int x = 0; x < width; ++x) {
                if (bpp == 1) {
                    bool on = row[x / 8] & (0x80 >> (x % 8));
                    out[x] = on ? 0xFFFFFFFFu : 0xFF000000u;
                } else if (bpp == 16) {
                    unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
                    unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, bl = v & 31;
                    out[x] = 0xFF000000u | ((r * 255 / 31) << 16) | ((g * 255 / 31) << 8) | (bl * 255 / 31);
                } else if (bpp == 24) {
                    out[x] = 0xFF000000u | (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x];
                } else {
                    std::uint32_t v;
                    std::memcpy(&v, row + 4 * x, 4);
                    out[x] = v | 0xFF000000u;
                }
            }
        }
    }
    return AddObject(std::move(b));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
    if (bits)
        *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS || section)
        return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0)
        return nullptr;
    if (h.biBitCount != 24 && h.biBitCount != 32)
        return nullptr;
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)
        return nullptr;
    const int w = h.biWidth;
    const long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    if (w * height > (1LL << 26))
        return nullptr;  // 256 MB of pixels: refuse
    const int ht = static_cast<int>(height);
    // Pixels are always 32-bit here: the program's callers draw into DIB
    // sections through DCs, and 32-bit rows keep every blit a plain copy.
    std::unique_ptr<BitmapObject> b;
    void* pixels = nullptr;
    try {
        if (h.biHeight > 0) {
            b = std::make_unique<BitmapObject>(1, 1, h.biBitCount);
            b->bottomUpStore.assign(static_cast<std::size_t>(w) * ht, 0);
            b->surface = std::make_unique<Surface>(
                b->bottomUpStore.data() + static_cast<std::size_t>(ht - 1) * w, w, ht, -w * 4);
            b->bottomUp = true;
            pixels = b->bottomUpStore.data();
        } else {
            b = std::make_unique<BitmapObject>(w, ht, h.biBitCount);
            pixels = b->surface->Pixels();
        }
    } catch (const std::bad_alloc&) {
        return nullptr;  // no bits and no bitmap
    }
    b->bitsPerPixel = 32;
    b->dibSection = true;
    HBITMAP made = AddObject(std::move(b));
    if (bits)
        *bits = pixels;
    return made;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    if (width < 0 || height < 0)
        return nullptr;
    DeviceContext* dc = FindDC(hdc);
    // Compatible with a memory DC that holds only its stock bitmap means
    // monochrome on the real system; every caller here wants colour.
    (void)dc;
    if (width == 0 || height == 0)
        return CreateBitmap(1, 1, 1, 1, nullptr);
    if (static_cast<long long>(width) * height > (1LL << 26))
        return nullptr;
    try {
        return AddObject(std::make_unique<BitmapObject>(width, height, 32));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace ob::ui {

HBITMAP BitmapFromSurface(std::unique_ptr<Surface> surface, int bitsPerPixel) {
    if (!surface)
        return nullptr;
    try {
        auto b = std::make_unique<BitmapObject>(1, 1, bitsPerPixel);
        b->surface = std::move(surface);
        return AddObject(std::move(b));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

Surface* SurfaceOfBitmap(HBITMAP bitmap) {
    BitmapObject* b = FindBitmap(bitmap);
    return b ? b->surface.get() : nullptr;
}

}  // namespace ob::ui
