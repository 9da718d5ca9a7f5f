// Fonts through FreeType. The face "Tahoma" is Wine's metric-compatible
// Tahoma; other faces and missing characters go through fontconfig. At
// low density text uses the fonts' crisp 1-bit strikes (or 1-bit hinted
// outlines where a size has no strike); at high density it is smoothed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/Gdi.h"

namespace ob::ui {

struct Glyph {
    int advance = 0;  // pixels to the next pen position
    int left = 0;     // bitmap offset from the pen position
    int top = 0;      // bitmap top above the baseline
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // width * height, 0..255
};

// A font realised at one pixel size, with its glyph cache.
class RealFont {
public:
    virtual ~RealFont() = default;
    int ascent = 0;
    int descent = 0;
    int ppem = 0;
    int averageWidth = 0;
    int maxWidth = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool smooth = false;
    int underlinePosition = 0;  // pixels below the baseline
    int lineThickness = 1;
    int Height() const { return ascent + descent; }
    // The glyph of a character (from a fallback face when this one lacks it).
    virtual const Glyph& GetGlyph(char32_t ch) = 0;
    int Advance(char32_t ch) { return GetGlyph(ch).advance; }
};

// The realised font for a LOGFONT at the current screen density. The
// result lives as long as the process (it is cached).
RealFont& Realize(const LOGFONTW& lf);
// Realises the font selected into a DC (the system font when none).
RealFont& RealizeFor(HGDIOBJ font);
// Where Tahoma was found, for diagnostics and tests ("" when missing).
std::string TahomaPath(bool bold);

}  // namespace ob::ui
