#include "app/MapImage.h"

#include <algorithm>
#include <cmath>
#include <new>

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

// Every pixel of a surface in one colour (0x00BBGGRR); nothing when it has none.
void FillPlain(PixelSurface& target, COLORREF plain) {
    if (!target.IsValid())
        return;
    const std::uint32_t pixel = static_cast<std::uint32_t>(GetRValue(plain)) << 16 |
                                static_cast<std::uint32_t>(GetGValue(plain)) << 8 | GetBValue(plain);
    std::fill(target.Pixels(),
              target.Pixels() + static_cast<std::size_t>(target.GetWidth()) * target.GetHeight(), pixel);
}

}  // namespace

bool PixelSurface::Make(HDC reference, int width, int height) {
    Reset();
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.Reset(::CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    try {
        m_dc = std::make_unique<ZEP_Wnd::MemoryDC>(reference);
        if (m_bitmap && bits && m_dc->GetDC())
            m_select = std::make_unique<ZEP_Wnd::SelectGuard>(m_dc->GetDC(), m_bitmap.Get());
    } catch (const std::bad_alloc&) {
        m_select.reset();
    }
    if (!m_select) {
        Reset();
        return false;
    }
    m_pixels = static_cast<std::uint32_t*>(bits);
    m_width = width;
    m_height = height;
    return true;
}

void PixelSurface::Reset() {
    m_select.reset();
    m_dc.reset();
    m_bitmap.Reset();
    m_pixels = nullptr;
    m_width = m_height = 0;
}

namespace {

// Fixed-point weights: a whole pixel is kOne.
constexpr int kWeightBits = 12;
constexpr int kOne = 1 << kWeightBits;

struct Span {
    int first;   // first source pixel
    int count;   // how many
    int weight;  // index of the first weight
};

// Which source pixels make each of `to` target pixels along one side of
// `from` pixels, and by how much.
void MakeSpans(int from, int to, std::vector<Span>& spans, std::vector<int>& weights) {
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double a = i * scale, b = std::min<double>((i + 1) * scale, from);
        const int first = std::min(static_cast<int>(a), from - 1);
        const int last = std::clamp(static_cast<int>(std::ceil(b)), first + 1, from);
        Span span{first, last - first, static_cast<int>(weights.size())};
        int total = 0, biggest = span.weight;
        for (int j = first; j < last; ++j) {
            const double cover = std::min<double>(b, j + 1) - std::max<double>(a, j);
            const int w = static_cast<int>(std::lround(std::max(cover, 0.0) / (b - a) * kOne));
            weights.push_back(w);
            total += w;
            if (w > weights[static_cast<std::size_t>(biggest)])
                biggest = static_cast<int>(weights.size()) - 1;
        }
        // The rounding leftover goes to the largest share, so a plain
        // colour stays exactly that colour.
        weights[static_cast<std::size_t>(biggest)] += kOne - total;
        spans.push_back(span);
    }
}

// A pixel's three channels spread 21 bits apart in one 64-bit number, so
// that one multiply weighs all three: a channel's weighted sum never passes
// 255 x kOne, which needs only 20 bits.
constexpr int kLane = 21;
constexpr std::uint64_t kLaneMask = (std::uint64_t{1} << kLane) - 1;

std::uint64_t Spread(std::uint32_t p) {
    return (p & 0xFF) | (std::uint64_t{p >> 8 & 0xFF} << kLane) |
           (std::uint64_t{p >> 16 & 0xFF} << 2 * kLane);
}

std::uint32_t Pack(std::uint64_t sum) {
    constexpr std::uint64_t half = kOne / 2;
    const auto channel = [&](int lane) {
        return static_cast<std::uint32_t>((((sum >> (lane * kLane)) & kLaneMask) + half) >> kWeightBits);
    };
    return channel(2) << 16 | channel(1) << 8 | channel(0);
}

}  // namespace

