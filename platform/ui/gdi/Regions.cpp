// Regions over pixman, and the clip region of a device context.
#include <algorithm>

#include "platform/ui/gdi/DeviceContext.h"

using namespace ob::ui;

namespace {

int Complexity(const pixman_region32_t* r) {
    int n = pixman_region32_n_rects(const_cast<pixman_region32_t*>(r));
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void InitRect(pixman_region32_t* r, int l, int t, int rr, int b) {
    // Reversed corners name the same rectangle, as on the device.
    if (l > rr)
        std::swap(l, rr);
    if (t > b)
        std::swap(t, b);
    // Keep widths representable: nothing beyond 2^29 pixels is ever drawn.
    auto pull = [](int v) { return std::clamp(v, -(1 << 29), 1 << 29); };
    l = pull(l);
    rr = pull(rr);
    t = pull(t);
    b = pull(b);
    if (l == rr || t == b)
        pixman_region32_init(r);
    else
        pixman_region32_init_rect(r, l, t, static_cast<unsigned>(rr - l), static_cast<unsigned>(b - t));
}

// Applies `mode` with `src` (device coordinates) to the DC's clip region.
int CombineClip(DeviceContext* dc, const pixman_region32_t* src, int mode) {
    if (!dc->hasClip) {
        // No clip yet means "everything": start from the device's extent.
        pixman_region32_fini(&dc->clip);
        pixman_region32_init_rect(&dc->clip, -dc->origin.x, -dc->origin.y,
                                  dc->surface ? dc->surface->Width() : 0,
                                  dc->surface ? dc->surface->Height() : 0);
    }
    auto* s = const_cast<pixman_region32_t*>(src);
    switch (mode) {
    case RGN_AND: pixman_region32_intersect(&dc->clip, &dc->clip, s); break;
    case RGN_OR: pixman_region32_union(&dc->clip, &dc->clip, s); break;
    case RGN_DIFF: pixman_region32_subtract(&dc->clip, &dc->clip, s); break;
    case RGN_XOR: {
        pixman_region32_t a, b;
        pixman_region32_init(&a);
        pixman_region32_init(&b);
        pixman_region32_subtract(&a, &dc->clip, s);
        pixman_region32_subtract(&b, s, &dc->clip);
        pixman_region32_union(&dc->clip, &a, &b);
        pixman_region32_fini(&a);
        pixman_region32_fini(&b);
        break;
    }
    case RGN_COPY: pixman_region32_copy(&dc->clip, s); break;
    default: return ERROR;
    }
    dc->hasClip = true;
    dc->Invalidate();
    return Complexity(&dc->Effective());
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto r = std::make_unique<RegionObject>();
    pixman_region32_fini(&r->region);
    InitRect(&r->region, left, top, right, bottom);
    return AddObject(std::move(r));
}

HRGN CreateRectRgnIndirect(const RECT* rc) {
    return rc ? CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom) : nullptr;
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
    RegionObject* r = FindRegion(rgn);
    if (!r)
        return FALSE;
    pixman_region32_fini(&r->region);
    InitRect(&r->region, left, top, right, bottom);
    return TRUE;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
    RegionObject* d = FindRegion(dest);
    RegionObject* a = FindRegion(src1);
    RegionObject* b = mode == RGN_COPY ? a : FindRegion(src2);
    if (!d || !a || !b)
        return ERROR;
    switch (mode) {
    case RGN_AND: pixman_region32_intersect(&d->region, &a->region, &b->region); break;
    case RGN_OR: pixman_region32_union(&d->region, &a->region, &b->region); break;
    case RGN_DIFF: pixman_region32_subtract(&d->region, &a->region, &b->region); break;
    case RGN_COPY: pixman_region32_copy(&d->region, &a->region); break;
    case RGN_XOR: {
        pixman_region32_t x, y;
        pixman_region32_init(&x);
        pixman_region32_init(&y);
        pixman_region32_subtract(&x, &a->region, &b->region);
        pixman_region32_subtract(&y, &b->region, &a->region);
        pixman_region32_union(&d->region, &x, &y);
        pixman_region32_fini(&x);
        pixman_region32_fini(&y);
        break;
    }
    default: return ERROR;
    }
    return Complexity(&d->region);
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
    RegionObject* r = FindRegion(rgn);
    if (!r)
        return ERROR;
    pixman_region32_translate(&r->region, dx, dy);
    return Complexity(&r->region);
}

int GetRgnBox(HRGN rgn, LPRECT rc) {
    RegionObject* r = FindRegion(rgn);
    if (!r || !rc)
        return ERROR;
    const pixman_box32_t* e = pixman_region32_extents(&r->region);
    if (!pixman_region32_not_empty(&r->region))
        *rc = {0, 0, 0, 0};
    else
        *rc = {e->x1, e->y1, e->x2, e->y2};
    return Complexity(&r->region);
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
    RegionObject* r = FindRegion(rgn);
    return r && pixman_region32_contains_point(&r->region, x, y, nullptr);
}

BOOL RectInRegion(HRGN rgn, const RECT* rc) {
    RegionObject* r = FindRegion(rgn);
    if (!r || !rc)
        return FALSE;
    pixman_region32_t probe;
    InitRect(&probe, rc->left, rc->top, rc->right, rc->bottom);
    pixman_region32_intersect(&probe, &probe, &r->region);
    const bool hit = pixman_region32_not_empty(&probe);
    pixman_region32_fini(&probe);
    return hit;
}

BOOL EqualRgn(HRGN a, HRGN b) {
    RegionObject* x = FindRegion(a);
    RegionObject* y = FindRegion(b);
    if (!x || !y)
        return ERROR;
    return pixman_region32_equal(&x->region, &y->region);
}

int SelectClipRgn(HDC hdc, HRGN rgn) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return ERROR;
    if (!rgn) {
        dc->hasClip = false;
        dc->Invalidate();
        return Complexity(&dc->Effective());
    }
    RegionObject* r = FindRegion(rgn);
    if (!r)
        return ERROR;
    pixman_region32_copy(&dc->clip, &r->region);  // the DC keeps its own copy
    dc->hasClip = true;
    dc->Invalidate();
    return Complexity(&dc->Effective());
}

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return ERROR;
    if (!rgn)
        return mode == RGN_COPY ? SelectClipRgn(hdc, nullptr) : ERROR;
    RegionObject* r = FindRegion(rgn);
    if (!r)
        return ERROR;
    return CombineClip(dc, &r->region, mode);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return ERROR;
    pixman_region32_t r;
    InitRect(&r, left + dc->viewport.x, top + dc->viewport.y, right + dc->viewport.x,
             bottom + dc->viewport.y);
    int result = CombineClip(dc, &r, RGN_AND);
    pixman_region32_fini(&r);
    return result;
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return ERROR;
    pixman_region32_t r;
    InitRect(&r, left + dc->viewport.x, top + dc->viewport.y, right + dc->viewport.x,
             bottom + dc->viewport.y);
    int result = CombineClip(dc, &r, RGN_DIFF);
    pixman_region32_fini(&r);
    return result;
}

int GetClipBox(HDC hdc, LPRECT rc) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !rc)
        return ERROR;
    const pixman_region32_t& e = dc->Effective();
    if (!pixman_region32_not_empty(const_cast<pixman_region32_t*>(&e))) {
        *rc = {0, 0, 0, 0};
        return NULLREGION;
    }
    const pixman_box32_t* b = pixman_region32_extents(const_cast<pixman_region32_t*>(&e));
    const int dx = dc->origin.x + dc->viewport.x, dy = dc->origin.y + dc->viewport.y;
    *rc = {b->x1 - dx, b->y1 - dy, b->x2 - dx, b->y2 - dy};
    return Complexity(&e);
}

int GetClipRgn(HDC hdc, HRGN rgn) {
    DeviceContext* dc = FindDC(hdc);
    RegionObject* r = FindRegion(rgn);
    if (!dc || !r)
        return -1;
    if (!dc->hasClip)
        return 0;
    pixman_region32_copy(&r->region, &dc->clip);
    return 1;
}
