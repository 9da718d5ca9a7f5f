#include "platform/ui/controls/TrackBar.h"

#include <algorithm>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/MessageParams.h"

namespace ob::ui {

namespace {
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 100;

// Answers a query that fills the caller's rectangle, if it passed one.
void CopyOut(RECT* out, const RECT& value) {
    if (out)
        *out = value;
}
}  // namespace

TrackBar::TrackBar(HWND hwnd) : Control(hwnd) {}

TrackBar::~TrackBar() {
    if (m_drag == Drag::PageUp || m_drag == Drag::PageDown)
        KillTimer(m_hwnd, kRepeatTimer);
}

int TrackBar::ThumbBreadth() const { return 11 * Scale(); }

void TrackBar::Travel(int& from, int& to) const {
    RECT rc = Client();
    int half = ThumbBreadth() / 2 + 2 * Scale();
    from = (Vertical() ? rc.top : rc.left) + half;
    to = (Vertical() ? rc.bottom : rc.right) - half - 1;
    if (to < from)
        to = from;
}

int TrackBar::PixelOf(int pos) const {
    int from = 0, to = 0;
    Travel(from, to);
    if (m_max <= m_min)
        return from;
    return from + static_cast<int>(static_cast<long long>(to - from) * (pos - m_min) / (m_max - m_min));
}

int TrackBar::PosAt(int pixel) const {
    int from = 0, to = 0;
    Travel(from, to);
    if (to <= from || m_max <= m_min)
        return m_min;
    int offset = std::clamp(pixel - from, 0, to - from);
    long long span = static_cast<long long>(m_max - m_min);
    return m_min + static_cast<int>((offset * span + (to - from) / 2) / (to - from));
}

RECT TrackBar::ChannelRect() const {
    RECT rc = Client();
    int s = Scale();
    int from = 0, to = 0;
    Travel(from, to);
    int across = Vertical() ? rc.right - rc.left : rc.bottom - rc.top;
    // The channel runs through the thumb's upper part, leaving room for ticks.
    int thumbLength = std::min(across - 5 * s, 18 * s);
    int centre = 2 * s + thumbLength * 2 / 5;
    if (Vertical())
        return {rc.left + centre - 2 * s, from - ThumbBreadth() / 2, rc.left + centre + 2 * s,
                to + ThumbBreadth() / 2 + 1};
    return {from - ThumbBreadth() / 2, rc.top + centre - 2 * s, to + ThumbBreadth() / 2 + 1,
            rc.top + centre + 2 * s};
}

RECT TrackBar::ThumbRect() const {
    RECT rc = Client();
    int s = Scale();
    int across = Vertical() ? rc.right - rc.left : rc.bottom - rc.top;
    int thumbLength = std::max(6 * s, std::min(across - 5 * s, 18 * s));
    int at = PixelOf(m_pos);
    int half = ThumbBreadth() / 2;
    if (Vertical())
        return {rc.left + 2 * s, at - half, rc.left + 2 * s + thumbLength, at + half + 1};
    return {at - half, rc.top + 2 * s, at + half + 1, rc.top + 2 * s + thumbLength};
}

std::vector<int> TrackBar::Ticks() const {
    std::vector<int> ticks;
    DWORD style = Style();
    if (style & TBS_NOTICKS)
        return ticks;
    if (style & TBS_AUTOTICKS) {
        int freq = std::max(1, m_tickFreq);
        for (long long p = m_min; p <= m_max; p += freq)
            ticks.push_back(static_cast<int>(p));
        if (ticks.empty() || ticks.back() != m_max)
            ticks.push_back(m_max);
    } else {
        ticks.push_back(m_min);
        ticks.push_back(m_max);
    }
    for (int t : m_ticks)
        if (t > m_min && t < m_max)
            ticks.push_back(t);
    return ticks;
}

void TrackBar::SetPos(int pos, bool redraw) {
    pos = std::clamp(pos, m_min, std::max(m_min, m_max));
    if (pos == m_pos)
        return;
    m_pos = pos;
    if (redraw)
        Redraw();
}

void TrackBar::Send(WORD code, int pos) {
    HWND parent = GetParent(m_hwnd);
    if (!parent)
        return;
    SendMessage(parent, Vertical() ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)),
                reinterpret_cast<LPARAM>(m_hwnd));
}

