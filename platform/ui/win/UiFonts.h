// The fonts and measures the window system draws its own parts with (menus,
// message boxes, the shell's bars). Internal.
#pragma once

#include "platform/ui/Windows.h"

#include <string>

namespace ob::ui {

// "Tahoma" at a point size for the current screen; kept for the process.
HFONT UiFont(int points, bool bold);
SIZE MeasureText(HFONT font, const std::wstring& text);
int FontHeight(HFONT font);
// Draws one line of text, without prefix processing.
void DrawLine(HDC dc, HFONT font, const std::wstring& text, RECT rect, UINT format, COLORREF colour);
// The text with '&' prefixes removed ("&&" stays one '&').
std::wstring StripPrefix(const std::wstring& text);

}  // namespace ob::ui
