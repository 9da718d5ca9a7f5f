// The drawing core's region value: a pixman region that cleans up after
// itself and copies as a value.
#pragma once

#include <pixman.h>

#include "platform/ui/WinTypes.h"

namespace ob::ui {

// A pixman region that cleans up after itself.
class Region {
public:
    Region() { pixman_region32_init(&m_r); }
    explicit Region(const RECT& rc) {
        pixman_region32_init_rect(&m_r, rc.left, rc.top, rc.right > rc.left ? rc.right - rc.left : 0,
                                  rc.bottom > rc.top ? rc.bottom - rc.top : 0);
    }
    Region(const Region& o) {
        pixman_region32_init(&m_r);
        pixman_region32_copy(&m_r, const_cast<pixman_region32_t*>(&o.m_r));
    }
    Region& operator=(const Region& o) {
        if (this != &o)
            pixman_region32_copy(&m_r, const_cast<pixman_region32_t*>(&o.m_r));
        return *this;
    }
    ~Region() { pixman_region32_fini(&m_r); }
    pixman_region32_t* get() { return &m_r; }
    const pixman_region32_t* get() const { return &m_r; }
    bool Empty() const { return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&m_r)); }
    void Clear() { pixman_region32_clear(&m_r); }
    void Add(const RECT& rc) {
        Region o(rc);
        pixman_region32_union(&m_r, &m_r, o.get());
    }
    void Add(const Region& o) { pixman_region32_union(&m_r, &m_r, const_cast<pixman_region32_t*>(o.get())); }
    void Subtract(const RECT& rc) {
        Region o(rc);
        pixman_region32_subtract(&m_r, &m_r, o.get());
    }
    void Subtract(const Region& o) {
        pixman_region32_subtract(&m_r, &m_r, const_cast<pixman_region32_t*>(o.get()));
    }
    void Intersect(const RECT& rc) {
        Region o(rc);
        pixman_region32_intersect(&m_r, &m_r, o.get());
    }
    void Intersect(const Region& o) {
        pixman_region32_intersect(&m_r, &m_r, const_cast<pixman_region32_t*>(o.get()));
    }
    void Offset(int dx, int dy) { pixman_region32_translate(&m_r, dx, dy); }
    RECT Bounds() const {
        const pixman_box32_t* b = pixman_region32_extents(const_cast<pixman_region32_t*>(&m_r));
        if (Empty())
            return RECT{0, 0, 0, 0};
        return RECT{b->x1, b->y1, b->x2, b->y2};
    }
    bool Contains(POINT p) const {
        return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&m_r), p.x, p.y, nullptr);
    }

private:
    pixman_region32_t m_r;
};

}  // namespace ob::ui
