// Fills, lines, rectangles, ellipses and polygons. Lines and ellipses are
// aliased, as the device drew them: Bresenham lines that leave out their last
// point, ellipses by pixel centres inside the bounding box.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/ui/gdi/Raster.h"

using namespace ob::ui;

namespace {

struct Painter {
    DeviceContext& dc;
    Surface& s;
    const pixman_region32_t& clip;
    explicit Painter(DeviceContext& d) : dc(d), s(*d.surface), clip(d.Effective()) {}
};

// Strokes from (x0,y0) towards (x1,y1) in surface coordinates, leaving out
// the end point. `phase` carries the dash pattern across segments.
// Cuts a long segment down to the part near the clip, so that a line to a
// far-off point costs no more than one across the screen.
void ClipLong(const pixman_region32_t& clip, int width, int& x0, int& y0, int& x1, int& y1) {
    if (std::max(std::abs(x1 - x0), std::abs(y1 - y0)) <= 4096)
        return;
    const pixman_box32_t* e = pixman_region32_extents(const_cast<pixman_region32_t*>(&clip));
    const double xmin = e->x1 - width - 1, xmax = e->x2 + width + 1, ymin = e->y1 - width - 1,
                 ymax = e->y2 + width + 1;
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - xmin, xmax - x0, y0 - ymin, ymax - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                t0 = 2;  // parallel and outside
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1) {
        x1 = x0;  // nothing of it is visible
        y1 = y0;
        return;
    }
    const int nx0 = static_cast<int>(std::lround(x0 + t0 * dx)),
              ny0 = static_cast<int>(std::lround(y0 + t0 * dy));
    const int nx1 = static_cast<int>(std::lround(x0 + t1 * dx)),
              ny1 = static_cast<int>(std::lround(y0 + t1 * dy));
    x0 = nx0;
    y0 = ny0;
    x1 = nx1;
    y1 = ny1;
}

void StrokeLine(Painter& p, int x0, int y0, int x1, int y1, std::uint32_t pixel, int width, UINT style,
                int& phase) {
    ClipLong(p.clip, width, x0, y0, x1, y1);
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    const int lo = -(width - 1) / 2, hi = width / 2 + 1;
    while (!(x0 == x1 && y0 == y1)) {
        bool on = true;
        if (style == PS_DASH)
            on = (phase % 8) < 6;
        else if (style == PS_DOT)
            on = (phase % 2) == 0;
        ++phase;
        if (on) {
            if (width == 1)
                PlotPixel(p.s, p.clip, x0, y0, pixel);
            else
                FillBox(p.s, p.clip, x0 + lo, y0 + lo, x0 + hi, y0 + hi, pixel);
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// The pixel span [x1,x2) of row y inside the ellipse bounded by the box.
bool EllipseSpan(double l, double t, double r, double b, int y, int& x1, int& x2) {
    const double a = (r - l) / 2, bb = (b - t) / 2;
    if (a <= 0 || bb <= 0)
        return false;
    const double cx = (l + r) / 2, cy = (t + b) / 2;
    const double py = (y + 0.5 - cy) / bb;
    if (py <= -1 || py >= 1)
        return false;
    const double dx = a * std::sqrt(1 - py * py);
    x1 = static_cast<int>(std::ceil(cx - dx - 0.5));
    x2 = static_cast<int>(std::floor(cx + dx - 0.5)) + 1;
    return x1 < x2;
}

void Normalise(int& l, int& t, int& r, int& b) {
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
}

}  // namespace

int FillRect(HDC hdc, const RECT* rc, HBRUSH brush) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !rc || !dc->surface)
        return 0;
    BrushObject* b = ResolveBrush(brush);
    if (!b)
        return FindBrush(brush) ? 1 : 0;  // a hollow brush paints nothing and succeeds
    const COLORREF c = brush == GetStockObject(DC_BRUSH) ? dc->dcBrushColor : BrushColor(*b);
    Painter p(*dc);
    FillBox(p.s, p.clip, dc->SX(rc->left), dc->SY(rc->top), dc->SX(rc->right), dc->SY(rc->bottom),
            PixelFromColor(c));
    return 1;
}

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
    DeviceContext* dc = FindDC(hdc);
    RegionObject* r = FindRegion(rgn);
    BrushObject* b = ResolveBrush(brush);
    if (!dc || !r || !b || !dc->surface)
        return FALSE;
    Painter p(*dc);
    int n = 0;
    pixman_box32_t* boxes = pixman_region32_rectangles(&r->region, &n);
    for (int i = 0; i < n; ++i)
        FillBox(p.s, p.clip, dc->SX(boxes[i].x1), dc->SY(boxes[i].y1), dc->SX(boxes[i].x2),
                dc->SY(boxes[i].y2), PixelFromColor(BrushColor(*b)));
    return TRUE;
}

