#include "platform/ui/html/HtmlDocument.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <vector>

#include <litehtml/litehtml.h>

#include "platform/kernel/WideText.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/gdi/SelectGuard.h"
#include "platform/ui/image/ImageCodec.h"

namespace ob::ui {
namespace {

COLORREF ToColor(const litehtml::web_color& c) { return RGB(c.red, c.green, c.blue); }

// The engine's boxes can lie anywhere in the range of int; drawing takes
// their edges within a range far beyond any screen, so no sum overflows.
int Far(long long v) {
    constexpr long long kFar = 1 << 24;
    return static_cast<int>(std::clamp(v, -kFar, kFar));
}
RECT BoxRect(const litehtml::position& p) {
    return RECT{Far(p.x), Far(p.y), Far(static_cast<long long>(p.x) + p.width),
                Far(static_cast<long long>(p.y) + p.height)};
}

struct Font {
    HFONT handle;
    int ascent;
    int height;
};

// A memory DC used for measuring text outside of painting.
// How a background picture covers its box: tiles of a size, repeated along
// one axis, both or none, the first tile's corner at an origin.
struct Tiling {
    int width, height;
    bool repeatX, repeatY;
    int originX, originY;
};

// Composites the tiles of `pic` over `area` of `target` (surface pixels),
// within `clip`: one composite, as along a repeated axis the picture
// repeats itself.
void CompositeTiles(Surface& target, Surface& pic, pixman_region32_t* clip, const Tiling& tiles,
                    const RECT& area) {
    // Where in the picture the first pixel falls, within one tile.
    auto phase = [](int at, int origin, int size) {
        const long long off = (static_cast<long long>(at) - origin) % size;
        return static_cast<int>(off < 0 ? off + size : off);
    };
    const int w = tiles.width, h = tiles.height;
    pixman_image_set_clip_region32(target.Image(), clip);
    const bool scaled = w != pic.Width() || h != pic.Height();
    if (scaled) {
        pixman_transform_t t;
        pixman_transform_init_scale(&t, pixman_double_to_fixed(static_cast<double>(pic.Width()) / w),
                                    pixman_double_to_fixed(static_cast<double>(pic.Height()) / h));
        pixman_image_set_transform(pic.Image(), &t);
        pixman_image_set_filter(pic.Image(), PIXMAN_FILTER_BILINEAR, nullptr, 0);
    }
    if (tiles.repeatX || tiles.repeatY)
        pixman_image_set_repeat(pic.Image(), PIXMAN_REPEAT_NORMAL);
    pixman_image_composite32(PIXMAN_OP_OVER, pic.Image(), nullptr, target.Image(),
                             phase(area.left, tiles.originX, w), phase(area.top, tiles.originY, h), 0, 0,
                             area.left, area.top, area.right - area.left, area.bottom - area.top);
    pixman_image_set_repeat(pic.Image(), PIXMAN_REPEAT_NONE);
    if (scaled) {
        pixman_image_set_transform(pic.Image(), nullptr);
        pixman_image_set_filter(pic.Image(), PIXMAN_FILTER_NEAREST, nullptr, 0);
    }
    pixman_image_set_clip_region32(target.Image(), nullptr);
}

HDC MeasureDC() {
    static HDC dc = CreateCompatibleDC(nullptr);
    return dc;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Percent-decoding for file:// addresses.
std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Boxes sized to fit their content (tables, inline blocks, floats) lay out
// what they hold several times over, so each one nested inside another
// multiplies the work: twelve nested tables take seconds. No page of the
// program's comes near this depth.
constexpr int kMaxFittedNesting = 8;
// Any element: the parser's and the layout's work grows with the square of
// the depth, a few hundred levels take a blink, thousands take minutes.
constexpr int kMaxNesting = 256;
constexpr const char* kTooDeepPage = "<p>This page is nested too deeply to be shown.</p>";

bool SizesToContent(const litehtml::element& el) {
    switch (el.get_display()) {
    case litehtml::display_table:
    case litehtml::display_inline_table:
    case litehtml::display_inline_block: return true;
    default: return el.get_float() != litehtml::float_none;
    }
}

// Whether boxes sized to content nest deeper than the limit under `el`;
// walked with an explicit stack, as the tree itself may be very deep.
bool NestsTooDeep(const litehtml::element::ptr& root) {
    std::vector<std::pair<litehtml::element::ptr, int>> pending{{root, 0}};
    while (!pending.empty()) {
        auto [el, depth] = pending.back();
        pending.pop_back();
        if (!el)
            continue;
        if (SizesToContent(*el) && ++depth > kMaxFittedNesting)
            return true;
        for (std::size_t i = 0; i < el->get_children_count(); ++i)
            pending.emplace_back(el->get_child(static_cast<int>(i)), depth);
    }
    return false;
}

}  // namespace

class HtmlDocument::Container final : public litehtml::document_container {
public:
    Container() { m_context.load_master_stylesheet(HtmlMasterStylesheet().c_str()); }
    ~Container() {
        m_document.reset();
        for (auto& [id, f] : m_fonts)
            DeleteObject(f.handle);
    }

