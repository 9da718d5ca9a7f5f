// Copies between surfaces: plain, stretched (filtered through pixman) and
// transparent, plus the pattern-only raster operations.
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "platform/ui/gdi/Raster.h"

using namespace ob::ui;

namespace {

// Narrows a w x h block at surface (dx,dy) <- (sx,sy) to the part inside the
// source surface and the destination's clip extents. False when nothing is
// left. Works in 64 bits, so any int the caller passes is safe.
bool FitBlock(DeviceContext& d, const Surface& src, int& dx, int& dy, int& w, int& h, int& sx, int& sy) {
    const pixman_box32_t* e = pixman_region32_extents(const_cast<pixman_region32_t*>(&d.Effective()));
    long long x0 = dx, y0 = dy, s0 = sx, t0 = sy, x1 = x0 + w, y1 = y0 + h;
    auto cutLeft = [](long long& a, long long& b, long long limit) {
        if (a < limit) {
            b += limit - a;
            a = limit;
        }
    };
    cutLeft(s0, x0, 0);
    cutLeft(t0, y0, 0);
    cutLeft(x0, s0, e->x1);
    cutLeft(y0, t0, e->y1);
    x1 = std::min({x1, static_cast<long long>(e->x2), x0 + (src.Width() - s0)});
    y1 = std::min({y1, static_cast<long long>(e->y2), y0 + (src.Height() - t0)});
    if (x1 <= x0 || y1 <= y0)
        return false;
    dx = static_cast<int>(x0);
    dy = static_cast<int>(y0);
    sx = static_cast<int>(s0);
    sy = static_cast<int>(t0);
    w = static_cast<int>(x1 - x0);
    h = static_cast<int>(y1 - y0);
    return true;
}

// Runs `fn(destRow, srcRow, count)` over the part of the w x h block at
// surface (dx,dy) <- (sx,sy) that lies inside both surfaces and the clip.
template <class Fn>
void ForEachSpan(DeviceContext& d, Surface& src, int dx, int dy, int w, int h, int sx, int sy, Fn fn) {
    if (!FitBlock(d, src, dx, dy, w, h, sx, sy))
        return;
    const pixman_region32_t& clip = d.Effective();
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(&clip), &n);
    for (int i = 0; i < n; ++i) {
        const int x1 = std::max(dx, boxes[i].x1), x2 = std::min(dx + w, boxes[i].x2);
        const int y1 = std::max(dy, boxes[i].y1), y2 = std::min(dy + h, boxes[i].y2);
        if (x1 >= x2)
            continue;
        for (int y = y1; y < y2; ++y)
            fn(d.surface->Row(y) + x1, src.Row(y - dy + sy) + (x1 - dx + sx), x2 - x1);
    }
}

std::uint32_t ApplyRop(DWORD rop, std::uint32_t d, std::uint32_t s, std::uint32_t pat) {
    std::uint32_t r;
    switch (rop) {
    case SRCPAINT: r = d | s; break;
    case SRCAND: r = d & s; break;
    case SRCINVERT: r = d ^ s; break;
    case SRCERASE: r = s & ~d; break;
    case NOTSRCCOPY: r = ~s; break;
    case MERGECOPY: r = s & pat; break;
    default: r = s; break;
    }
    return r | 0xFF000000u;
}

// A copy to read from while the same surface is written; null when there is
// no memory for it, and the blit then fails as the real one would.
std::unique_ptr<Surface> ScratchSurface(int w, int h) {
    try {
        return std::make_unique<Surface>(w, h);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !dc->surface)
        return FALSE;
    // A negative size extends left or up from the point; worked out in 64
    // bits, so no int the caller passes can overflow.
    long long left = x, top = y, width = w, height = h;
    if (width < 0) {
        left += width;
        width = -width;
    }
    if (height < 0) {
        top += height;
        height = -height;
    }
    const int sx = DeviceContext::Clamp(left + dc->origin.x + dc->viewport.x);
    const int sy = DeviceContext::Clamp(top + dc->origin.y + dc->viewport.y);
    w = DeviceContext::Clamp(left + width + dc->origin.x + dc->viewport.x) - sx;
    h = DeviceContext::Clamp(top + height + dc->origin.y + dc->viewport.y) - sy;
    const pixman_region32_t& clip = dc->Effective();
    COLORREF brush = 0;
    const bool hasBrush = CurrentBrushColor(*dc, brush);
    switch (rop) {
    case BLACKNESS: FillBox(*dc->surface, clip, sx, sy, sx + w, sy + h, 0xFF000000u); return TRUE;
    case WHITENESS: FillBox(*dc->surface, clip, sx, sy, sx + w, sy + h, 0xFFFFFFFFu); return TRUE;
    case PATCOPY:
        if (hasBrush)
            FillBox(*dc->surface, clip, sx, sy, sx + w, sy + h, PixelFromColor(brush));
        return TRUE;
    case DSTINVERT:
    case PATINVERT: {
        const std::uint32_t mask = rop == DSTINVERT ? 0x00FFFFFFu : (PixelFromColor(brush) & 0x00FFFFFFu);
        if (rop == PATINVERT && !hasBrush)
            return TRUE;
        ForEachSpan(*dc, *dc->surface, sx, sy, w, h, sx, sy, [&](std::uint32_t* d, std::uint32_t*, int n) {
            for (int i = 0; i < n; ++i)
                d[i] ^= mask;
        });
        return TRUE;
    }
    default: return FALSE;
    }
}

BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    DeviceContext* d = FindDC(dest);
    if (!d || !d->surface)
        return FALSE;
    if (rop == BLACKNESS || rop == WHITENESS || rop == PATCOPY || rop == DSTINVERT || rop == PATINVERT)
        return PatBlt(dest, x, y, w, h, rop);
    DeviceContext* s = FindDC(src);
    if (!s || !s->surface)
        return FALSE;
    if (rop != SRCCOPY && rop != SRCPAINT && rop != SRCAND && rop != SRCINVERT && rop != SRCERASE &&
        rop != NOTSRCCOPY && rop != MERGECOPY)
        return FALSE;
    if (w <= 0 || h <= 0)
        return TRUE;
    int dx = d->SX(x), dy = d->SY(y);
    int ssx = s->SX(sx), ssy = s->SY(sy);
    Surface* from = s->surface;
    if (!FitBlock(*d, *from, dx, dy, w, h, ssx, ssy))
        return TRUE;
    // Copying within one surface (scrolling) must read before it writes.
    std::unique_ptr<Surface> copy;
    int csx = ssx, csy = ssy;
    if (from == d->surface) {
        copy = ScratchSurface(w, h);
        if (!copy)
            return FALSE;
        for (int yy = 0; yy < h; ++yy)
            std::copy(from->Row(ssy + yy) + ssx, from->Row(ssy + yy) + ssx + w, copy->Row(yy));
        from = copy.get();
        csx = 0;
        csy = 0;
    }
    COLORREF pat = 0;
    CurrentBrushColor(*d, pat);
    const std::uint32_t patPx = PixelFromColor(pat);
    if (rop == SRCCOPY) {
        if (!d->surface->HasAlpha() || from->HasAlpha()) {
            // An opaque destination ignores alpha, so a plain copy will do.
            ForEachSpan(*d, *from, dx, dy, w, h, csx, csy,
                        [](std::uint32_t* out, std::uint32_t* in, int n) { std::copy(in, in + n, out); });
        } else {
            ForEachSpan(*d, *from, dx, dy, w, h, csx, csy, [](std::uint32_t* out, std::uint32_t* in, int n) {
                for (int i = 0; i < n; ++i)
                    out[i] = in[i] | 0xFF000000u;
            });
        }
        return TRUE;
    }
    ForEachSpan(*d, *from, dx, dy, w, h, csx, csy, [&](std::uint32_t* out, std::uint32_t* in, int n) {
        for (int i = 0; i < n; ++i)
            out[i] = ApplyRop(rop, out[i], in[i], patPx);
    });
    return TRUE;
}

BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
    if (w == sw && h == sh)
        return BitBlt(dest, x, y, w, h, src, sx, sy, rop);
    DeviceContext* d = FindDC(dest);
    DeviceContext* s = FindDC(src);
    if (!d || !s || !d->surface || !s->surface)
        return FALSE;
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return FALSE;  // mirroring is not supported
    if (rop != SRCCOPY)
        return FALSE;
    Surface* from = s->surface;
    std::unique_ptr<Surface> copy;
    if (from == d->surface) {
        copy = ScratchSurface(from->Width(), from->Height());
        if (!copy)
            return FALSE;
        for (int yy = 0; yy < from->Height(); ++yy)
            std::copy(from->Row(yy), from->Row(yy) + from->Width(), copy->Row(yy));
        from = copy.get();
    }
    pixman_image_t* srcImg = from->Image();
    // pixman's 16.16 fixed point ends below 32768; a larger factor could not
    // be converted, and shrinks a source far wider than any drawn here anyway.
    const double fx = std::min(static_cast<double>(sw) / w, 32767.0);
    const double fy = std::min(static_cast<double>(sh) / h, 32767.0);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(fx), pixman_double_to_fixed(fy));
    pixman_transform_translate(&t, nullptr, pixman_int_to_fixed(s->SX(sx)), pixman_int_to_fixed(s->SY(sy)));
    pixman_image_set_transform(srcImg, &t);
    pixman_image_set_repeat(srcImg, PIXMAN_REPEAT_PAD);
    pixman_fixed_t* params = nullptr;
    int nParams = 0;
    if (d->stretchMode == COLORONCOLOR) {
        pixman_image_set_filter(srcImg, PIXMAN_FILTER_NEAREST, nullptr, 0);
    } else if (fx > 1.5 || fy > 1.5) {
        // Shrinking a lot: average every source pixel under the destination
        // pixel (an axis that grows interpolates linearly). Milder shrinking,
        // like the map's 640 to 480, is sharp and fast enough bilinear.
        // The averaging never needs to reach past the whole source, and a
        // wider kernel for an absurd factor would only eat memory.
        const bool shrinkX = fx > 1.0, shrinkY = fy > 1.0;
        const double kx =
            shrinkX ? std::min(fx, std::clamp(static_cast<double>(from->Width()), 2.0, 4096.0)) : 1.0;
        const double ky =
            shrinkY ? std::min(fy, std::clamp(static_cast<double>(from->Height()), 2.0, 4096.0)) : 1.0;
        params = pixman_filter_create_separable_convolution(
            &nParams, pixman_double_to_fixed(kx), pixman_double_to_fixed(ky),
            shrinkX ? PIXMAN_KERNEL_BOX : PIXMAN_KERNEL_LINEAR,
            shrinkY ? PIXMAN_KERNEL_BOX : PIXMAN_KERNEL_LINEAR,
            shrinkX ? PIXMAN_KERNEL_BOX : PIXMAN_KERNEL_IMPULSE,
            shrinkY ? PIXMAN_KERNEL_BOX : PIXMAN_KERNEL_IMPULSE, 4, 4);
        pixman_image_set_filter(srcImg, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, nParams);
    } else {
        pixman_image_set_filter(srcImg, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    }
    pixman_image_t* dstImg = d->surface->Image();
    pixman_image_set_clip_region32(dstImg, const_cast<pixman_region32_t*>(&d->Effective()));
    pixman_image_composite32(PIXMAN_OP_SRC, srcImg, nullptr, dstImg, 0, 0, 0, 0, d->SX(x), d->SY(y), w, h);
    pixman_image_set_clip_region32(dstImg, nullptr);
    pixman_image_set_transform(srcImg, nullptr);
    pixman_image_set_filter(srcImg, PIXMAN_FILTER_NEAREST, nullptr, 0);
    pixman_image_set_repeat(srcImg, PIXMAN_REPEAT_NONE);
    free(params);
    return TRUE;
}

namespace {

BOOL TransparentCopy(DeviceContext* d, int x, int y, int w, int h, Surface& src, int sx, int sy, int sw,
                     int sh, COLORREF key) {
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return FALSE;
    const std::uint32_t keyPx = PixelFromColor(key) & 0x00FFFFFFu;
    const pixman_region32_t& clip = d->Effective();
    const int dx = d->SX(x), dy = d->SY(y);
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(&clip), &n);
    for (int i = 0; i < n; ++i) {
        const int x1 = std::max(dx, boxes[i].x1);
        const int x2 =
            static_cast<int>(std::min(static_cast<long long>(dx) + w, static_cast<long long>(boxes[i].x2)));
        const int y1 = std::max(dy, boxes[i].y1);
        const int y2 =
            static_cast<int>(std::min(static_cast<long long>(dy) + h, static_cast<long long>(boxes[i].y2)));
        for (int yy = y1; yy < y2; ++yy) {
            // Nearest sampling keeps the key colour exact when stretching.
            const int srow = sy + static_cast<int>((static_cast<long long>(yy - dy) * sh) / h);
            if (srow < 0 || srow >= src.Height())
                continue;
            const std::uint32_t* in = src.Row(srow);
            std::uint32_t* out = d->surface->Row(yy);
            for (int xx = x1; xx < x2; ++xx) {
                const int scol = sx + static_cast<int>((static_cast<long long>(xx - dx) * sw) / w);
                if (scol < 0 || scol >= src.Width())
                    continue;
                const std::uint32_t p = in[scol];
                if ((p & 0x00FFFFFFu) != keyPx)
                    out[xx] = p | 0xFF000000u;
            }
        }
    }
    return TRUE;
}

}  // namespace

BOOL TransparentBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, UINT key) {
    DeviceContext* d = FindDC(dest);
    DeviceContext* s = FindDC(src);
    if (!d || !s || !d->surface || !s->surface)
        return FALSE;
    if (s->surface == d->surface)
        return FALSE;
    return TransparentCopy(d, x, y, w, h, *s->surface, s->SX(sx), s->SY(sy), sw, sh, key);
}

BOOL TransparentImage(HDC dest, int x, int y, int w, int h, HANDLE src, int sx, int sy, int sw, int sh,
                      COLORREF key) {
    DeviceContext* d = FindDC(dest);
    if (!d || !d->surface)
        return FALSE;
    // The source may be a DC or a bitmap.
    if (DeviceContext* s = FindDC(static_cast<HDC>(src))) {
        if (!s->surface || s->surface == d->surface)
            return FALSE;
        return TransparentCopy(d, x, y, w, h, *s->surface, s->SX(sx), s->SY(sy), sw, sh, key);
    }
    if (Surface* s = SurfaceOfBitmap(static_cast<HBITMAP>(src)))
        return TransparentCopy(d, x, y, w, h, *s, sx, sy, sw, sh, key);
    return FALSE;
}