int FrameRect(HDC hdc, const RECT* rc, HBRUSH brush) {
    DeviceContext* dc = FindDC(hdc);
    BrushObject* b = ResolveBrush(brush);
    if (!dc || !rc || !b || !dc->surface)
        return 0;
    if (rc->right <= rc->left || rc->bottom <= rc->top)
        return 1;
    Painter p(*dc);
    const std::uint32_t px = PixelFromColor(BrushColor(*b));
    const int l = dc->SX(rc->left), t = dc->SY(rc->top), r = dc->SX(rc->right), bt = dc->SY(rc->bottom);
    FillBox(p.s, p.clip, l, t, r, t + 1, px);
    FillBox(p.s, p.clip, l, bt - 1, r, bt, px);
    FillBox(p.s, p.clip, l, t, l + 1, bt, px);
    FillBox(p.s, p.clip, r - 1, t, r, bt, px);
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rc) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !rc || !dc->surface)
        return FALSE;
    Painter p(*dc);
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(&p.clip), &n);
    const int l = dc->SX(rc->left), t = dc->SY(rc->top), r = dc->SX(rc->right), b = dc->SY(rc->bottom);
    for (int i = 0; i < n; ++i) {
        const int x1 = std::max(l, boxes[i].x1), x2 = std::min(r, boxes[i].x2);
        const int y1 = std::max(t, boxes[i].y1), y2 = std::min(b, boxes[i].y2);
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                p.s.At(x, y) ^= 0x00FFFFFFu;
    }
    return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rc) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !rc || !dc->surface)
        return FALSE;
    Painter p(*dc);
    // A dotted frame drawn by inversion, so drawing it twice removes it.
    const int l = dc->SX(rc->left), t = dc->SY(rc->top), r = dc->SX(rc->right) - 1,
              b = dc->SY(rc->bottom) - 1;
    auto flip = [&](int x, int y) {
        if (pixman_region32_contains_point(const_cast<pixman_region32_t*>(&p.clip), x, y, nullptr))
            p.s.At(x, y) ^= 0x00FFFFFFu;
    };
    // Only the dots inside the clip are walked (a far-off rectangle would
    // otherwise take millions of steps); the dots keep their phase.
    const pixman_box32_t* e = pixman_region32_extents(const_cast<pixman_region32_t*>(&p.clip));
    auto firstDot = [](int from, int lo) { return lo <= from ? from : from + (lo - from + 1) / 2 * 2; };
    for (int x = firstDot(l, e->x1); x <= std::min(r, e->x2 - 1); x += 2) {
        flip(x, t);
        if (b != t)
            flip(x, b);
    }
    for (int y = firstDot(t + 2, e->y1); y < std::min(b, e->y2); y += 2) {
        flip(l, y);
        if (r != l)
            flip(r, y);
    }
    return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->position;
    dc->position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !dc->surface)
        return FALSE;
    COLORREF color;
    int width;
    UINT style;
    if (CurrentPen(*dc, color, width, style)) {
        Painter p(*dc);
        int phase = 0;
        StrokeLine(p, dc->SX(dc->position.x), dc->SY(dc->position.y), dc->SX(x), dc->SY(y),
                   PixelFromColor(color), width, style, phase);
    }
    dc->position = {x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* pts, int count) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !pts || count < 2 || !dc->surface)
        return FALSE;
    COLORREF color;
    int width;
    UINT style;
    if (!CurrentPen(*dc, color, width, style))
        return TRUE;
    Painter p(*dc);
    int phase = 0;
    for (int i = 1; i < count; ++i)
        StrokeLine(p, dc->SX(pts[i - 1].x), dc->SY(pts[i - 1].y), dc->SX(pts[i].x), dc->SY(pts[i].y),
                   PixelFromColor(color), width, style, phase);
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* pts, int count) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !pts || count < 2 || !dc->surface)
        return FALSE;
    Painter p(*dc);
    COLORREF fill;
    if (CurrentBrushColor(*dc, fill) && count >= 3) {
        // Scanline fill sampling pixel centres, even-odd or winding.
        int ymin = pts[0].y, ymax = pts[0].y;
        for (int i = 1; i < count; ++i) {
            ymin = std::min<int>(ymin, pts[i].y);
            ymax = std::max<int>(ymax, pts[i].y);
        }
        std::vector<std::pair<double, int>> xs;
        const std::uint32_t px = PixelFromColor(fill);
        const pixman_box32_t* ext = pixman_region32_extents(const_cast<pixman_region32_t*>(&p.clip));
        ymin = std::max(ymin, ext->y1 - dc->SY(0));
        ymax = std::min(ymax, ext->y2 - dc->SY(0));
        for (int y = ymin; y < ymax; ++y) {
            const double sy = y + 0.5;
            xs.clear();
            for (int i = 0; i < count; ++i) {
                const POINT& a = pts[i];
                const POINT& b = pts[(i + 1) % count];
                if (a.y == b.y)
                    continue;
                const bool down = a.y < b.y;
                const double y0 = down ? a.y : b.y, y1 = down ? b.y : a.y;
                if (sy < y0 || sy >= y1)
                    continue;
                const double x =
                    a.x + (sy - a.y) * (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
                xs.push_back({x, down ? 1 : -1});
            }
            std::sort(xs.begin(), xs.end());
            int wind = 0;
            for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
                wind += xs[i].second;
                const bool inside = dc->polyFillMode == WINDING ? wind != 0 : (i % 2) == 0;
                if (!inside)
                    continue;
                auto toInt = [](double v) {
                    return static_cast<int>(std::clamp(std::ceil(v - 0.5), -1e8, 1e8));
                };
                const int x1 = toInt(xs[i].first);
                const int x2 = toInt(xs[i + 1].first);
                FillBox(p.s, p.clip, dc->SX(x1), dc->SY(y), dc->SX(x2), dc->SY(y) + 1, px);
            }
        }
    }
    COLORREF color;
    int width;
    UINT style;
    if (CurrentPen(*dc, color, width, style)) {
        int phase = 0;
        for (int i = 0; i < count; ++i) {
            const POINT& a = pts[i];
            const POINT& b = pts[(i + 1) % count];
            StrokeLine(p, dc->SX(a.x), dc->SY(a.y), dc->SX(b.x), dc->SY(b.y), PixelFromColor(color), width,
                       style, phase);
        }
    }
    return TRUE;
}

