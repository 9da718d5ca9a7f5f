// Text output and measurement: fonts from LOGFONT, metrics, extents,
// ExtTextOut and DrawText with its formatting flags.
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/ui/gdi/Raster.h"
#include "platform/ui/text/FontEngine.h"

using namespace ob::ui;

namespace {

// A sum that would leave int's range stops at its end.
int Saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); }

std::wstring_view View(LPCWSTR text, int count) {
    if (!text)
        return {};
    if (count < 0)
        return std::wstring_view(text);
    return std::wstring_view(text, static_cast<std::size_t>(count));
}

int Width(RealFont& f, std::wstring_view s) {
    int w = 0;
    for (wchar_t c : s)
        w += f.Advance(static_cast<char32_t>(c));
    return w;
}

// Draws one run with its top-left cell corner at surface (x, y).
void DrawRun(DeviceContext& dc, RealFont& f, int x, int y, std::wstring_view s, const int* dx,
             const pixman_region32_t& clip, const std::vector<int>* marked = nullptr) {
    const std::uint32_t px = PixelFromColor(dc.textColor);
    const int baseline = y + f.ascent;
    int pen = x;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Glyph& g = f.GetGlyph(static_cast<char32_t>(s[i]));
        if (!g.coverage.empty())
            BlendMask(*dc.surface, clip, pen + g.left, baseline - g.top, g.coverage.data(), g.width, g.height,
                      g.width, px);
        const int adv = dx ? dx[i] : g.advance;
        if (marked && std::find(marked->begin(), marked->end(), static_cast<int>(i)) != marked->end())
            FillBox(*dc.surface, clip, pen, baseline + f.underlinePosition, pen + g.advance,
                    baseline + f.underlinePosition + f.lineThickness, px);
        pen += adv;
    }
    if (f.underline)
        FillBox(*dc.surface, clip, x, baseline + f.underlinePosition, pen,
                baseline + f.underlinePosition + f.lineThickness, px);
    if (f.strikeOut) {
        const int sy = baseline - f.ascent * 3 / 10;
        FillBox(*dc.surface, clip, x, sy, pen, sy + f.lineThickness, px);
    }
}

// A clip region narrowed to a surface rectangle.
struct NarrowClip {
    pixman_region32_t region;
    NarrowClip(const pixman_region32_t& base, int x1, int y1, int x2, int y2) {
        if (x2 < x1)
            x2 = x1;
        if (y2 < y1)
            y2 = y1;
        pixman_region32_init_rect(&region, x1, y1, static_cast<unsigned>(x2 - x1),
                                  static_cast<unsigned>(y2 - y1));
        pixman_region32_intersect(&region, &region, const_cast<pixman_region32_t*>(&base));
    }
    ~NarrowClip() { pixman_region32_fini(&region); }
};

struct Line {
    std::wstring text;
    std::vector<int> underline;  // characters a prefix '&' marks
};