    std::string baseFolder;
    std::wstring html;
    std::shared_ptr<litehtml::document> m_document;
    int laidOutWidth = -1;
    std::wstring title;

    void Build() {
        m_document.reset();
        laidOutWidth = -1;
        title.clear();
        if (html.empty())
            return;
        // The engine reads a C string, so a page ends at its first NUL; the
        // fixes below must see the page as the engine will.
        const std::wstring page = html.substr(0, html.find(L'\0'));
        if (NestingDepthBound(page, kMaxNesting) > kMaxNesting) {
            m_document = litehtml::document::createFromString(kTooDeepPage, this, &m_context);
            return;
        }
        const std::string utf8 = ob::kernel::ToUtf8(
            KeepBlankLines(ScaleCssPixels(CloseStyleComments(ClampTableSpans(page)), GetScreenDpi())));
        m_document = litehtml::document::createFromString(utf8.c_str(), this, &m_context);
        if (m_document && NestsTooDeep(m_document->root()))
            m_document = litehtml::document::createFromString(kTooDeepPage, this, &m_context);
    }

    // Forgets the page (after running out of memory with it).
    void Drop() {
        m_document.reset();
        laidOutWidth = -1;
    }

    int Layout(int width) {
        if (!m_document)
            return 0;
        if (width != laidOutWidth) {
            m_document->render(std::max(1, width));
            laidOutWidth = width;
        }
        return m_document->height();
    }

    void Draw(HDC hdc, const RECT& area, int scrollY) {
        if (!m_document)
            return;
        m_hdc = hdc;
        const int saved = SaveDC(hdc);
        IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
        // The clip is in drawing coordinates, after the page's offset.
        litehtml::position clip(area.left, area.top, area.right - area.left, area.bottom - area.top);
        try {
            m_document->draw(reinterpret_cast<litehtml::uint_ptr>(hdc), area.left, area.top - scrollY, &clip);
        } catch (const std::bad_alloc&) {
            Drop();
        }
        RestoreDC(hdc, saved);
        m_hdc = nullptr;
    }

    // ---- litehtml's view of the platform