BOOL Rectangle(HDC hdc, int l, int t, int r, int b) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !dc->surface)
        return FALSE;
    Normalise(l, t, r, b);
    Painter p(*dc);
    COLORREF color;
    int width;
    UINT style;
    const bool pen = CurrentPen(*dc, color, width, style);
    COLORREF fill;
    const int L = dc->SX(l), T = dc->SY(t), R = dc->SX(r), B = dc->SY(b);
    if (!pen) {
        // Without a pen the filled area is one pixel smaller, as on the device.
        if (CurrentBrushColor(*dc, fill))
            FillBox(p.s, p.clip, L, T, R - 1, B - 1, PixelFromColor(fill));
        return TRUE;
    }
    // The frame lies inside the rectangle for inside-frame pens and is
    // centred on the one-pixel outline for the others.
    int ol = L, ot = T, orr = R, ob = B;
    if (style != PS_INSIDEFRAME && width > 1) {
        const int grow = (width - 1) / 2;
        ol -= grow;
        ot -= grow;
        orr += width / 2;
        ob += width / 2;
    }
    if (CurrentBrushColor(*dc, fill))
        FillBox(p.s, p.clip, ol + width, ot + width, orr - width, ob - width, PixelFromColor(fill));
    const std::uint32_t px = PixelFromColor(color);
    if (style == PS_SOLID || style == PS_INSIDEFRAME || width > 1) {
        FillBox(p.s, p.clip, ol, ot, orr, std::min(ob, ot + width), px);
        FillBox(p.s, p.clip, ol, std::max(ot, ob - width), orr, ob, px);
        FillBox(p.s, p.clip, ol, ot, std::min(orr, ol + width), ob, px);
        FillBox(p.s, p.clip, std::max(ol, orr - width), ot, orr, ob, px);
    } else {
        int phase = 0;
        StrokeLine(p, L, T, R - 1, T, px, 1, style, phase);
        StrokeLine(p, R - 1, T, R - 1, B - 1, px, 1, style, phase);
        StrokeLine(p, R - 1, B - 1, L, B - 1, px, 1, style, phase);
        StrokeLine(p, L, B - 1, L, T, px, 1, style, phase);
    }
    return TRUE;
}