// Splits and wraps text into lines as DrawText does.
std::vector<Line> LayOut(RealFont& f, std::wstring_view in, UINT fmt, int maxWidth) {
    // Prefix processing: "&x" underlines x, "&&" is a literal ampersand.
    std::wstring text;
    std::vector<int> marks;  // positions in `text` of marked characters
    if (fmt & DT_NOPREFIX) {
        text.assign(in);
    } else {
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (in[i] == L'&') {
                if (i + 1 < in.size() && in[i + 1] == L'&') {
                    text += L'&';
                    ++i;
                } else if (i + 1 < in.size()) {
                    if (!(fmt & DT_HIDEPREFIX))
                        marks.push_back(static_cast<int>(text.size()));
                }
                continue;
            }
            text += in[i];
        }
    }
    if (fmt & DT_EXPANDTABS) {
        std::wstring out;
        const int tab = 8 * std::max(1, f.averageWidth);
        int x = 0;
        for (wchar_t c : text) {
            if (c == L'\t') {
                const int next = (x / tab + 1) * tab;
                while (x < next) {
                    out += L' ';
                    x += f.Advance(U' ');
                }
            } else {
                out += c;
                x = (c == L'\n' || c == L'\r') ? 0 : x + f.Advance(static_cast<char32_t>(c));
            }
        }
        text = out;
    }
    std::vector<Line> lines;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;  // [begin, end) in text
    auto addLine = [&](std::size_t b, std::size_t e) { ranges.push_back({b, e}); };
    if (fmt & DT_SINGLELINE) {
        addLine(0, text.size());
    } else {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == L'\n' || text[i] == L'\r') {
                addLine(start, i);
                if (i < text.size() && text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                    ++i;
                start = i + 1;
            }
        }
    }
    if ((fmt & DT_WORDBREAK) && !(fmt & DT_SINGLELINE) && maxWidth > 0) {
        std::vector<std::pair<std::size_t, std::size_t>> wrapped;
        for (auto [b, e] : ranges) {
            std::size_t pos = b;
            if (pos == e)
                wrapped.push_back({b, e});
            while (pos < e) {
                int w = 0;
                std::size_t i = pos, lastBreak = std::wstring::npos;
                while (i < e) {
                    const int adv = f.Advance(static_cast<char32_t>(text[i]));
                    if (text[i] == L' ')
                        lastBreak = i;
                    if (w + adv > maxWidth && text[i] != L' ' && i > pos)
                        break;
                    w += adv;
                    ++i;
                }
                if (i >= e) {
                    wrapped.push_back({pos, e});
                    break;
                }
                std::size_t end, next;
                if (lastBreak != std::wstring::npos && lastBreak > pos) {
                    end = lastBreak;
                    next = lastBreak;
                } else {
                    // A word wider than the line is broken where it overflows.
                    end = i;
                    next = i;
                }
                while (end > pos && text[end - 1] == L' ')
                    --end;
                wrapped.push_back({pos, end});
                while (next < e && text[next] == L' ')
                    ++next;
                pos = next;
            }
        }
        ranges = std::move(wrapped);
    }
    for (auto [b, e] : ranges) {
        Line l;
        l.text = text.substr(b, e - b);
        for (int m : marks)
            if (m >= static_cast<int>(b) && m < static_cast<int>(e))
                l.underline.push_back(m - static_cast<int>(b));
        lines.push_back(std::move(l));
    }
    return lines;
}

void Ellipsize(RealFont& f, Line& line, int maxWidth) {
    if (Width(f, line.text) <= maxWidth)
        return;
    const int dots = Width(f, L"...");
    while (!line.text.empty() && Width(f, line.text) + dots > maxWidth)
        line.text.pop_back();
    line.text += L"...";
    const int kept = static_cast<int>(line.text.size()) - 3;
    line.underline.erase(
        std::remove_if(line.underline.begin(), line.underline.end(), [kept](int i) { return i >= kept; }),
        line.underline.end());
}

}  // namespace

HFONT CreateFontIndirect(const LOGFONTW* lf) {
    if (!lf)
        return nullptr;
    auto f = std::make_unique<FontObject>();
    f->logfont = *lf;
    f->logfont.lfFaceName[LF_FACESIZE - 1] = 0;
    return AddObject(std::move(f));
}

HFONT CreateFontIndirectW(const LOGFONTW* lf) { return CreateFontIndirect(lf); }

