// The world map as the map control draws it: the day and night pictures
// scaled to the map, the night picture cut in along the day/night
// terminator, and the user's cities as dots.
//
// The composite (day picture with the night laid over it) is kept between
// paints, so a paint is one copy plus the dots. The pictures are scaled only
// when the map's size changes; a new time or a shadow switch only composes
// again: one copy of the day picture and one copy of the night picture
// clipped to the night region. With twilight on, the night is instead laid
// over the day in four steps (civil, nautical and astronomical twilight,
// then night), column by column from the same sun position, and a small sun
// marks the point where it stands overhead.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "geo/Position.h"
#include "geo/Sun.h"
#include "time/DateTime.h"
#include "wnd/Library.h"
#include "wnd/Paint.h"

namespace OBData {
class City;
class CityGroup;
}  // namespace OBData

namespace OBControls {

// A picture as top-down 32-bit pixels (0x00RRGGBB) that code can read and
// write directly, selected into a memory DC for blits.
class PixelSurface {
public:
    PixelSurface() = default;
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    // A new surface of that size (black); false when it cannot be made.
    bool Make(HDC reference, int width, int height);
    void Reset();
    bool IsValid() const { return m_pixels != nullptr; }
    HDC GetDC() const { return m_dc ? m_dc->GetDC() : nullptr; }
    std::uint32_t* Pixels() const { return m_pixels; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

private:
    ZEP_Wnd::OwnedBitmap m_bitmap;
    std::unique_ptr<ZEP_Wnd::MemoryDC> m_dc;
    std::unique_ptr<ZEP_Wnd::SelectGuard> m_select;
    std::uint32_t* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// Shrinks `from` into `to` (no side may grow): every target pixel is the
// average of the source area it covers, partly covered pixels weighted by
// their share. Sharper than a blur and free of the moire of skipping.
void AreaScale(const PixelSurface& from, PixelSurface& to);

class MapImage {
public:
    // Colours (0x00BBGGRR).
    static constexpr COLORREF kHighlightFill = 0xFFCC67;
    static constexpr COLORREF kOrdinaryFill = 0xFFFFFF;
    static constexpr COLORREF kCrossColour = 0xFFFFFF;
    static constexpr COLORREF kHomeFill = 0x0000FF;
    static constexpr COLORREF kOutline = 0x000000;
    // What stands in for a picture that could not be decoded.
    static constexpr COLORREF kPlainDay = RGB(34, 78, 140);
    static constexpr COLORREF kPlainNight = RGB(12, 22, 48);
    // The sun mark.
    static constexpr COLORREF kSunFill = RGB(255, 214, 40);
    static constexpr COLORREF kSunRays = RGB(255, 190, 30);
    static constexpr COLORREF kSunOutline = RGB(150, 80, 0);
    // The selected city's cross: half-size of its box.
    static constexpr int kSelectedHalfSize = 5;

    // Takes ownership of both bitmaps (either may be null): they are copied
    // into pixel surfaces and freed.
    MapImage(HBITMAP day, HBITMAP night);
    MapImage(const MapImage&) = delete;
    MapImage& operator=(const MapImage&) = delete;

    // The pixel of a position (x may reach the width at longitude +180; y is
    // kept within 0 .. height), and the position under a pixel.
    POINT PositionToPixel(const OBData::Position& position) const;
    OBData::Position PixelToPosition(int x, int y) const;

    // The map's rectangle; a new one scales the pictures again.
    void SetRect(const RECT& rect);
    const RECT& GetRect() const { return m_rect; }
    // True when the shadow was switched (and the map composed again).
    bool SetShadow(bool on);
    bool GetShadow() const { return m_shadow; }
    // True when twilight was switched; composes again when the shadow is on.
    // Off (the default here) gives the single shadow of the plain map.
    bool SetTwilight(bool on);
    bool GetTwilight() const { return m_twilight; }
    // How much of the night picture each step shows, in 256ths: civil,
    // nautical and astronomical twilight, and night.
    static constexpr int kTwilightShares[4] = {84, 148, 204, 256};
    // The UTC time of the shadow; composes again when the shadow is on.
    void SetTime(const ZEP_Utility::DateTime& utc);
    const ZEP_Utility::DateTime& GetTime() const { return m_shadowTime; }

    void SetCityGroup(OBData::CityGroup* group) { m_group = group; }
    OBData::CityGroup* GetCityGroup() const { return m_group; }
    void SetHighlightedRows(const std::vector<int>& rows) { m_highlighted = rows; }
    const std::vector<int>& GetHighlightedRows() const { return m_highlighted; }
    // Half-sizes of the dots; a negative value leaves that size as it is.
    void SetDotSizes(int ordinary, int home);
    int GetDotSize() const { return m_dotHalfSize; }
    int GetHomeDotSize() const { return m_homeDotHalfSize; }
    // The city carrying the cross, or null. `area`, when given, receives the
    // box the cross is drawn in (relative to the map), for repainting.
    void SetSelectedCity(const OBData::City* city, RECT* area = nullptr);
    const OBData::City* GetSelectedCity() const { return m_selected; }
    // The keyboard's place on the map (relative to the map), drawn as a ring
    // while it is set.
    void SetCursor(std::optional<POINT> cursor) { m_cursor = cursor; }
    const std::optional<POINT>& GetCursor() const { return m_cursor; }
    // The group row whose dot lies at or next to `pixel` (within `slack`
    // pixels of the dot's edge), the nearest when several do; -1 for none.
    int CityRowAt(POINT pixel, int slack) const;

    // Paints the map with its dots at (x, y) of `dc`.
    void Draw(HDC dc, int x, int y);

    // The box of a dot of half-size `half` around a pixel, moved by (dx, dy).
    static RECT DotRect(POINT pixel, int half, int dx = 0, int dy = 0);

    // How often the map was composed and scaled (for tests and measurements).
    int GetComposeCount() const { return m_composeCount; }
    int GetScaleCount() const { return m_scaleCount; }
    SIZE GetDaySize() const { return m_daySize; }
    SIZE GetNightSize() const { return m_nightSize; }

private:
    int Width() const { return m_rect.right - m_rect.left; }
    int Height() const { return m_rect.bottom - m_rect.top; }
    // Composes the map; with `rescale` (or before the first time) it scales
    // both pictures to the map first.
    void Rebuild(bool rescale);
    void Compose(bool rescale);
    void Scale(PixelSurface& target, HDC reference, const PixelSurface& picture, COLORREF plain);
    // The part of the map that is in darkness, one column per pixel column.
    HRGN MakeNightRegion();
    // The composite with the twilight steps and the sun mark.
    void ComposeTwilight();
    void DrawSunMark();
    void DrawDot(HDC dc, const OBData::City& city, int half, COLORREF fill, int dx, int dy) const;

    // The pictures as given, kept as pixels for scaling.
    PixelSurface m_day;
    PixelSurface m_night;
    SIZE m_daySize{0, 0};
    SIZE m_nightSize{0, 0};
    PixelSurface m_scaledDay;
    PixelSurface m_scaledNight;
    PixelSurface m_composite;
    bool m_composed = false;
    RECT m_rect{0, 0, 0, 0};
    OBData::CityGroup* m_group = nullptr;
    std::vector<int> m_highlighted;
    const OBData::City* m_selected = nullptr;
    std::optional<POINT> m_cursor;
    bool m_shadow = true;
    bool m_twilight = false;
    ZEP_Utility::DateTime m_shadowTime;
    int m_dotHalfSize = 1;
    int m_homeDotHalfSize = 1;
    OBData::Terminator m_terminator;  // kept to reuse its storage
    int m_composeCount = 0;
    int m_scaleCount = 0;
};

}  // namespace OBControls