void AreaScale(const PixelSurface& from, PixelSurface& to) {
    const int sw = from.GetWidth(), sh = from.GetHeight(), dw = to.GetWidth(), dh = to.GetHeight();
    if (!from.IsValid() || !to.IsValid() || dw > sw || dh > sh)
        return;
    std::vector<Span> spans;
    std::vector<int> weights;
    // Across: every source row to the target width.
    std::vector<std::uint32_t> across;
    const std::uint32_t* rows = from.Pixels();
    if (dw != sw) {
        MakeSpans(sw, dw, spans, weights);
        across.resize(static_cast<std::size_t>(dw) * sh);
        for (int y = 0; y < sh; ++y) {
            const std::uint32_t* in = from.Pixels() + static_cast<std::size_t>(y) * sw;
            std::uint32_t* out = across.data() + static_cast<std::size_t>(y) * dw;
            for (int x = 0; x < dw; ++x) {
                const Span& s = spans[static_cast<std::size_t>(x)];
                std::uint64_t sum = 0;
                for (int k = 0; k < s.count; ++k)
                    sum += Spread(in[s.first + k]) *
                           static_cast<std::uint64_t>(weights[static_cast<std::size_t>(s.weight + k)]);
                out[x] = Pack(sum);
            }
        }
        rows = across.data();
    }
    // Down: the rows to the target height.
    spans.clear();
    weights.clear();
    MakeSpans(sh, dh, spans, weights);
    std::vector<std::uint64_t> sum(static_cast<std::size_t>(dw));
    for (int y = 0; y < dh; ++y) {
        const Span& s = spans[static_cast<std::size_t>(y)];
        std::fill(sum.begin(), sum.end(), 0);
        for (int k = 0; k < s.count; ++k) {
            const std::uint32_t* in = rows + static_cast<std::size_t>(s.first + k) * dw;
            const auto w = static_cast<std::uint64_t>(weights[static_cast<std::size_t>(s.weight + k)]);
            for (int x = 0; x < dw; ++x)
                sum[static_cast<std::size_t>(x)] += Spread(in[x]) * w;
        }
        std::uint32_t* out = to.Pixels() + static_cast<std::size_t>(y) * dw;
        for (int x = 0; x < dw; ++x)
            out[x] = Pack(sum[static_cast<std::size_t>(x)]);
    }
}

