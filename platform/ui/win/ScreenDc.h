// The bridge from windows to drawing: device contexts on the screen for
// BeginPaint and GetDC, and regions handed in as GDI region handles.
#pragma once

#include "platform/ui/win/WindowSystem.h"

namespace ob::ui {

// A DC whose (0,0) is `origin` on the screen and which draws only inside
// `clip` (screen coordinates). `w` gives the window's font and colours.
HDC CreateScreenDC(POINT origin, const Region& clip, Window* w);
void ReleaseScreenDC(HDC hdc);
// Copies a GDI region into ours; false for a bad handle.
bool CopyGdiRegion(HRGN region, Region& out);
// Fills a rectangle of the DC with a brush (or a system colour index + 1).
void FillWithBrush(HDC hdc, const RECT& rect, HBRUSH brush);

}  // namespace ob::ui