    litehtml::uint_ptr create_font(const litehtml::tchar_t* face, int size, int weight,
                                   litehtml::font_style italic, unsigned int decoration,
                                   litehtml::font_metrics* fm) override {
        LOGFONTW lf{};
        lf.lfHeight = -std::max(1, size);
        lf.lfWeight = weight;
        lf.lfItalic = italic == litehtml::fontStyleItalic;
        lf.lfUnderline = (decoration & litehtml::font_decoration_underline) != 0;
        lf.lfStrikeOut = (decoration & litehtml::font_decoration_linethrough) != 0;
        // The first family of the list that we can name; Tahoma by default.
        std::string family = face ? face : "";
        family = family.substr(0, family.find(','));
        family.erase(std::remove(family.begin(), family.end(), '"'), family.end());
        family.erase(std::remove(family.begin(), family.end(), '\''), family.end());
        while (!family.empty() && family.front() == ' ')
            family.erase(family.begin());
        while (!family.empty() && family.back() == ' ')
            family.pop_back();
        if (family.empty() || family == "sans-serif")
            family = "Tahoma";
        const std::wstring wide = ob::kernel::FromUtf8(family);
        std::wcsncpy(lf.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
        HFONT f = CreateFontIndirect(&lf);
        HDC dc = MeasureDC();
        TEXTMETRICW tm{};
        SIZE x{};
        {
            SelectGuard font(dc, f);
            GetTextMetrics(dc, &tm);
            GetTextExtentPoint32(dc, L"x", 1, &x);
        }
        if (fm) {
            fm->ascent = tm.tmAscent;
            fm->descent = tm.tmDescent;
            fm->height = tm.tmHeight;
            fm->x_height = std::max<int>(1, tm.tmAscent * 11 / 20);
            fm->draw_spaces = lf.lfUnderline || lf.lfStrikeOut;
        }
        const auto id = ++m_nextFont;
        m_fonts[id] = {f, tm.tmAscent, tm.tmHeight};
        return id;
    }

    void delete_font(litehtml::uint_ptr id) override {
        auto it = m_fonts.find(id);
        if (it == m_fonts.end())
            return;
        DeleteObject(it->second.handle);
        m_fonts.erase(it);
    }

    int text_width(const litehtml::tchar_t* text, litehtml::uint_ptr id) override {
        auto it = m_fonts.find(id);
        if (it == m_fonts.end() || !text)
            return 0;
        const std::wstring w = ob::kernel::FromUtf8(text);
        HDC dc = MeasureDC();
        SelectGuard font(dc, it->second.handle);
        SIZE s{};
        GetTextExtentPoint32(dc, w.c_str(), static_cast<int>(w.size()), &s);
        return s.cx;
    }

    void draw_text(litehtml::uint_ptr hdc, const litehtml::tchar_t* text, litehtml::uint_ptr id,
                   litehtml::web_color color, const litehtml::position& pos) override {
        auto it = m_fonts.find(id);
        if (it == m_fonts.end() || !text)
            return;
        HDC dc = reinterpret_cast<HDC>(hdc);
        const std::wstring w = ob::kernel::FromUtf8(text);
        SelectGuard font(dc, it->second.handle);
        SetTextColor(dc, ToColor(color));
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        ExtTextOut(dc, pos.x, pos.y, 0, nullptr, w.c_str(), static_cast<UINT>(w.size()), nullptr);
    }

    int pt_to_px(int pt) const override { return pt * GetScreenDpi() / 72; }
    int get_default_font_size() const override { return 8 * GetScreenDpi() / 72; }
    const litehtml::tchar_t* get_default_font_name() const override { return "Tahoma"; }

    void draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) override {
        HDC dc = reinterpret_cast<HDC>(hdc);
        const RECT box = BoxRect(marker.pos);
        HBRUSH brush = CreateSolidBrush(ToColor(marker.color));
        HPEN pen = CreatePen(PS_SOLID, 1, ToColor(marker.color));
        {
            SelectGuard selectBrush(dc, brush), selectPen(dc, pen);
            if (marker.marker_type == litehtml::list_style_type_square) {
                FillRect(dc, &box, brush);
            } else if (marker.marker_type == litehtml::list_style_type_circle) {
                SelectGuard hollow(dc, GetStockObject(HOLLOW_BRUSH));
                Ellipse(dc, box.left, box.top, box.right, box.bottom);
            } else if (marker.marker_type == litehtml::list_style_type_decimal && marker.font) {
                const std::wstring n = std::to_wstring(marker.index) + L".";
                auto it = m_fonts.find(marker.font);
                if (it != m_fonts.end()) {
                    SelectGuard font(dc, it->second.handle);
                    SetTextColor(dc, ToColor(marker.color));
                    SetBkMode(dc, TRANSPARENT);
                    SIZE s{};
                    GetTextExtentPoint32(dc, n.c_str(), static_cast<int>(n.size()), &s);
                    TextOut(dc, box.right - s.cx, box.bottom - it->second.ascent, n.c_str(),
                            static_cast<int>(n.size()));
                }
            } else if (marker.marker_type != litehtml::list_style_type_none) {
                Ellipse(dc, box.left, box.top, box.right, box.bottom);
            }
        }
        DeleteObject(brush);
        DeleteObject(pen);
    }

    void load_image(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, bool) override {
        Picture(src, baseurl);
    }

    void get_image_size(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl,
                        litehtml::size& sz) override {
        // A picture's own size counts in pixels of the low-density screen,
        // like CSS pixels, so pages keep their proportions on a dense screen.
        if (Surface* s = Picture(src, baseurl)) {
            sz.width = s->Width() * GetScreenDpi() / 96;
            sz.height = s->Height() * GetScreenDpi() / 96;
        } else {
            sz.width = sz.height = 0;
        }
    }

