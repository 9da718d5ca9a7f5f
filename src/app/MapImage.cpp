#include "app/MapImage.h"

#include <algorithm>
#include <cmath>

#include "data/City.h"
#include "model/CityGroup.h"

namespace OBControls {

namespace {

using OwnedRegion = ZEP_Wnd::GdiObject<HRGN>;

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || ::GetObject(bitmap, sizeof info, &info) == 0)
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

// Truncation toward zero of a pixel coordinate, safe for any double.
int TruncatePixel(double v) {
    if (!(v > -1e9))  // also NaN
        return -1000000000;
    if (v > 1e9)
        return 1000000000;
    return static_cast<int>(v);
}

}  // namespace

MapImage::MapImage(HBITMAP day, HBITMAP night)
    : m_day(day), m_night(night), m_shadowTime(ZEP_Utility::DateTime::UtcNow()) {
    m_daySize = BitmapSize(day);
    m_nightSize = BitmapSize(night);
    m_rect = RECT{0, 0, m_daySize.cx, m_daySize.cy};
}

POINT MapImage::PositionToPixel(const OBData::Position& position) const {
    const int width = Width(), height = Height();
    const int x = TruncatePixel((position.GetLongitude() + 180) * width * 0.002777777777777778);
    int y = TruncatePixel((90 - position.GetLatitude()) * height * 0.005555555555555556);
    y = std::clamp(y, 0, std::max(height, 0));
    return POINT{m_rect.left + x, m_rect.top + y};
}

OBData::Position MapImage::PixelToPosition(int x, int y) const {
    const int width = Width(), height = Height();
    if (width <= 0 || height <= 0)
        return OBData::Position();
    return OBData::Position(90 - (y - m_rect.top) * 180.0 / height, (x - m_rect.left) * 360.0 / width - 180);
}

void MapImage::SetRect(const RECT& rect) {
    m_rect = rect;
    Rebuild(true);
}

bool MapImage::SetShadow(bool on) {
    if (on == m_shadow)
        return false;
    m_shadow = on;
    Rebuild(false);
    return true;
}

void MapImage::SetTime(const ZEP_Utility::DateTime& utc) {
    m_shadowTime = utc;
    if (m_shadow)
        Rebuild(false);
}

void MapImage::SetDotSizes(int ordinary, int home) {
    if (ordinary >= 0)
        m_dotHalfSize = ordinary;
    if (home >= 0)
        m_homeDotHalfSize = home;
}

void MapImage::SetSelectedCity(const OBData::City* city, RECT* area) {
    m_selected = city;
    if (city && area)
        *area = DotRect(PositionToPixel(city->GetPosition()), kSelectedHalfSize);
}

RECT MapImage::DotRect(POINT pixel, int half, int dx, int dy) {
    return RECT{pixel.x + dx - half, pixel.y + dy - half, pixel.x + dx + half + 1, pixel.y + dy + half + 1};
}

