#include "platform/ui/controls/TrackBar.h"

#include <algorithm>

#include "platform/ui/Gdi.h"

namespace ob::ui {

namespace {
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 100;
}  // namespace

TrackBar::TrackBar(HWND hwnd) : Control(hwnd) {}

TrackBar::~TrackBar() {
    if (drag_ == Drag::PageUp || drag_ == Drag::PageDown) KillTimer(hwnd_, kRepeatTimer);
}

int TrackBar::ThumbBreadth() const { return 11 * Scale(); }

void TrackBar::Travel(int& from, int& to) const {
    RECT rc = Client();
    int half = ThumbBreadth() / 2 + 2 * Scale();
    from = (Vertical() ? rc.top : rc.left) + half;
    to = (Vertical() ? rc.bottom : rc.right) - half - 1;
    if (to < from) to = from;
}

int TrackBar::PixelOf(int pos) const {
    int from = 0, to = 0;
    Travel(from, to);
    if (max_ <= min_) return from;
    return from + static_cast<int>(static_cast<long long>(to - from) * (pos - min_) / (max_ - min_));
}

int TrackBar::PosAt(int pixel) const {
    int from = 0, to = 0;
    Travel(from, to);
    if (to <= from || max_ <= min_) return min_;
    int offset = std::clamp(pixel - from, 0, to - from);
    long long span = static_cast<long long>(max_ - min_);
    return min_ + static_cast<int>((offset * span + (to - from) / 2) / (to - from));
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
    if (Vertical()) return {rc.left + centre - 2 * s, from - ThumbBreadth() / 2, rc.left + centre + 2 * s, to + ThumbBreadth() / 2 + 1};
    return {from - ThumbBreadth() / 2, rc.top + centre - 2 * s, to + ThumbBreadth() / 2 + 1, rc.top + centre + 2 * s};
}

RECT TrackBar::ThumbRect() const {
    RECT rc = Client();
    int s = Scale();
    int across = Vertical() ? rc.right - rc.left : rc.bottom - rc.top;
    int thumbLength = std::max(6 * s, std::min(across - 5 * s, 18 * s));
    int at = PixelOf(pos_);
    int half = ThumbBreadth() / 2;
    if (Vertical()) return {rc.left + 2 * s, at - half, rc.left + 2 * s + thumbLength, at + half + 1};
    return {at - half, rc.top + 2 * s, at + half + 1, rc.top + 2 * s + thumbLength};
}

std::vector<int> TrackBar::Ticks() const {
    std::vector<int> ticks;
    DWORD style = Style();
    if (style & TBS_NOTICKS) return ticks;
    if (style & TBS_AUTOTICKS) {
        int freq = std::max(1, tickFreq_);
        for (long long p = min_; p <= max_; p += freq) ticks.push_back(static_cast<int>(p));
        if (ticks.empty() || ticks.back() != max_) ticks.push_back(max_);
    } else {
        ticks.push_back(min_);
        ticks.push_back(max_);
    }
    for (int t : ticks_)
        if (t > min_ && t < max_) ticks.push_back(t);
    return ticks;
}

void TrackBar::SetPos(int pos, bool redraw) {
    pos = std::clamp(pos, min_, std::max(min_, max_));
    if (pos == pos_) return;
    pos_ = pos;
    if (redraw) Redraw();
}

void TrackBar::Send(WORD code, int pos) {
    HWND parent = GetParent(hwnd_);
    if (!parent) return;
    SendMessage(parent, Vertical() ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)),
                reinterpret_cast<LPARAM>(hwnd_));
}

void TrackBar::Step(WORD code) {
    int pos = pos_;
    switch (code) {
    case TB_LINEUP: pos -= line_; break;
    case TB_LINEDOWN: pos += line_; break;
    case TB_PAGEUP: pos -= page_; break;
    case TB_PAGEDOWN: pos += page_; break;
    case TB_TOP: pos = min_; break;
    case TB_BOTTOM: pos = max_; break;
    default: break;
    }
    SetPos(pos, true);
    Send(code);
}