    void draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& bg) override {
        HDC dc = reinterpret_cast<HDC>(hdc);
        DeviceContext* d = FindDC(dc);
        if (!d || !d->surface)
            return;
        const litehtml::position& c = bg.clip_box;
        if (bg.color.alpha > 0) {
            HBRUSH b = CreateSolidBrush(ToColor(bg.color));
            const RECT r = BoxRect(c);
            FillRect(dc, &r, b);
            DeleteObject(b);
        }
        if (bg.image.empty())
            return;
        Surface* pic = Picture(bg.image.c_str(), bg.baseurl.c_str());
        if (!pic)
            return;
        // A tile's size as the page asks, within what a picture can sensibly be scaled to.
        auto tileSize = [](int asked, int own) { return std::clamp(asked > 0 ? asked : own, 1, 1 << 15); };
        const int w = tileSize(bg.image_size.width, pic->Width());
        const int h = tileSize(bg.image_size.height, pic->Height());
        const bool rx = bg.repeat == litehtml::background_repeat_repeat ||
                        bg.repeat == litehtml::background_repeat_repeat_x;
        const bool ry = bg.repeat == litehtml::background_repeat_repeat ||
                        bg.repeat == litehtml::background_repeat_repeat_y;
        const RECT box = BoxRect(c);
        pixman_region32_t clip;
        pixman_region32_init_rect(
            &clip, d->SX(box.left), d->SY(box.top),
            static_cast<unsigned>(std::max(0L, static_cast<long>(box.right) - box.left)),
            static_cast<unsigned>(std::max(0L, static_cast<long>(box.bottom) - box.top)));
        pixman_region32_intersect(&clip, &clip, const_cast<pixman_region32_t*>(&d->Effective()));
        // One composite covers the part that can be seen: along a repeated
        // axis the picture repeats itself, so a tiny tile in a huge box costs
        // no more than a large one.
        const pixman_box32_t* seen = pixman_region32_extents(&clip);
        const int ox = d->SX(Far(bg.position_x)), oy = d->SY(Far(bg.position_y));
        const int left = rx ? seen->x1 : std::max(seen->x1, ox);
        const int right = rx ? seen->x2 : std::min<int>(seen->x2, Far(static_cast<long long>(ox) + w));
        const int top = ry ? seen->y1 : std::max(seen->y1, oy);
        const int bottom = ry ? seen->y2 : std::min<int>(seen->y2, Far(static_cast<long long>(oy) + h));
        if (left < right && top < bottom)
            CompositeTiles(*d->surface, *pic, &clip, Tiling{w, h, rx, ry, ox, oy},
                           RECT{left, top, right, bottom});
        pixman_region32_fini(&clip);
    }

    void draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& b, const litehtml::position& p,
                      bool) override {
        HDC dc = reinterpret_cast<HDC>(hdc);
        auto side = [dc](const litehtml::border& border, int l, int t, int r, int bt) {
            if (border.width <= 0 || border.style == litehtml::border_style_none ||
                border.style == litehtml::border_style_hidden)
                return;
            COLORREF c = ToColor(border.color);
            HBRUSH brush = CreateSolidBrush(c);
            RECT rc{l, t, r, bt};
            FillRect(dc, &rc, brush);
            DeleteObject(brush);
        };
        const RECT box = BoxRect(p);
        const int l = box.left, t = box.top, r = box.right, bt = box.bottom;
        auto width = [](const litehtml::border& border) { return Far(border.width); };
        side(b.top, l, t, r, t + width(b.top));
        side(b.bottom, l, bt - width(b.bottom), r, bt);
        side(b.left, l, t, l + width(b.left), bt);
        side(b.right, r - width(b.right), t, r, bt);
    }

    void set_caption(const litehtml::tchar_t* caption) override {
        title = ob::kernel::FromUtf8(caption ? caption : "");
    }
    void set_base_url(const litehtml::tchar_t*) override {}
    void link(const std::shared_ptr<litehtml::document>&, const litehtml::element::ptr&) override {}
    void on_anchor_click(const litehtml::tchar_t*, const litehtml::element::ptr&) override {}
    void set_cursor(const litehtml::tchar_t*) override {}

    void transform_text(litehtml::tstring& text, litehtml::text_transform tt) override {
        if (tt == litehtml::text_transform_uppercase || tt == litehtml::text_transform_lowercase ||
            tt == litehtml::text_transform_capitalize) {
            std::wstring w = ob::kernel::FromUtf8(text);
            for (std::size_t i = 0; i < w.size(); ++i) {
                const bool first = i == 0 || w[i - 1] == L' ';
                if (tt == litehtml::text_transform_uppercase ||
                    (tt == litehtml::text_transform_capitalize && first))
                    w[i] = static_cast<wchar_t>(std::towupper(w[i]));
                else if (tt == litehtml::text_transform_lowercase)
                    w[i] = static_cast<wchar_t>(std::towlower(w[i]));
            }
            text = ob::kernel::ToUtf8(w);
        }
    }

