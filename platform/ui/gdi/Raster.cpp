#include "platform/ui/gdi/Raster.h"

#include <algorithm>

namespace ob::ui {

void FillBox(Surface& s, const pixman_region32_t& clip, int x1, int y1, int x2, int y2, std::uint32_t pixel) {
    if (x1 >= x2 || y1 >= y2)
        return;
    pixman_region32_t r;
    pixman_region32_init_rect(&r, x1, y1, static_cast<unsigned>(x2 - x1), static_cast<unsigned>(y2 - y1));
    pixman_region32_intersect(&r, &r, const_cast<pixman_region32_t*>(&clip));
    int n = 0;
    pixman_box32_t* boxes = pixman_region32_rectangles(&r, &n);
    if (n > 0) {
        pixman_color_t c{static_cast<std::uint16_t>(((pixel >> 16) & 0xFF) * 0x101),
                         static_cast<std::uint16_t>(((pixel >> 8) & 0xFF) * 0x101),
                         static_cast<std::uint16_t>((pixel & 0xFF) * 0x101), 0xFFFF};
        pixman_image_fill_boxes(PIXMAN_OP_SRC, s.Image(), &c, n, boxes);
    }
    pixman_region32_fini(&r);
}

void PlotPixel(Surface& s, const pixman_region32_t& clip, int x, int y, std::uint32_t pixel) {
    if (pixman_region32_contains_point(const_cast<pixman_region32_t*>(&clip), x, y, nullptr))
        s.At(x, y) = pixel;
}

void BlendMask(Surface& s, const pixman_region32_t& clip, int x, int y, const std::uint8_t* mask, int w,
               int h, int pitch, std::uint32_t pixel) {
    if (w <= 0 || h <= 0)
        return;
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(&clip), &n);
    const std::uint32_t sr = (pixel >> 16) & 0xFF, sg = (pixel >> 8) & 0xFF, sb = pixel & 0xFF;
    for (int i = 0; i < n; ++i) {
        const pixman_box32_t& b = boxes[i];
        const int x1 = std::max(x, b.x1), x2 = std::min(x + w, b.x2);
        const int y1 = std::max(y, b.y1), y2 = std::min(y + h, b.y2);
        for (int yy = y1; yy < y2; ++yy) {
            const std::uint8_t* m = mask + static_cast<std::ptrdiff_t>(yy - y) * pitch - x;
            std::uint32_t* row = s.Row(yy);
            for (int xx = x1; xx < x2; ++xx) {
                const std::uint32_t a = m[xx];
                if (a == 0)
                    continue;
                if (a == 255) {
                    row[xx] = pixel;
                    continue;
                }
                const std::uint32_t d = row[xx];
                // x / 255 rounded, without a division.
                auto mix = [a](std::uint32_t s8, std::uint32_t d8) {
                    const std::uint32_t v = s8 * a + d8 * (255 - a) + 128;
                    return (v + (v >> 8)) >> 8;
                };
                row[xx] = 0xFF000000u | (mix(sr, (d >> 16) & 0xFF) << 16) | (mix(sg, (d >> 8) & 0xFF) << 8) |
                          mix(sb, d & 0xFF);
            }
        }
    }
}

BrushObject* ResolveBrush(HBRUSH brush) {
    if (BrushObject* b = FindBrush(brush))
        return b->style == BS_NULL ? nullptr : b;
    const auto v = reinterpret_cast<std::uintptr_t>(brush);
    if (v >= 1 && v <= 29)
        return FindBrush(GetSysColorBrush(static_cast<int>(v) - 1));
    return nullptr;
}

bool CurrentBrushColor(DeviceContext& dc, COLORREF& out) {
    BrushObject* b = FindObjectAs<BrushObject>(dc.brush, GdiKind::Brush);
    if (!b)
        b = static_cast<BrushObject*>(SelectedObject(dc.brush));  // deleted while selected
    if (!b || b->style == BS_NULL)
        return false;
    out = dc.brush == GetStockObject(DC_BRUSH) ? dc.dcBrushColor : BrushColor(*b);
    return true;
}

bool CurrentPen(DeviceContext& dc, COLORREF& color, int& width, UINT& style) {
    auto* p = static_cast<PenObject*>(SelectedObject(dc.pen));
    if (!p || p->style == PS_NULL)
        return false;
    color = dc.pen == GetStockObject(DC_PEN) ? dc.dcPenColor : p->color;
    width = p->width;
    style = p->style;
    return true;
}

}  // namespace ob::ui
