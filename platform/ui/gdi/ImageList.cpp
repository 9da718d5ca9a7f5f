// Image lists: equal-sized pictures in one strip, each with a mask that
// marks its transparent pixels.
#include <algorithm>
#include <memory>
#include <new>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/ui/gdi/Raster.h"

using namespace ob::ui;

namespace {

// The most pixels one list holds (256 MB of pictures).
constexpr long long kMaxPixels = 1LL << 26;

struct ImageListObject {
    int cx = 0, cy = 0;
    UINT flags = 0;
    int grow = 4;
    int count = 0;
    COLORREF background = CLR_NONE;
    std::unique_ptr<Surface> images;  // count * cx wide
    std::vector<std::uint8_t> mask;   // 1 = transparent, per pixel of `images`
    int capacity = 0;

    // False, with the list as it was, when the memory cannot be had.
    bool Reserve(int n) {
        if (n <= capacity)
            return true;
        // The growth step asked for at creation may be absurd: a step is at
        // most 256 pictures and never takes the list past its limit.
        const long long wanted = static_cast<long long>(capacity) + std::clamp(grow, 1, 256);
        const long long room = kMaxPixels / (static_cast<long long>(cx) * cy);
        const int newCap = static_cast<int>(std::max<long long>(n, std::min(wanted, room)));
        std::unique_ptr<Surface> s;
        std::vector<std::uint8_t> m;
        try {
            s = std::make_unique<Surface>(newCap * cx, cy);
            m.assign(static_cast<std::size_t>(newCap) * cx * cy, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (int y = 0; y < cy; ++y) {
            if (images)
                std::copy(images->Row(y), images->Row(y) + count * cx, s->Row(y));
            for (int x = 0; x < count * cx; ++x)
                m[static_cast<std::size_t>(y) * newCap * cx + x] =
                    mask[static_cast<std::size_t>(y) * capacity * cx + x];
        }
        images = std::move(s);
        mask = std::move(m);
        capacity = newCap;
        return true;
    }
    std::uint8_t& Mask(int x, int y) { return mask[static_cast<std::size_t>(y) * capacity * cx + x]; }
};

// Live image lists by handle value; a handle is never given out twice, so a
// destroyed list's handle stays invalid when a new list reuses its memory.
std::unordered_map<std::uintptr_t, std::unique_ptr<ImageListObject>>& Lists() {
    static auto* lists = new std::unordered_map<std::uintptr_t, std::unique_ptr<ImageListObject>>;
    return *lists;
}

ImageListObject* Find(HIMAGELIST h) {
    if (!h)
        return nullptr;
    const auto it = Lists().find(reinterpret_cast<std::uintptr_t>(h));
    return it == Lists().end() ? nullptr : it->second.get();
}

// Appends every whole picture of `image`; `transparent(x, y)` decides the mask.
template <class Pred>
int Append(ImageListObject& l, Surface& image, Pred transparent) {
    const int n = image.Width() / l.cx;
    if (n < 1 || image.Height() < l.cy)
        return -1;
    if (static_cast<long long>(l.count + n) * l.cx * l.cy > kMaxPixels)
        return -1;
    const int first = l.count;
    if (!l.Reserve(l.count + n))
        return -1;
    for (int y = 0; y < l.cy; ++y) {
        const std::uint32_t* in = image.Row(y);
        std::uint32_t* out = l.images->Row(y) + first * l.cx;
        for (int x = 0; x < n * l.cx; ++x) {
            const bool t = (l.flags & ILC_MASK) && transparent(x, y);
            out[x] = in[x] | 0xFF000000u;
            l.Mask(first * l.cx + x, y) = t ? 1 : 0;
        }
    }
    l.count += n;
    return first;
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
    if (cx <= 0 || cy <= 0 || initial < 0 || grow < 0)
        return nullptr;
    // Pictures larger than a screen, or a first allocation of more than
    // 64 MB, are refused rather than attempted.
    if (cx > 4096 || cy > 4096 || static_cast<long long>(cx) * cy * std::max(1, initial) > (1LL << 24))
        return nullptr;
    auto l = std::make_unique<ImageListObject>();
    l->cx = cx;
    l->cy = cy;
    l->flags = flags;
    l->grow = std::max(1, grow);
    if (!l->Reserve(std::max(1, initial)))
        return nullptr;
    const std::uintptr_t value = NewHandleValue();
    Lists()[value] = std::move(l);
    return reinterpret_cast<HIMAGELIST>(value);
}

BOOL ImageList_Destroy(HIMAGELIST h) {
    return Lists().erase(reinterpret_cast<std::uintptr_t>(h)) ? TRUE : FALSE;
}

int ImageList_Add(HIMAGELIST h, HBITMAP image, HBITMAP mask) {
    ImageListObject* l = Find(h);
    Surface* s = SurfaceOfBitmap(image);
    if (!l || !s)
        return -1;
    Surface* m = SurfaceOfBitmap(mask);
    // In a mask bitmap, white marks the transparent pixels.
    return Append(*l, *s, [&](int x, int y) {
        return m && x < m->Width() && y < m->Height() && (m->At(x, y) & 0x00FFFFFFu) == 0x00FFFFFFu;
    });
}

int ImageList_AddMasked(HIMAGELIST h, HBITMAP image, COLORREF key) {
    ImageListObject* l = Find(h);
    Surface* s = SurfaceOfBitmap(image);
    if (!l || !s)
        return -1;
    const std::uint32_t keyPx = PixelFromColor(key) & 0x00FFFFFFu;
    return Append(*l, *s, [&](int x, int y) { return (s->At(x, y) & 0x00FFFFFFu) == keyPx; });
}

BOOL ImageList_Remove(HIMAGELIST h, int index) {
    ImageListObject* l = Find(h);
    if (!l || index >= l->count || index < -1)
        return FALSE;
    if (index == -1) {
        l->count = 0;
        return TRUE;
    }
    for (int y = 0; y < l->cy; ++y) {
        std::uint32_t* row = l->images->Row(y);
        std::copy(row + (index + 1) * l->cx, row + l->count * l->cx, row + index * l->cx);
        for (int x = index * l->cx; x < (l->count - 1) * l->cx; ++x)
            l->Mask(x, y) = l->Mask(x + l->cx, y);
    }
    --l->count;
    return TRUE;
}

BOOL ImageList_DrawEx(HIMAGELIST h, int index, HDC hdc, int x, int y, int dx, int dy, COLORREF bk,
                      COLORREF fg, UINT style) {
    ImageListObject* l = Find(h);
    DeviceContext* dc = FindDC(hdc);
    if (!l || !dc || !dc->surface || index < 0 || index >= l->count)
        return FALSE;
    const int w = dx > 0 ? std::min(dx, l->cx) : l->cx;
    const int ht = dy > 0 ? std::min(dy, l->cy) : l->cy;
    if (bk == CLR_DEFAULT)
        bk = l->background;
    // A masked list draws transparently unless it has a background colour.
    const bool transparent = (l->flags & ILC_MASK) && (bk == CLR_NONE || (style & ILD_TRANSPARENT));
    const std::uint32_t bkPx = PixelFromColor(bk);
    const COLORREF blendColor = fg == CLR_DEFAULT || fg == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : fg;
    const int blend = (style & ILD_BLEND50) ? 128 : (style & ILD_BLEND25) ? 64 : 0;
    const std::uint32_t bc = PixelFromColor(blendColor);
    const pixman_region32_t& clip = dc->Effective();
    const int sx = dc->SX(x), sy = dc->SY(y);
    for (int yy = 0; yy < ht; ++yy) {
        for (int xx = 0; xx < w; ++xx) {
            const int px = sx + xx, py = sy + yy;
            if (!pixman_region32_contains_point(const_cast<pixman_region32_t*>(&clip), px, py, nullptr))
                continue;
            const int ix = index * l->cx + xx;
            const bool masked = (l->flags & ILC_MASK) && l->Mask(ix, yy);
            std::uint32_t p;
            if (style & ILD_MASK) {
                p = masked ? 0xFFFFFFFFu : 0xFF000000u;
            } else if (masked) {
                if (transparent)
                    continue;
                p = bkPx;
            } else {
                p = l->images->At(ix, yy);
                if (blend) {
                    auto mix = [&](int shift) {
                        const int a = (p >> shift) & 0xFF, b = (bc >> shift) & 0xFF;
                        return static_cast<std::uint32_t>((a * (255 - blend) + b * blend) / 255) << shift;
                    };
                    p = 0xFF000000u | mix(16) | mix(8) | mix(0);
                }
            }
            dc->surface->At(px, py) = p;
        }
    }
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST h, int index, HDC hdc, int x, int y, UINT style) {
    return ImageList_DrawEx(h, index, hdc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

int ImageList_GetImageCount(HIMAGELIST h) {
    ImageListObject* l = Find(h);
    return l ? l->count : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST h, int* cx, int* cy) {
    ImageListObject* l = Find(h);
    if (!l || !cx || !cy)
        return FALSE;
    *cx = l->cx;
    *cy = l->cy;
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST h, COLORREF c) {
    ImageListObject* l = Find(h);
    if (!l)
        return CLR_NONE;
    return std::exchange(l->background, c);
}

COLORREF ImageList_GetBkColor(HIMAGELIST h) {
    ImageListObject* l = Find(h);
    return l ? l->background : CLR_NONE;
}