    // Style sheets are only taken from the page itself.
    void import_css(litehtml::tstring&, const litehtml::tstring&, litehtml::tstring&) override {}

    void set_clip(const litehtml::position& pos, const litehtml::border_radiuses&, bool, bool) override {
        if (!m_hdc)
            return;
        SaveDC(m_hdc);
        const RECT box = BoxRect(pos);
        IntersectClipRect(m_hdc, box.left, box.top, box.right, box.bottom);
    }
    void del_clip() override {
        if (m_hdc)
            RestoreDC(m_hdc, -1);
    }

    void get_client_rect(litehtml::position& client) const override {
        client = litehtml::position(0, 0, std::max(0, laidOutWidth), GetScreenSize().cy);
    }

    std::shared_ptr<litehtml::element> create_element(const litehtml::tchar_t*, const litehtml::string_map&,
                                                      const std::shared_ptr<litehtml::document>&) override {
        return nullptr;
    }

    void get_media_features(litehtml::media_features& media) const override {
        const SIZE screen = GetScreenSize();
        media.type = litehtml::media_type_screen;
        media.width = laidOutWidth > 0 ? laidOutWidth : screen.cx;
        media.height = screen.cy;
        media.device_width = screen.cx;
        media.device_height = screen.cy;
        media.color = 8;
        media.color_index = 0;
        media.monochrome = 0;
        media.resolution = GetScreenDpi();
    }

    void get_language(litehtml::tstring& language, litehtml::tstring& culture) const override {
        language = "en";
        culture.clear();
    }

private:
    // The decoded picture for an address, or nullptr. Only local files.
    Surface* Picture(const char* src, const char* baseurl) {
        if (!src || !*src)
            return nullptr;
        std::string path = src;
        auto it = m_pictures.find(path);
        if (it != m_pictures.end())
            return it->second.get();
        std::unique_ptr<Surface>& slot = m_pictures[path];
        std::string file;
        if (StartsWith(path, "file://")) {
            file = Unescape(path.substr(7));
            if (StartsWith(file, "localhost/"))
                file = file.substr(9);
        } else if (path.find("://") != std::string::npos || StartsWith(path, "//") ||
                   StartsWith(path, "data:")) {
            return nullptr;  // the viewer never goes to the network
        } else if (!path.empty() && path[0] == '/') {
            file = Unescape(path);
        } else {
            std::string base = baseurl && *baseurl ? baseurl : baseFolder;
            if (StartsWith(base, "file://"))
                base = Unescape(base.substr(7));
            if (base.empty())
                return nullptr;
            if (base.back() != '/')
                base += '/';
            file = base + Unescape(path);
        }
        slot = LoadImageFileToSurface(file);
        return slot.get();
    }

    litehtml::context m_context;
    std::map<litehtml::uint_ptr, Font> m_fonts;
    litehtml::uint_ptr m_nextFont = 0;
    std::map<std::string, std::unique_ptr<Surface>> m_pictures;
    HDC m_hdc = nullptr;
};

HtmlDocument::HtmlDocument() : m_container(std::make_unique<Container>()) {}
HtmlDocument::~HtmlDocument() = default;

void HtmlDocument::SetBaseFolder(const std::string& folder) { m_container->baseFolder = folder; }

// A page there is no memory to build, lay out or draw is dropped: the view
// stays plain and the rest of the program goes on.
void HtmlDocument::SetHtml(const std::wstring& html) {
    try {
        m_container->html = html;
        m_container->Build();
    } catch (const std::bad_alloc&) {
        m_container->Drop();
    }
}

bool HtmlDocument::Empty() const { return !m_container->m_document; }
int HtmlDocument::Layout(int width) {
    try {
        return m_container->Layout(width);
    } catch (const std::bad_alloc&) {
        m_container->Drop();
        return 0;
    }
}
int HtmlDocument::ContentHeight() const {
    return m_container->m_document ? m_container->m_document->height() : 0;
}
int HtmlDocument::ContentWidth() const {
    return m_container->m_document ? m_container->m_document->width() : 0;
}
void HtmlDocument::Draw(HDC hdc, const RECT& area, int scrollY) { m_container->Draw(hdc, area, scrollY); }
std::wstring HtmlDocument::Title() const { return m_container->title; }

}  // namespace ob::ui