void TrackBar::Step(WORD code) {
    int pos = m_pos;
    switch (code) {
    case TB_LINEUP: pos -= m_line; break;
    case TB_LINEDOWN: pos += m_line; break;
    case TB_PAGEUP: pos -= m_page; break;
    case TB_PAGEDOWN: pos += m_page; break;
    case TB_TOP: pos = m_min; break;
    case TB_BOTTOM: pos = m_max; break;
    default: break;
    }
    SetPos(pos, true);
    Send(code);
}

void TrackBar::SetRange(int low, int high, bool redraw) {
    m_min = low;
    m_max = std::max(low, high);
    if (!m_pageSet)
        m_page = std::max(1, (m_max - m_min) / 5);
    m_pos = std::clamp(m_pos, m_min, m_max);
    if (redraw)
        Redraw();
}

void TrackBar::SetTickFrequency(int frequency) {
    m_tickFreq = std::max(1, frequency);
    Redraw();
}

BOOL TrackBar::AddTick(int pos) {
    if (pos < m_min || pos > m_max)
        return FALSE;
    m_ticks.push_back(pos);
    Redraw();
    return TRUE;
}

void TrackBar::ClearTicks(bool redraw) {
    m_ticks.clear();
    if (redraw)
        Redraw();
}

int TrackBar::SetPageSize(int size) {
    int old = m_page;
    m_page = std::max(1, size);
    m_pageSet = true;
    return old;
}

int TrackBar::SetLineSize(int size) {
    int old = m_line;
    m_line = std::max(1, size);
    return old;
}

void TrackBar::OnLButtonDown(POINT pt) {
    SetFocus(m_hwnd);
    m_pen = pt;
    RECT thumb = ThumbRect();
    int along = Vertical() ? pt.y : pt.x;
    SetCapture(m_hwnd);
    if (PtInRect(&thumb, pt)) {
        m_drag = Drag::Thumb;
        m_grabOffset = along - PixelOf(m_pos);
        Redraw();
    } else {
        m_drag = along < PixelOf(m_pos) ? Drag::PageUp : Drag::PageDown;
        Step(m_drag == Drag::PageUp ? TB_PAGEUP : TB_PAGEDOWN);
        SetTimer(m_hwnd, kRepeatTimer, kFirstRepeatMs, nullptr);
    }
}

void TrackBar::OnMouseMove(POINT pt) {
    if (m_drag == Drag::None)
        return;
    m_pen = pt;
    if (m_drag == Drag::Thumb) {
        int pos = PosAt((Vertical() ? pt.y : pt.x) - m_grabOffset);
        if (pos != m_pos) {
            SetPos(pos, true);
            Send(TB_THUMBTRACK, m_pos);
        }
    }
}

void TrackBar::OnTimer(UINT_PTR id) {
    if (id != kRepeatTimer || (m_drag != Drag::PageUp && m_drag != Drag::PageDown))
        return;
    SetTimer(m_hwnd, kRepeatTimer, kRepeatMs, nullptr);
    // Keep paging only while the thumb has not reached the pen.
    int along = Vertical() ? m_pen.y : m_pen.x;
    int at = PixelOf(m_pos);
    if (m_drag == Drag::PageUp ? along < at - ThumbBreadth() / 2 : along > at + ThumbBreadth() / 2)
        Step(m_drag == Drag::PageUp ? TB_PAGEUP : TB_PAGEDOWN);
}

void TrackBar::EndDrag(bool release) {
    if (m_drag == Drag::None)
        return;
    Drag was = m_drag;
    m_drag = Drag::None;
    KillTimer(m_hwnd, kRepeatTimer);
    if (release)
        ReleaseCapture();
    if (was == Drag::Thumb)
        Send(TB_THUMBPOSITION, m_pos);
    Send(TB_ENDTRACK);
    Redraw();
}

void TrackBar::OnKeyDown(WPARAM key) {
    WORD code = 0xFFFF;
    switch (key) {
    case VK_LEFT:
    case VK_UP: code = TB_LINEUP; break;
    case VK_RIGHT:
    case VK_DOWN: code = TB_LINEDOWN; break;
    case VK_PRIOR: code = TB_PAGEUP; break;
    case VK_NEXT: code = TB_PAGEDOWN; break;
    case VK_HOME: code = TB_TOP; break;
    case VK_END: code = TB_BOTTOM; break;
    default: return;
    }
    Step(code);
    m_moved = true;
}

void TrackBar::OnKeyUp() {
    if (m_moved) {
        m_moved = false;
        Send(TB_ENDTRACK);
    }
}

