// Small raster helpers shared by shapes, text and blits. All coordinates
// here are surface coordinates; every write is limited to `clip`.
#pragma once

#include <cstdint>

#include <pixman.h>

#include "platform/ui/gdi/DeviceContext.h"

namespace ob::ui {

// Fills [x1,x2) x [y1,y2) with an opaque pixel value.
void FillBox(Surface& s, const pixman_region32_t& clip, int x1, int y1, int x2, int y2, std::uint32_t pixel);
// Writes one pixel when it is inside the clip.
void PlotPixel(Surface& s, const pixman_region32_t& clip, int x, int y, std::uint32_t pixel);
// Blends an 8-bit coverage mask (w x h, `pitch` bytes a row) in `pixel`'s
// colour at (x, y).
void BlendMask(Surface& s, const pixman_region32_t& clip, int x, int y, const std::uint8_t* mask, int w,
               int h, int pitch, std::uint32_t pixel);

// The brush handle to paint with: accepts the (HBRUSH)(COLOR_xxx + 1)
// shorthand for system colours; nullptr when there is nothing to paint.
BrushObject* ResolveBrush(HBRUSH brush);
// The colours of a DC's current brush and pen; false for the null ones.
bool CurrentBrushColor(DeviceContext& dc, COLORREF& out);
bool CurrentPen(DeviceContext& dc, COLORREF& color, int& width, UINT& style);

}  // namespace ob::ui