LRESULT TrackBar::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    auto lo = [](LPARAM v) { return static_cast<int>(static_cast<short>(LOWORD(static_cast<std::uintptr_t>(v)))); };
    auto hi = [](LPARAM v) { return static_cast<int>(static_cast<short>(HIWORD(static_cast<std::uintptr_t>(v)))); };
    auto newRange = [&](int low, int high, bool redraw) {
        min_ = low;
        max_ = std::max(low, high);
        if (!pageSet_) page_ = std::max(1, (max_ - min_) / 5);
        pos_ = std::clamp(pos_, min_, max_);
        if (redraw) Redraw();
    };
    switch (msg) {
    case TBM_GETPOS: return pos_;
    case TBM_SETPOS:
        SetPos(static_cast<int>(lParam), wParam != 0);
        return 0;
    case TBM_GETRANGEMIN: return min_;
    case TBM_GETRANGEMAX: return max_;
    case TBM_SETRANGE: newRange(lo(lParam), hi(lParam), wParam != 0); return 0;
    case TBM_SETRANGEMIN: newRange(static_cast<int>(lParam), max_, wParam != 0); return 0;
    case TBM_SETRANGEMAX: newRange(min_, static_cast<int>(lParam), wParam != 0); return 0;
    case TBM_SETTICFREQ:
        tickFreq_ = std::max(1, static_cast<int>(wParam));
        Redraw();
        return 0;
    case TBM_SETTIC:
        if (static_cast<int>(lParam) < min_ || static_cast<int>(lParam) > max_) return FALSE;
        ticks_.push_back(static_cast<int>(lParam));
        Redraw();
        return TRUE;
    case TBM_CLEARTICS:
        ticks_.clear();
        if (wParam) Redraw();
        return 0;
    case TBM_GETNUMTICS:
        return static_cast<LRESULT>(Ticks().size());
    case TBM_SETPAGESIZE: {
        int old = page_;
        page_ = std::max(1, static_cast<int>(lParam));
        pageSet_ = true;
        return old;
    }
    case TBM_GETPAGESIZE: return page_;
    case TBM_SETLINESIZE: {
        int old = line_;
        line_ = std::max(1, static_cast<int>(lParam));
        return old;
    }
    case TBM_GETLINESIZE: return line_;
    case TBM_GETTHUMBRECT:
        if (lParam) *reinterpret_cast<RECT*>(lParam) = ThumbRect();
        return 0;
    case TBM_GETCHANNELRECT:
        if (lParam) *reinterpret_cast<RECT*>(lParam) = ChannelRect();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Redraw();
        return 0;
    case WM_LBUTTONDOWN: {
        SetFocus(hwnd_);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        pen_ = pt;
        RECT thumb = ThumbRect();
        int along = Vertical() ? pt.y : pt.x;
        SetCapture(hwnd_);
        if (PtInRect(&thumb, pt)) {
            drag_ = Drag::Thumb;
            grabOffset_ = along - PixelOf(pos_);
            Redraw();
        } else {
            drag_ = along < PixelOf(pos_) ? Drag::PageUp : Drag::PageDown;
            Step(drag_ == Drag::PageUp ? TB_PAGEUP : TB_PAGEDOWN);
            SetTimer(hwnd_, kRepeatTimer, kFirstRepeatMs, nullptr);
        }
        return 0;
    }
    case WM_MOUSEMOVE: {
        if (drag_ == Drag::None) return 0;
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        pen_ = pt;
        if (drag_ == Drag::Thumb) {
            int pos = PosAt((Vertical() ? pt.y : pt.x) - grabOffset_);
            if (pos != pos_) {
                SetPos(pos, true);
                Send(TB_THUMBTRACK, pos_);
            }
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == kRepeatTimer && (drag_ == Drag::PageUp || drag_ == Drag::PageDown)) {
            SetTimer(hwnd_, kRepeatTimer, kRepeatMs, nullptr);
            // Keep paging only while the thumb has not reached the pen.
            int along = Vertical() ? pen_.y : pen_.x;
            int at = PixelOf(pos_);
            if (drag_ == Drag::PageUp ? along < at - ThumbBreadth() / 2 : along > at + ThumbBreadth() / 2)
                Step(drag_ == Drag::PageUp ? TB_PAGEUP : TB_PAGEDOWN);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
        if (drag_ == Drag::None) return 0;
        Drag was = drag_;
        drag_ = Drag::None;
        KillTimer(hwnd_, kRepeatTimer);
        if (msg == WM_LBUTTONUP) ReleaseCapture();
        if (was == Drag::Thumb) Send(TB_THUMBPOSITION, pos_);
        Send(TB_ENDTRACK);
        Redraw();
        return 0;
    }
    case WM_KEYDOWN: {
        WORD code = 0xFFFF;
        switch (wParam) {
        case VK_LEFT: case VK_UP: code = TB_LINEUP; break;
        case VK_RIGHT: case VK_DOWN: code = TB_LINEDOWN; break;
        case VK_PRIOR: code = TB_PAGEUP; break;
        case VK_NEXT: code = TB_PAGEDOWN; break;
        case VK_HOME: code = TB_TOP; break;
        case VK_END: code = TB_BOTTOM; break;
        default: return 0;
        }
        Step(code);
        moved_ = true;
        return 0;
    }
    case WM_KEYUP:
        if (moved_) {
            moved_ = false;
            Send(TB_ENDTRACK);
        }
        return 0;
    default:
        return Control::OnMessage(msg, wParam, lParam);
    }
}

void TrackBar::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    HBRUSH custom = ParentColorBrush(hwnd_, WM_CTLCOLORSTATIC, hdc);
    if (custom) FillRect(hdc, &rc, custom);
    else FillSolid(hdc, rc, GetSysColor(COLOR_WINDOW));
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
    COLORREF face = !Enabled() ? GetSysColor(COLOR_BTNFACE)
                    : drag_ == Drag::Thumb ? GetSysColor(COLOR_HIGHLIGHT)
                                           : GetSysColor(COLOR_BTNFACE);
    int breadth = ThumbBreadth();
    int point = breadth / 2;  // length of the pointed end
    int length = vertical ? thumb.right - thumb.left : thumb.bottom - thumb.top;
    int body = std::max(0, length - point);
    auto shape = [&](int inset, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        for (int i = inset; i < length - inset; ++i) {
            int half = breadth / 2 - inset;
            if (i >= body) half -= (i - body) + (inset > 0 ? 0 : 0);
            if (half < 0) break;
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