BOOL GetTextMetrics(HDC hdc, TEXTMETRICW* tm) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !tm)
        return FALSE;
    RealFont& f = RealizeFor(dc->font);
    *tm = TEXTMETRICW{};
    tm->tmHeight = f.Height();
    tm->tmAscent = f.ascent;
    tm->tmDescent = f.descent;
    tm->tmInternalLeading = std::max(0, f.Height() - f.ppem);
    tm->tmExternalLeading = 0;
    tm->tmAveCharWidth = f.averageWidth;
    tm->tmMaxCharWidth = f.maxWidth;
    tm->tmWeight = f.weight;
    tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = GetScreenDpi();
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFFFC;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = f.italic;
    tm->tmUnderlined = f.underline;
    tm->tmStruckOut = f.strikeOut;
    tm->tmPitchAndFamily = VARIABLE_PITCH | FF_SWISS | 0x06;  // variable, vector, TrueType
    tm->tmCharSet = ANSI_CHARSET;
    return TRUE;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm) { return GetTextMetrics(hdc, tm); }

BOOL GetTextExtentExPoint(HDC hdc, LPCWSTR text, int count, int maxExtent, int* fit, int* dx, SIZE* size) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || count < 0 || (!text && count > 0))
        return FALSE;
    RealFont& f = RealizeFor(dc->font);
    int w = 0, fitted = 0;
    for (int i = 0; i < count; ++i) {
        w += f.Advance(static_cast<char32_t>(text[i]));
        if (dx)
            dx[i] = w;
        if (w <= maxExtent)
            fitted = i + 1;
    }
    if (fit)
        *fit = fitted;
    if (size)
        *size = {w, f.Height()};
    return TRUE;
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, int* fit, int* dx, SIZE* size) {
    return GetTextExtentExPoint(hdc, text, count, maxExtent, fit, dx, size);
}

BOOL GetTextExtentPoint32(HDC hdc, LPCWSTR text, int count, SIZE* size) {
    if (!size)
        return FALSE;
    return GetTextExtentExPoint(hdc, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size) {
    return GetTextExtentPoint32(hdc, text, count, size);
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rc, LPCWSTR text, UINT count,
                const INT* dx) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !dc->surface)
        return FALSE;
    if (!text && count > 0)
        return FALSE;
    RealFont& f = RealizeFor(dc->font);
    const std::wstring_view s = View(text, static_cast<int>(count));
    long long total = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        total += dx ? dx[i] : f.Advance(static_cast<char32_t>(s[i]));
    // Far-off positions and widths are pulled in like all coordinates, so
    // the sums below cannot overflow.
    const int width = DeviceContext::Clamp(total);
    const pixman_region32_t& base = dc->Effective();
    if (rc && (options & ETO_OPAQUE))
        FillBox(*dc->surface, base, dc->SX(rc->left), dc->SY(rc->top), dc->SX(rc->right), dc->SY(rc->bottom),
                PixelFromColor(dc->bkColor));
    if (dc->textAlign & TA_UPDATECP) {
        x = dc->position.x;
        y = dc->position.y;
    }
    x = DeviceContext::Clamp(x);
    y = DeviceContext::Clamp(y);
    int left = x;
    if ((dc->textAlign & TA_CENTER) == TA_CENTER)
        left = x - width / 2;
    else if (dc->textAlign & TA_RIGHT)
        left = x - width;
    int top = y;
    if ((dc->textAlign & TA_BASELINE) == TA_BASELINE)
        top = y - f.ascent;
    else if (dc->textAlign & TA_BOTTOM)
        top = y - f.Height();
    if (dc->textAlign & TA_UPDATECP)
        dc->position.x = (dc->textAlign & TA_RIGHT) ? left : left + width;
    const bool clipped = rc && (options & ETO_CLIPPED);
    NarrowClip clip(base, clipped ? dc->SX(rc->left) : INT32_MIN / 2,
                    clipped ? dc->SY(rc->top) : INT32_MIN / 2, clipped ? dc->SX(rc->right) : INT32_MAX / 2,
                    clipped ? dc->SY(rc->bottom) : INT32_MAX / 2);
    if (dc->bkMode == OPAQUE && !(rc && (options & ETO_OPAQUE)))
        FillBox(*dc->surface, clip.region, dc->SX(left), dc->SY(top), dc->SX(left + width),
                dc->SY(top + f.Height()), PixelFromColor(dc->bkColor));
    DrawRun(*dc, f, dc->SX(left), dc->SY(top), s, dx, clip.region);
    return TRUE;
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rc, LPCWSTR text, UINT count,
                 const INT* dx) {
    return ExtTextOut(hdc, x, y, options, rc, text, count, dx);
}