BOOL RoundRect(HDC hdc, int l, int t, int r, int b, int w, int h) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !dc->surface)
        return FALSE;
    Normalise(l, t, r, b);
    w = static_cast<int>(std::min(std::abs(static_cast<long long>(w)), static_cast<long long>(r) - l));
    h = static_cast<int>(std::min(std::abs(static_cast<long long>(h)), static_cast<long long>(b) - t));
    if (w < 2 || h < 2)
        return Rectangle(hdc, l, t, r, b);
    Painter p(*dc);
    COLORREF color, fill;
    int width;
    UINT style;
    const bool pen = CurrentPen(*dc, color, width, style);
    const bool brush = CurrentBrushColor(*dc, fill);
    const int L = dc->SX(l), T = dc->SY(t), R = dc->SX(r), B = dc->SY(b);
    // Each row's span is the straight part joined to the corner ellipse's span.
    auto span = [&](int inset, int y, int& x1, int& x2) {
        const int l2 = L + inset, t2 = T + inset, r2 = R - inset, b2 = B - inset;
        if (y < t2 || y >= b2)
            return false;
        const int cw = std::max(0, w - 2 * inset), ch = std::max(0, h - 2 * inset);
        if (y >= t2 + ch / 2 && y < b2 - ch / 2) {
            x1 = l2;
            x2 = r2;
            return x1 < x2;
        }
        const int ey = y < t2 + ch / 2 ? y - t2 : y - (b2 - ch);
        int e1, e2;
        if (!EllipseSpan(0, 0, cw, ch, ey, e1, e2))
            return false;
        x1 = l2 + e1;
        x2 = r2 - (cw - e2);
        return x1 < x2;
    };
    const pixman_box32_t* ext = pixman_region32_extents(const_cast<pixman_region32_t*>(&p.clip));
    for (int y = std::max(T, ext->y1); y < std::min(B, ext->y2); ++y) {
        int o1, o2, i1, i2;
        if (!span(0, y, o1, o2))
            continue;
        const bool inner = pen ? span(width, y, i1, i2) : (i1 = o1, i2 = o2, true);
        if (brush && inner)
            FillBox(p.s, p.clip, i1, y, i2, y + 1, PixelFromColor(fill));
        if (pen) {
            if (inner) {
                FillBox(p.s, p.clip, o1, y, i1, y + 1, PixelFromColor(color));
                FillBox(p.s, p.clip, i2, y, o2, y + 1, PixelFromColor(color));
            } else {
                FillBox(p.s, p.clip, o1, y, o2, y + 1, PixelFromColor(color));
            }
        }
    }
    return TRUE;
}

BOOL Ellipse(HDC hdc, int l, int t, int r, int b) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !dc->surface)
        return FALSE;
    Normalise(l, t, r, b);
    Painter p(*dc);
    COLORREF color, fill;
    int width;
    UINT style;
    const bool pen = CurrentPen(*dc, color, width, style);
    const bool brush = CurrentBrushColor(*dc, fill);
    const double L = dc->SX(l), T = dc->SY(t), R = dc->SX(r), B = dc->SY(b);
    // The outline is the ring between the ellipse and the one inset by the
    // pen width, so it has no gaps whatever the curvature.
    const int w = pen ? width : 0;
    const pixman_box32_t* ext = pixman_region32_extents(const_cast<pixman_region32_t*>(&p.clip));
    for (int y = std::max(static_cast<int>(T), ext->y1); y < std::min(static_cast<int>(B), ext->y2); ++y) {
        int o1, o2, i1 = 0, i2 = 0;
        if (!EllipseSpan(L, T, R, B, y, o1, o2))
            continue;
        const bool inner = EllipseSpan(L + w, T + w, R - w, B - w, y, i1, i2);
        if (brush && inner)
            FillBox(p.s, p.clip, i1, y, i2, y + 1, PixelFromColor(fill));
        if (pen) {
            if (inner) {
                FillBox(p.s, p.clip, o1, y, i1, y + 1, PixelFromColor(color));
                FillBox(p.s, p.clip, i2, y, o2, y + 1, PixelFromColor(color));
            } else {
                FillBox(p.s, p.clip, o1, y, o2, y + 1, PixelFromColor(color));
            }
        }
    }
    return TRUE;
}