void MapImage::Scale(ZEP_Wnd::OffscreenBuffer& target, HDC reference, HBITMAP picture, SIZE size,
                     COLORREF plain) {
    const int width = Width(), height = Height();
    if (!target.EnsureSize(reference, width, height))
        return;
    const HDC dc = target.GetDC();
    if (picture && size.cx > 0 && size.cy > 0) {
        ZEP_Wnd::MemoryDC source(reference);
        ZEP_Wnd::SelectGuard select(source, picture);
        ::SetStretchBltMode(dc, HALFTONE);
        if (::StretchBlt(dc, 0, 0, width, height, source, 0, 0, size.cx, size.cy, SRCCOPY))
            return;
    }
    // No picture (it did not decode): a plain map.
    ::SetDCBrushColor(dc, plain);
    const RECT all{0, 0, width, height};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

HRGN MapImage::MakeNightRegion() {
    const int width = Width(), height = Height();
    OBData::ComputeTerminator(m_shadowTime, width, m_terminator);
    const bool north = m_terminator.southDeclination;  // night lies north of the curve
    // Point i belongs to pixel column i: projecting its longitude instead
    // could put two points into one column and none into the next at some
    // widths. Neighbouring columns with the same edge make one rectangle.
    std::vector<OwnedRegion> parts;
    parts.reserve(static_cast<std::size_t>(width));
    int runStart = 0, runEdge = 0;
    for (int i = 0; i <= width; ++i) {
        int edge = 0;
        if (i < width) {
            const double latitude = m_terminator.points[static_cast<std::size_t>(i)].GetLatitude();
            edge = std::clamp(TruncatePixel((90 - latitude) * height * 0.005555555555555556), 0, height);
        }
        if (i > 0 && (i == width || edge != runEdge)) {
            parts.emplace_back(north ? ::CreateRectRgn(runStart, 0, i, runEdge)
                                     : ::CreateRectRgn(runStart, runEdge, i, height));
            runStart = i;
        }
        runEdge = edge;
    }
    if (parts.empty())
        return ::CreateRectRgn(0, 0, 0, 0);
    // Joined in pairs, level by level: each join stays small, where adding
    // the columns one by one would grow the region with every step.
    while (parts.size() > 1) {
        std::size_t kept = 0;
        for (std::size_t k = 0; k < parts.size(); k += 2) {
            if (k + 1 < parts.size())
                ::CombineRgn(parts[k], parts[k], parts[k + 1], RGN_OR);
            parts[kept++] = std::move(parts[k]);
        }
        parts.resize(kept);
    }
    return parts.front().Release();
}

void MapImage::Rebuild(bool rescale) {
    const int width = Width(), height = Height();
    if (width <= 0 || height <= 0) {
        m_composed = false;
        return;
    }
    ZEP_Wnd::WindowDC screen(nullptr);
    if (rescale || !m_composed || m_composite.GetWidth() != width || m_composite.GetHeight() != height) {
        Scale(m_scaledDay, screen, m_day, m_daySize, kPlainDay);
        Scale(m_scaledNight, screen, m_night, m_nightSize, kPlainNight);
        if (!m_composite.EnsureSize(screen, width, height))
            return;
        ++m_scaleCount;
    }
    const HDC composite = m_composite.GetDC();
    ::BitBlt(composite, 0, 0, width, height, m_scaledDay.GetDC(), 0, 0, SRCCOPY);
    if (m_shadow) {
        OwnedRegion night(MakeNightRegion());
        ::SelectClipRgn(composite, night);
        ::BitBlt(composite, 0, 0, width, height, m_scaledNight.GetDC(), 0, 0, SRCCOPY);
        ::SelectClipRgn(composite, nullptr);
    }
    m_composed = true;
    ++m_composeCount;
}

void MapImage::DrawDot(HDC dc, const OBData::City& city, int half, COLORREF fill, int dx, int dy) const {
    const RECT box = DotRect(PositionToPixel(city.GetPosition()), half, dx, dy);
    ::SetDCBrushColor(dc, fill);
    ::Ellipse(dc, box.left - 1, box.top - 1, box.right + 1, box.bottom + 1);
}

void MapImage::Draw(HDC dc, int x, int y) {
    if (!m_composed)
        Rebuild(false);
    const int width = Width(), height = Height();
    if (m_composed)
        ::BitBlt(dc, x, y, width, height, m_composite.GetDC(), 0, 0, SRCCOPY);
    if (!m_group)
        return;
    const int dx = x - m_rect.left, dy = y - m_rect.top;
    ZEP_Wnd::SelectGuard pen(dc, ::GetStockObject(DC_PEN));
    ZEP_Wnd::SelectGuard brush(dc, ::GetStockObject(DC_BRUSH));
    ::SetDCPenColor(dc, kOutline);
    const std::vector<OBData::City*>& cities = m_group->GetCities();
    const OBData::City* home = m_group->GetHomeCity();
    for (std::size_t row = 0; row < cities.size(); ++row) {
        const OBData::City* city = cities[row];
        if (!city || city == home)
            continue;
        const bool lit = std::find(m_highlighted.begin(), m_highlighted.end(), static_cast<int>(row)) !=
                         m_highlighted.end();
        DrawDot(dc, *city, m_dotHalfSize, lit ? kHighlightFill : kOrdinaryFill, dx, dy);
    }
    // The home city last, over the others.
    if (home)
        DrawDot(dc, *home, m_homeDotHalfSize, kHomeFill, dx, dy);
    if (m_selected) {
        const RECT box = DotRect(PositionToPixel(m_selected->GetPosition()), kSelectedHalfSize, dx, dy);
        const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
        // A dark edge on both sides of each bar keeps the cross readable on
        // ice and desert as well as on the sea; it stays inside the box.
        ::SetDCBrushColor(dc, kOutline);
        const RECT upright{cx - 1, box.top, cx + 2, box.bottom}, across{box.left, cy - 1, box.right, cy + 2};
        ::FillRect(dc, &upright, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        ::FillRect(dc, &across, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        ::SetDCPenColor(dc, kCrossColour);
        ::MoveToEx(dc, cx, box.top, nullptr);
        ::LineTo(dc, cx, box.bottom);
        ::MoveToEx(dc, box.left, cy, nullptr);
        ::LineTo(dc, box.right, cy);
    }
}

}  // namespace OBControls
