// Rectangle arithmetic. Empty means no area (right <= left or bottom <= top).
#include <algorithm>
#include <cstdint>

#include "platform/ui/Gdi.h"

namespace {

// Moving or growing a rectangle past int's range stops at the range's end
// instead of wrapping round to the other side.
int Saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

BOOL SetRect(LPRECT r, int left, int top, int right, int bottom) {
    if (!r)
        return FALSE;
    *r = {left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT r) { return SetRect(r, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT d, const RECT* s) {
    if (!d || !s)
        return FALSE;
    *d = *s;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }

BOOL InflateRect(LPRECT r, int dx, int dy) {
    if (!r)
        return FALSE;
    r->left = Saturate(static_cast<long long>(r->left) - dx);
    r->right = Saturate(static_cast<long long>(r->right) + dx);
    r->top = Saturate(static_cast<long long>(r->top) - dy);
    r->bottom = Saturate(static_cast<long long>(r->bottom) + dy);
    return TRUE;
}

BOOL OffsetRect(LPRECT r, int dx, int dy) {
    if (!r)
        return FALSE;
    r->left = Saturate(static_cast<long long>(r->left) + dx);
    r->right = Saturate(static_cast<long long>(r->right) + dx);
    r->top = Saturate(static_cast<long long>(r->top) + dy);
    r->bottom = Saturate(static_cast<long long>(r->bottom) + dy);
    return TRUE;
}

BOOL IntersectRect(LPRECT d, const RECT* a, const RECT* b) {
    if (!d || !a || !b)
        return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *d = {0, 0, 0, 0};
        return FALSE;
    }
    *d = r;
    return TRUE;
}

BOOL UnionRect(LPRECT d, const RECT* a, const RECT* b) {
    if (!d || !a || !b)
        return FALSE;
    if (IsRectEmpty(a) && IsRectEmpty(b)) {
        *d = {0, 0, 0, 0};
        return FALSE;
    }
    if (IsRectEmpty(a)) {
        *d = *b;
        return TRUE;
    }
    if (IsRectEmpty(b)) {
        *d = *a;
        return TRUE;
    }
    *d = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
          std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL SubtractRect(LPRECT d, const RECT* a, const RECT* b) {
    if (!d || !a || !b)
        return FALSE;
    RECT r = *a;
    RECT i;
    if (IntersectRect(&i, a, b)) {
        // Only a cut across a whole side leaves a rectangle.
        if (i.left == r.left && i.right == r.right) {
            if (i.top == r.top)
                r.top = i.bottom;
            else if (i.bottom == r.bottom)
                r.bottom = i.top;
        } else if (i.top == r.top && i.bottom == r.bottom) {
            if (i.left == r.left)
                r.left = i.right;
            else if (i.right == r.right)
                r.right = i.left;
        }
    }
    if (IsRectEmpty(&r)) {
        *d = {0, 0, 0, 0};
        return FALSE;
    }
    *d = r;
    return TRUE;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* r, POINT p) {
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