LRESULT TrackBar::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool redraw = wParam != 0;
    const int value = static_cast<int>(lParam);
    switch (msg) {
    case TBM_GETPOS: return m_pos;
    case TBM_SETPOS: SetPos(value, redraw); return 0;
    case TBM_GETRANGEMIN: return m_min;
    case TBM_GETRANGEMAX: return m_max;
    case TBM_SETRANGE: SetRange(SignedLowWord(lParam), SignedHighWord(lParam), redraw); return 0;
    case TBM_SETRANGEMIN: SetRange(value, m_max, redraw); return 0;
    case TBM_SETRANGEMAX: SetRange(m_min, value, redraw); return 0;
    case TBM_SETTICFREQ: SetTickFrequency(static_cast<int>(wParam)); return 0;
    case TBM_SETTIC: return AddTick(value);
    case TBM_CLEARTICS: ClearTicks(redraw); return 0;
    case TBM_GETNUMTICS: return static_cast<LRESULT>(Ticks().size());
    case TBM_SETPAGESIZE: return SetPageSize(value);
    case TBM_GETPAGESIZE: return m_page;
    case TBM_SETLINESIZE: return SetLineSize(value);
    case TBM_GETLINESIZE: return m_line;
    case TBM_GETTHUMBRECT: CopyOut(PointerFromParam<RECT>(lParam), ThumbRect()); return 0;
    case TBM_GETCHANNELRECT: CopyOut(PointerFromParam<RECT>(lParam), ChannelRect()); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Redraw(); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(PointFromParam(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(PointFromParam(lParam)); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_LBUTTONUP: EndDrag(true); return 0;
    case WM_CAPTURECHANGED: EndDrag(false); return 0;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    case WM_KEYUP: OnKeyUp(); return 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

void TrackBar::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    HBRUSH custom = ParentColorBrush(m_hwnd, WM_CTLCOLORSTATIC, hdc);
    if (custom)
        FillRect(hdc, &rc, custom);
    else
        FillSolid(hdc, rc, GetSysColor(COLOR_WINDOW));
    COLORREF ink = Enabled() ? GetSysColor(COLOR_WINDOWFRAME) : GetSysColor(COLOR_GRAYTEXT);
    bool vertical = Vertical();
    // Channel: a slim well.
    RECT channel = ChannelRect();
    FillSolid(hdc, channel, GetSysColor(COLOR_WINDOW));
    FrameSolid(hdc, channel, GetSysColor(COLOR_BTNSHADOW), s);
    // Ticks below (or right of) the thumb.
    RECT thumb = ThumbRect();
    int tickStart = (vertical ? thumb.right : thumb.bottom) + s;
    int tickEnd = std::min<int>(tickStart + 3 * s, vertical ? rc.right : rc.bottom);
    for (int t : Ticks()) {
        int at = PixelOf(t);
        RECT tick = vertical ? RECT{tickStart, at, tickEnd, at + s} : RECT{at, tickStart, at + s, tickEnd};
        FillSolid(hdc, tick, ink);
    }
    // The thumb: a block with a point towards the ticks, outlined.
    COLORREF face = !Enabled()              ? GetSysColor(COLOR_BTNFACE)
                    : m_drag == Drag::Thumb ? GetSysColor(COLOR_HIGHLIGHT)
                                            : GetSysColor(COLOR_BTNFACE);
    int breadth = ThumbBreadth();
    int point = breadth / 2;  // length of the pointed end
    int length = vertical ? thumb.right - thumb.left : thumb.bottom - thumb.top;
    int body = std::max(0, length - point);
    auto shape = [&](int inset, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        for (int i = inset; i < length - inset; ++i) {
            int half = breadth / 2 - inset;
            if (i >= body)
                half -= (i - body) + (inset > 0 ? 0 : 0);
            if (half < 0)
                break;
            int centre = vertical ? (thumb.top + thumb.bottom) / 2 : (thumb.left + thumb.right) / 2;
            RECT span = vertical ? RECT{thumb.left + i, centre - half, thumb.left + i + 1, centre + half + 1}
                                 : RECT{centre - half, thumb.top + i, centre + half + 1, thumb.top + i + 1};
            FillRect(hdc, &span, brush);
        }
        DeleteObject(brush);
    };
    shape(0, ink);
    shape(s, face);
    if (Focused()) {
        RECT focus = rc;
        DrawFocusRect(hdc, &focus);
    }
}

}  // namespace ob::ui