BOOL TextOut(HDC hdc, int x, int y, LPCWSTR text, int count) {
    if (count < 0)
        return FALSE;
    return ExtTextOut(hdc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count) { return TextOut(hdc, x, y, text, count); }

int DrawText(HDC hdc, LPCWSTR text, int count, LPRECT rc, UINT fmt) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !rc || (!text && count != 0))
        return 0;
    RealFont& f = RealizeFor(dc->font);
    const std::wstring_view s = View(text, count);
    const int boxWidth = DeviceContext::Clamp(static_cast<long long>(rc->right) - rc->left);
    std::vector<Line> lines = LayOut(f, s, fmt, boxWidth);
    if (fmt & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
        for (Line& l : lines)
            Ellipsize(f, l, boxWidth);
    const int lineHeight = f.Height();
    int maxWidth = 0;
    for (const Line& l : lines)
        maxWidth = std::max(maxWidth, Width(f, l.text));
    const int textHeight = lineHeight * static_cast<int>(lines.size());
    int top = DeviceContext::Clamp(rc->top);
    if (fmt & DT_SINGLELINE) {
        if (fmt & DT_VCENTER)
            top = DeviceContext::Clamp(rc->top +
                                       (static_cast<long long>(rc->bottom) - rc->top - textHeight) / 2);
        else if (fmt & DT_BOTTOM)
            top = DeviceContext::Clamp(static_cast<long long>(rc->bottom) - textHeight);
    }
    if (fmt & DT_CALCRECT) {
        // Height of the text; the box widens for text wider than it, and a
        // single line keeps its own width.
        if ((fmt & DT_SINGLELINE) || !(fmt & DT_WORDBREAK) || maxWidth > boxWidth)
            rc->right = Saturate(static_cast<long long>(rc->left) + maxWidth);
        rc->bottom = Saturate(static_cast<long long>(rc->top) + textHeight);
        return textHeight;
    }
    if (!dc->surface)
        return 0;
    const pixman_region32_t& base = dc->Effective();
    NarrowClip clip(base, (fmt & DT_NOCLIP) ? INT32_MIN / 2 : dc->SX(rc->left),
                    (fmt & DT_NOCLIP) ? INT32_MIN / 2 : dc->SY(rc->top),
                    (fmt & DT_NOCLIP) ? INT32_MAX / 2 : dc->SX(rc->right),
                    (fmt & DT_NOCLIP) ? INT32_MAX / 2 : dc->SY(rc->bottom));
    int y = top;
    for (const Line& l : lines) {
        const int w = Width(f, l.text);
        int x = DeviceContext::Clamp(rc->left);
        if (fmt & DT_CENTER)
            x = DeviceContext::Clamp(rc->left + (static_cast<long long>(boxWidth) - w) / 2);
        else if (fmt & DT_RIGHT)
            x = DeviceContext::Clamp(static_cast<long long>(rc->right) - w);
        if (dc->bkMode == OPAQUE)
            FillBox(*dc->surface, clip.region, dc->SX(x), dc->SY(y), dc->SX(x + w), dc->SY(y + lineHeight),
                    PixelFromColor(dc->bkColor));
        DrawRun(*dc, f, dc->SX(x), dc->SY(y), l.text, nullptr, clip.region, &l.underline);
        y += lineHeight;
    }
    return (fmt & DT_SINGLELINE) && (fmt & (DT_VCENTER | DT_BOTTOM))
               ? Saturate(static_cast<long long>(top) - rc->top + textHeight)
               : textHeight;
}

int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rc, UINT fmt) {
    return DrawText(hdc, text, count, rc, fmt);
}