namespace {

// The picture copied into a pixel surface; the bitmap is freed.
void TakePicture(HBITMAP picture, PixelSurface& into, SIZE& size) {
    ZEP_Wnd::OwnedBitmap owned(picture);
    size = BitmapSize(picture);
    if (!picture || size.cx <= 0 || size.cy <= 0)
        return;
    ZEP_Wnd::WindowDC screen(nullptr);
    if (!into.Make(screen, size.cx, size.cy))
        return;
    ZEP_Wnd::MemoryDC source(screen);
    ZEP_Wnd::SelectGuard select(source, picture);
    ::BitBlt(into.GetDC(), 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
}

}  // namespace

MapImage::MapImage(HBITMAP day, HBITMAP night) : m_shadowTime(ZEP_Utility::DateTime::UtcNow()) {
    TakePicture(day, m_day, m_daySize);
    TakePicture(night, m_night, m_nightSize);
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

bool MapImage::SetTwilight(bool on) {
    if (on == m_twilight)
        return false;
    m_twilight = on;
    if (m_shadow)
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

void MapImage::Scale(PixelSurface& target, HDC reference, const PixelSurface& picture, COLORREF plain) {
    const int width = Width(), height = Height();
    if ((target.GetWidth() != width || target.GetHeight() != height) &&
        !target.Make(reference, width, height))
        return;
    if (picture.IsValid()) {
        // A strong shrink (the small screen, a landscape map) averages the
        // areas; a mild one or a growth the platform's bilinear stretch
        // does as crisply and faster.
        const bool shrinks = width <= picture.GetWidth() && height <= picture.GetHeight();
        if (shrinks && (picture.GetWidth() * 2 > width * 3 || picture.GetHeight() * 2 > height * 3)) {
            try {
                AreaScale(picture, target);
                return;
            } catch (const std::bad_alloc&) {
                // no room for the rows it averages: the plain map below
            }
        }
        ::SetStretchBltMode(target.GetDC(), HALFTONE);
        if (::StretchBlt(target.GetDC(), 0, 0, width, height, picture.GetDC(), 0, 0, picture.GetWidth(),
                         picture.GetHeight(), SRCCOPY))
            return;
    }
    // No picture (it did not decode, or there was no memory to scale it): a plain map.
    FillPlain(target, plain);
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

namespace {

// `night` over `day` by `share` 256ths, red and blue in one multiply, green
// in another.
std::uint32_t Mix(std::uint32_t day, std::uint32_t night, std::uint32_t share) {
    const std::uint32_t keep = 256 - share;
    const std::uint32_t rb = (((day & 0xFF00FF) * keep + (night & 0xFF00FF) * share) >> 8) & 0xFF00FF;
    const std::uint32_t g = (((day & 0x00FF00) * keep + (night & 0x00FF00) * share) >> 8) & 0x00FF00;
    return rb | g;
}

}  // namespace

void MapImage::ComposeTwilight() {
    const int width = Width(), height = Height();
    // No points: only the sun's declination and meridian are wanted.
    OBData::ComputeTerminator(m_shadowTime, 0, m_terminator);
    const std::uint32_t* day = m_scaledDay.Pixels();
    const std::uint32_t* night = m_scaledNight.Pixels();
    std::uint32_t* out = m_composite.Pixels();
    std::copy(day, day + static_cast<std::size_t>(width) * height, out);
    const auto row = [height](double latitude) {
        return std::clamp(TruncatePixel((90 - latitude) * height * 0.005555555555555556), 0, height);
    };
    constexpr double kDepressions[4] = {0.0, OBData::kTwilightDepressions[0], OBData::kTwilightDepressions[1],
                                        OBData::kTwilightDepressions[2]};
    for (int x = 0; x < width; ++x) {
        const double east = x * 360.0 / width - m_terminator.subsolar;
        // Rows top[k] .. bottom[k] are darker than step k; each step lies
        // within the one before (a rounding never lets it stick out).
        int top[5], bottom[5];
        top[0] = 0;
        bottom[0] = height;
        for (int k = 1; k <= 4; ++k) {
            const OBData::LatitudeSpan dark =
                OBData::DarkLatitudes(east, m_terminator.declination, kDepressions[k - 1]);
            if (dark.IsEmpty()) {
                top[k] = bottom[k] = top[k - 1];
                continue;
            }
            top[k] = std::clamp(dark.north >= 90 ? 0 : row(dark.north), top[k - 1], bottom[k - 1]);
            bottom[k] = std::clamp(dark.south <= -90 ? height : row(dark.south), top[k], bottom[k - 1]);
        }
        for (int k = 1; k <= 4; ++k) {
            const std::uint32_t share = static_cast<std::uint32_t>(kTwilightShares[k - 1]);
            // Step k shows where step k + 1 does not: above and below it.
            const int innerTop = k < 4 ? top[k + 1] : bottom[k];
            const int innerBottom = k < 4 ? bottom[k + 1] : bottom[k];
            for (const auto& [from, to] : {std::pair{top[k], innerTop}, std::pair{innerBottom, bottom[k]}}) {
                for (int y = from; y < to; ++y) {
                    const std::size_t at = static_cast<std::size_t>(y) * width + x;
                    out[at] = share == 256 ? night[at] : Mix(day[at], night[at], share);
                }
            }
        }
    }
    DrawSunMark();
}

void MapImage::DrawSunMark() {
    const int width = Width(), height = Height();
    const POINT at = PositionToPixel(m_terminator.SubsolarPoint());
    const int cx = at.x - m_rect.left, cy = at.y - m_rect.top;
    const int r = std::clamp(height / 48, 2, 6);
    const HDC dc = m_composite.GetDC();
    ZEP_Wnd::SelectGuard pen(dc, ::GetStockObject(DC_PEN));
    ZEP_Wnd::SelectGuard brush(dc, ::GetStockObject(DC_BRUSH));
    // Drawn again a map's width to either side, so that a sun near the date
    // line shows whole across the edge.
    for (int shift : {-width, 0, width}) {
        const int x = cx + shift;
        if (x + 2 * r < 0 || x - 2 * r > width)
            continue;
        ::SetDCPenColor(dc, kSunRays);
        const int ray = r + 1 + (r + 1) / 2;
        for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{1, 1}, std::pair{1, -1}}) {
            const int len = dx && dy ? ray * 3 / 4 : ray;
            ::MoveToEx(dc, x - dx * len, cy - dy * len, nullptr);
            ::LineTo(dc, x + dx * len + dx, cy + dy * len + dy);
        }
        ::SetDCPenColor(dc, kSunOutline);
        ::SetDCBrushColor(dc, kSunFill);
        ::Ellipse(dc, x - r, cy - r, x + r + 1, cy + r + 1);
    }
}

void MapImage::Rebuild(bool rescale) {
    // Without memory for the pictures the map is left uncomposed, and Draw
    // paints it plain.
    try {
        Compose(rescale);
    } catch (const std::bad_alloc&) {
        m_composed = false;
    }
}

void MapImage::Compose(bool rescale) {
    const int width = Width(), height = Height();
    if (width <= 0 || height <= 0) {
        m_composed = false;
        return;
    }
    ZEP_Wnd::WindowDC screen(nullptr);
    if (rescale || !m_composed || m_composite.GetWidth() != width || m_composite.GetHeight() != height) {
        Scale(m_scaledDay, screen, m_day, kPlainDay);
        Scale(m_scaledNight, screen, m_night, kPlainNight);
        if ((m_composite.GetWidth() != width || m_composite.GetHeight() != height) &&
            !m_composite.Make(screen, width, height)) {
            m_composed = false;
            return;
        }
        ++m_scaleCount;
    }
    const HDC composite = m_composite.GetDC();
    if (m_shadow && m_twilight && m_scaledDay.IsValid() && m_scaledNight.IsValid()) {
        ComposeTwilight();
        m_composed = true;
        ++m_composeCount;
        return;
    }
    // A scaled picture that could not be had is its plain colour.
    if (m_scaledDay.IsValid())
        ::BitBlt(composite, 0, 0, width, height, m_scaledDay.GetDC(), 0, 0, SRCCOPY);
    else
        FillPlain(m_composite, kPlainDay);
    if (m_shadow) {
        OwnedRegion night(MakeNightRegion());
        ::SelectClipRgn(composite, night);
        if (m_scaledNight.IsValid()) {
            ::BitBlt(composite, 0, 0, width, height, m_scaledNight.GetDC(), 0, 0, SRCCOPY);
        } else {
            ::SetDCBrushColor(composite, kPlainNight);
            const RECT all{0, 0, width, height};
            ::FillRect(composite, &all, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        }
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
    if (m_composed) {
        ::BitBlt(dc, x, y, width, height, m_composite.GetDC(), 0, 0, SRCCOPY);
    } else {
        // No composite (no memory for it): the map's area plain, the dots on it.
        ::SetDCBrushColor(dc, kPlainDay);
        const RECT area{x, y, x + width, y + height};
        ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    }
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
        // The named city's dot lit as the list's selected city is, under its cross.
        DrawDot(dc, *m_selected, kSelectedHalfSize - 1, kHighlightFill, dx, dy);
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
    if (m_cursor) {
        // A light ring inside a dark one, readable on land, sea and night.
        const POINT at{m_cursor->x + dx, m_cursor->y + dy};
        ZEP_Wnd::SelectGuard hollow(dc, ::GetStockObject(NULL_BRUSH));
        const int r = std::max(kSelectedHalfSize + 2, Width() / 40);  // as large on a dense screen
        ::SetDCPenColor(dc, kOutline);
        ::Ellipse(dc, at.x - r - 1, at.y - r - 1, at.x + r + 2, at.y + r + 2);
        ::Ellipse(dc, at.x - r + 1, at.y - r + 1, at.x + r, at.y + r);
        ::SetDCPenColor(dc, kCrossColour);
        ::Ellipse(dc, at.x - r, at.y - r, at.x + r + 1, at.y + r + 1);
    }
}

int MapImage::CityRowAt(POINT pixel, int slack) const {
    if (!m_group)
        return -1;
    const std::vector<OBData::City*>& cities = m_group->GetCities();
    const OBData::City* home = m_group->GetHomeCity();
    int best = -1;
    long long bestDistance = 0;
    for (std::size_t row = 0; row < cities.size(); ++row) {
        if (!cities[row])
            continue;
        const POINT dot = PositionToPixel(cities[row]->GetPosition());
        const long long reach = (cities[row] == home ? m_homeDotHalfSize : m_dotHalfSize) + 1LL + slack;
        const long long ddx = dot.x - pixel.x, ddy = dot.y - pixel.y;
        const long long distance = ddx * ddx + ddy * ddy;
        if (distance <= reach * reach && (best < 0 || distance < bestDistance)) {
            best = static_cast<int>(row);
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace OBControls
