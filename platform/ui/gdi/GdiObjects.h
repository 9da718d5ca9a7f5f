// The objects behind GDI handles. A handle is a number given out once and
// never again, looked up in the table of live objects, so stale or foreign
// handles are refused instead of dereferenced, even when a new object takes
// the memory of a deleted one. An object still selected into a device
// context when it is deleted lives on until the context lets go of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <pixman.h>

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/Surface.h"

namespace ob::ui {

enum class GdiKind { Bitmap, Brush, Pen, Font, Region };

struct GdiObject {
    explicit GdiObject(GdiKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    GdiKind kind;
    bool stock = false;
    int selections = 0;  // device contexts holding it
    bool deletePending = false;
    HGDIOBJ handle = nullptr;
};

struct BitmapObject : GdiObject {
    BitmapObject(int w, int h, int bitsPerPixel, bool alpha = false);
    std::unique_ptr<Surface> surface;
    std::vector<std::uint32_t> bottomUpStore;  // rows of a bottom-up DIB section
    int bitsPerPixel;                          // as created (1, 24 or 32); pixels are 32-bit
    bool dibSection = false;
    bool bottomUp = false;
};

struct BrushObject : GdiObject {
    BrushObject() : GdiObject(GdiKind::Brush) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int sysColorIndex = -1;  // system colour brushes follow their colour
};

struct PenObject : GdiObject {
    PenObject() : GdiObject(GdiKind::Pen) {}
    UINT style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

class RealFont;

struct FontObject : GdiObject {
    FontObject() : GdiObject(GdiKind::Font) {}
    LOGFONTW logfont{};
    // The font realised for this LOGFONT at `realizedDpi` (cached, not owned).
    RealFont* realized = nullptr;
    int realizedDpi = 0;
};

struct RegionObject : GdiObject {
    RegionObject();
    ~RegionObject() override;
    pixman_region32_t region;
};

// A handle value never given out before, shared by drawing objects, device
// contexts and image lists so that no two live things of any kind share one.
std::uintptr_t NewHandleValue();

// Registers a new object and returns its handle.
HGDIOBJ AddObject(std::unique_ptr<GdiObject> obj);
// The live object behind a handle, or nullptr. With a kind, only that kind.
GdiObject* FindObject(HGDIOBJ h);
template <class T>
T* FindObjectAs(HGDIOBJ h, GdiKind kind) {
    GdiObject* o = FindObject(h);
    return o && o->kind == kind ? static_cast<T*>(o) : nullptr;
}
inline BitmapObject* FindBitmap(HGDIOBJ h) { return FindObjectAs<BitmapObject>(h, GdiKind::Bitmap); }
inline BrushObject* FindBrush(HGDIOBJ h) { return FindObjectAs<BrushObject>(h, GdiKind::Brush); }
inline PenObject* FindPen(HGDIOBJ h) { return FindObjectAs<PenObject>(h, GdiKind::Pen); }
inline FontObject* FindFont(HGDIOBJ h) { return FindObjectAs<FontObject>(h, GdiKind::Font); }
inline RegionObject* FindRegion(HGDIOBJ h) { return FindObjectAs<RegionObject>(h, GdiKind::Region); }

// The object behind a handle selected into a device context: as FindObject,
// but also an object deleted while selected, which lives until released.
GdiObject* SelectedObject(HGDIOBJ h);

// Selection bookkeeping for device contexts: the object stays alive while
// selected, and is destroyed on release when it was deleted meanwhile.
void RetainSelected(GdiObject* obj);
void ReleaseSelected(GdiObject* obj);

// The colour a brush paints with (system colour brushes follow the palette).
COLORREF BrushColor(const BrushObject& b);
// The stock 1x1 bitmap a fresh memory DC holds.
HBITMAP StockBitmap();

}  // namespace ob::ui
