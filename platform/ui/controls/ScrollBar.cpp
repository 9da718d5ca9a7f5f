#include "platform/ui/controls/ScrollBar.h"

#include <algorithm>
#include <map>
#include <optional>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/MessageParams.h"

namespace ob::ui {

namespace {
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 80;

// The scroll code a key sends: the arrows a line, Page Up and Down a page,
// Home and End to the ends.
std::optional<WORD> CodeForKey(UINT key) {
    switch (key) {
    case VK_UP:
    case VK_LEFT: return SB_LINEUP;
    case VK_DOWN:
    case VK_RIGHT: return SB_LINEDOWN;
    case VK_PRIOR: return SB_PAGEUP;
    case VK_NEXT: return SB_PAGEDOWN;
    case VK_HOME: return SB_TOP;
    case VK_END: return SB_BOTTOM;
    default: return std::nullopt;
    }
}

}  // namespace

int ScrollBarThickness() { return GetSystemMetrics(SM_CXVSCROLL); }

// ---- model -----------------------------------------------------------------------

int ScrollModel::MaxPos() const {
    int last = max - std::max(0, static_cast<int>(page) - 1);
    return std::max(min, last);
}

void ScrollModel::Set(const SCROLLINFO& info) {
    if (info.fMask & SIF_RANGE) {
        min = info.nMin;
        max = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE)
        page = info.nPage;
    long long span = static_cast<long long>(max) - min + 1;
    if (static_cast<long long>(page) > span)
        page = static_cast<UINT>(span);
    if (info.fMask & SIF_POS)
        pos = info.nPos;
    pos = std::clamp(pos, min, MaxPos());
}

void ScrollModel::Get(SCROLLINFO& info) const {
    if (info.fMask & SIF_RANGE) {
        info.nMin = min;
        info.nMax = max;
    }
    if (info.fMask & SIF_PAGE)
        info.nPage = page;
    if (info.fMask & SIF_POS)
        info.nPos = pos;
    if (info.fMask & SIF_TRACKPOS)
        info.nTrackPos = trackPos;
}

// ---- geometry and drawing ----------------------------------------------------------

int ScrollGeometry::Length() const { return vertical ? rect.bottom - rect.top : rect.right - rect.left; }

int ScrollGeometry::ArrowLength() const {
    int across = vertical ? rect.right - rect.left : rect.bottom - rect.top;
    // Arrows are square unless the bar is too short for two squares.
    return std::min(across, Length() / 2);
}

void ScrollGeometry::ThumbSpan(int& start, int& size) const {
    int arrow = ArrowLength();
    int track = Length() - 2 * arrow;
    long long span = static_cast<long long>(model.max) - model.min + 1;
    int minThumb = 8 * DensityScale();
    start = arrow;
    size = 0;
    if (track < minThumb || !model.Scrollable() || span <= 0)
        return;
    size = model.page ? static_cast<int>(track * static_cast<long long>(model.page) / span) : minThumb;
    size = std::clamp(size, minThumb, track);
    int range = model.MaxPos() - model.min;
    int travel = track - size;
    int shown = tracking ? model.trackPos : model.pos;
    if (range > 0)
        start += static_cast<int>(static_cast<long long>(travel) * (shown - model.min) / range);
}

int ScrollGeometry::PosFromThumbStart(int start) const {
    int arrow = ArrowLength(), thumbStart = 0, thumbSize = 0;
    ThumbSpan(thumbStart, thumbSize);
    int travel = Length() - 2 * arrow - thumbSize;
    int range = model.MaxPos() - model.min;
    if (travel <= 0 || range <= 0)
        return model.min;
    int offset = std::clamp(start - arrow, 0, travel);
    return model.min + static_cast<int>((static_cast<long long>(offset) * range + travel / 2) / travel);
}

ScrollPart ScrollGeometry::HitTest(POINT pt) const {
    if (!PtInRect(&rect, pt))
        return ScrollPart::None;
    int along = vertical ? pt.y - rect.top : pt.x - rect.left;
    int arrow = ArrowLength();
    if (along < arrow)
        return ScrollPart::LineUp;
    if (along >= Length() - arrow)
        return ScrollPart::LineDown;
    int start = 0, size = 0;
    ThumbSpan(start, size);
    if (size == 0)
        return ScrollPart::None;
    if (along < start)
        return ScrollPart::PageUp;
    if (along >= start + size)
        return ScrollPart::PageDown;
    return ScrollPart::Thumb;
}

void ScrollGeometry::Draw(HDC hdc, ScrollPart pressed, bool enabled) const {
    const int s = DensityScale();
    COLORREF ink = GetSysColor(COLOR_WINDOWFRAME);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    bool active = enabled && model.Scrollable();
    COLORREF arrowInk = active ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT);
    int arrow = ArrowLength();
    int length = Length();
    auto span = [&](int from, int to) {
        return vertical ? RECT{rect.left, rect.top + from, rect.right, rect.top + to}
                        : RECT{rect.left + from, rect.top, rect.left + to, rect.bottom};
    };
    FillSolid(hdc, span(arrow, length - arrow), GetSysColor(COLOR_SCROLLBAR));
    int start = 0, size = 0;
    ThumbSpan(start, size);
    if (pressed == ScrollPart::PageUp)
        FillSolid(hdc, span(arrow, start), GetSysColor(COLOR_BTNSHADOW));
    if (pressed == ScrollPart::PageDown)
        FillSolid(hdc, span(start + size, length - arrow), GetSysColor(COLOR_BTNSHADOW));
    auto button = [&](RECT box, Arrow direction, bool down) {
        FillSolid(hdc, box, down ? ink : face);
        FrameSolid(hdc, box, ink, s);
        int across = std::min(box.right - box.left, box.bottom - box.top);
        int glyph = std::max(3, across / 2);
        if (glyph % 2 == 0)
            ++glyph;
        DrawArrow(hdc, box, direction, glyph, down ? face : arrowInk);
    };
    button(span(0, arrow), vertical ? Arrow::Up : Arrow::Left, pressed == ScrollPart::LineUp);
    button(span(length - arrow, length), vertical ? Arrow::Down : Arrow::Right,
           pressed == ScrollPart::LineDown);
    if (vertical) {
        FillSolid(hdc, {rect.left, rect.top + arrow, rect.left + s, rect.bottom - arrow}, ink);
        FillSolid(hdc, {rect.right - s, rect.top + arrow, rect.right, rect.bottom - arrow}, ink);
    } else {
        FillSolid(hdc, {rect.left + arrow, rect.top, rect.right - arrow, rect.top + s}, ink);
        FillSolid(hdc, {rect.left + arrow, rect.bottom - s, rect.right - arrow, rect.bottom}, ink);
    }
    if (size > 0 && enabled) {
        RECT thumb = span(start, start + size);
        FillSolid(hdc, thumb,
                  pressed == ScrollPart::Thumb ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_WINDOW));
        FrameSolid(hdc, thumb, ink, s);
    }
}

// ---- the control ----------------------------------------------------------------------

ScrollBar::ScrollBar(HWND hwnd) : Control(hwnd) {}

ScrollBar::~ScrollBar() {
    if (m_pressed != ScrollPart::None)
        KillTimer(m_hwnd, kRepeatTimer);
}

ScrollGeometry ScrollBar::Geometry() const {
    return ScrollGeometry{Client(), Vertical(), m_model, m_pressed == ScrollPart::Thumb};
}

void ScrollBar::Send(WORD code, int pos) {
    HWND parent = GetParent(m_hwnd);
    if (!parent)
        return;
    SendMessage(parent, Vertical() ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)),
                reinterpret_cast<LPARAM>(m_hwnd));
}

void ScrollBar::Repeat() {
    if (!m_inside)
        return;
    ScrollPart at = Geometry().HitTest(m_lastPen);
    switch (m_pressed) {
    case ScrollPart::LineUp: Send(SB_LINEUP); break;
    case ScrollPart::LineDown: Send(SB_LINEDOWN); break;
    // Paging stops once the thumb has reached the pen.
    case ScrollPart::PageUp:
        if (at == ScrollPart::PageUp)
            Send(SB_PAGEUP);
        break;
    case ScrollPart::PageDown:
        if (at == ScrollPart::PageDown)
            Send(SB_PAGEDOWN);
        break;
    default: break;
    }
}

LRESULT ScrollBar::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case SBM_SETSCROLLINFO: return SetInfo(PointerFromParam<const SCROLLINFO>(lParam), wParam != 0);
    case SBM_GETSCROLLINFO: return GetInfo(PointerFromParam<SCROLLINFO>(lParam));
    case SBM_SETPOS: return SetPos(static_cast<int>(wParam), lParam != 0);
    case SBM_GETPOS: return m_model.pos;
    case SBM_SETRANGE: return SetRange(static_cast<int>(wParam), static_cast<int>(lParam), false);
    case SBM_SETRANGEREDRAW: return SetRange(static_cast<int>(wParam), static_cast<int>(lParam), true);
    case SBM_GETRANGE: GetRange(reinterpret_cast<int*>(wParam), PointerFromParam<int>(lParam)); return 0;
    case WM_LBUTTONDOWN: OnPenDown(PointFromParam(lParam)); return 0;
    case WM_MOUSEMOVE: OnPenMove(PointFromParam(lParam)); return 0;
    case WM_LBUTTONUP: OnRelease(true); return 0;
    case WM_CAPTURECHANGED: OnRelease(false); return 0;
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam)); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

int ScrollBar::SetInfo(const SCROLLINFO* info, bool redraw) {
    if (!info)
        return m_model.pos;
    m_model.Set(*info);
    if (redraw)
        Redraw();
    return m_model.pos;
}

BOOL ScrollBar::GetInfo(SCROLLINFO* info) const {
    if (!info)
        return FALSE;
    m_model.Get(*info);
    return TRUE;
}

int ScrollBar::SetPos(int pos, bool redraw) {
    int old = m_model.pos;
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, pos, 0};
    m_model.Set(info);
    if (redraw)
        Redraw();
    return old;
}

int ScrollBar::SetRange(int min, int max, bool redraw) {
    int old = m_model.pos;
    SCROLLINFO info{sizeof info, SIF_RANGE, min, max, 0, 0, 0};
    m_model.Set(info);
    if (redraw)
        Redraw();
    return old;
}

void ScrollBar::GetRange(int* min, int* max) const {
    if (min)
        *min = m_model.min;
    if (max)
        *max = m_model.max;
}

void ScrollBar::OnPenDown(POINT at) {
    if (!Enabled())
        return;
    m_lastPen = at;
    m_pressed = Geometry().HitTest(at);
    if (m_pressed == ScrollPart::None)
        return;
    m_inside = true;
    SetCapture(m_hwnd);
    if (m_pressed == ScrollPart::Thumb) {
        int start = 0, size = 0;
        Geometry().ThumbSpan(start, size);
        m_grabOffset = (Vertical() ? at.y : at.x) - start;
        m_model.trackPos = m_model.pos;
    } else {
        Repeat();
        SetTimer(m_hwnd, kRepeatTimer, kFirstRepeatMs, nullptr);
    }
    Redraw();
}

void ScrollBar::OnPenMove(POINT at) {
    if (m_pressed == ScrollPart::None)
        return;
    m_lastPen = at;
    if (m_pressed == ScrollPart::Thumb) {
        int pos = Geometry().PosFromThumbStart((Vertical() ? at.y : at.x) - m_grabOffset);
        if (pos != m_model.trackPos) {
            m_model.trackPos = pos;
            Redraw();
            Send(SB_THUMBTRACK, pos);
        }
        return;
    }
    ScrollPart part = Geometry().HitTest(at);
    bool paging = m_pressed == ScrollPart::PageUp || m_pressed == ScrollPart::PageDown;
    bool inside = part == m_pressed || (paging && part != ScrollPart::None);
    if (inside != m_inside) {
        m_inside = inside;
        Redraw();
    }
}

void ScrollBar::OnRelease(bool lifted) {
    if (m_pressed == ScrollPart::None)
        return;
    ScrollPart was = m_pressed;
    m_pressed = ScrollPart::None;
    KillTimer(m_hwnd, kRepeatTimer);
    if (lifted)
        ReleaseCapture();
    if (was == ScrollPart::Thumb)
        Send(SB_THUMBPOSITION, m_model.trackPos);
    Send(SB_ENDSCROLL);
    Redraw();
}

void ScrollBar::OnTimer(UINT_PTR id) {
    if (id == kRepeatTimer && m_pressed != ScrollPart::None) {
        SetTimer(m_hwnd, kRepeatTimer, kRepeatMs, nullptr);
        Repeat();
    }
}

void ScrollBar::OnKeyDown(UINT key) {
    if (const std::optional<WORD> code = CodeForKey(key)) {
        Send(*code);
        Send(SB_ENDSCROLL);
    }
}

void ScrollBar::Paint(HDC hdc, const RECT&) {
    Geometry().Draw(hdc, m_inside ? m_pressed : ScrollPart::None, Enabled());
}

// ---- the bars in a window's frame -----------------------------------------------------

namespace {

struct FrameBars {
    ScrollModel bars[2];         // SB_HORZ, SB_VERT
    WNDPROC previous = nullptr;  // the window's own procedure, when we stand in front of it
};

std::map<HWND, FrameBars>& AllFrameBars() {
    static std::map<HWND, FrameBars> all;
    return all;
}

// The bar's rectangle in window coordinates; false when the window has no such bar.
bool FrameBarRect(HWND hwnd, int bar, RECT& out) {
    DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    if (!(style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)))
        return false;
    RECT window{}, client{};
    if (!GetWindowRect(hwnd, &window) || !GetClientRect(hwnd, &client))
        return false;
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    int left = origin.x - window.left, top = origin.y - window.top;
    int t = ScrollBarThickness();
    if (bar == SB_VERT)
        out = {left + client.right, top, left + client.right + t, top + client.bottom};
    else
        out = {left, top + client.bottom, left + client.right, top + client.bottom + t};
    return out.right > out.left && out.bottom > out.top;
}

void PaintFrameBar(HWND hwnd, int bar, ScrollPart pressed) {
    RECT rect{};
    if (!FrameBarRect(hwnd, bar, rect))
        return;
    HDC hdc = GetWindowDC(hwnd);
    if (!hdc)
        return;
    ScrollModel& model = AllFrameBars()[hwnd].bars[bar];
    // A bar kept by SIF_DISABLENOSCROLL over a range that fits is drawn disabled.
    const bool enabled = IsWindowEnabled(hwnd) != FALSE && model.Scrollable();
    ScrollGeometry{rect, bar == SB_VERT, model, pressed == ScrollPart::Thumb}.Draw(hdc, pressed, enabled);
    ReleaseDC(hwnd, hdc);
}

// Windows that are not our controls get their frame bars drawn and
// tracked by a procedure put in front of their own, as a subclass would.
LRESULT FrameBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto it = AllFrameBars().find(hwnd);
    WNDPROC previous = it != AllFrameBars().end() ? it->second.previous : nullptr;
    if (!previous)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_NCPAINT: {
        LRESULT result = CallWindowProc(previous, hwnd, msg, wParam, lParam);
        PaintWindowScrollBars(hwnd);
        return result;
    }
    case WM_NCLBUTTONDOWN_:
        if (TrackWindowScrollBar(hwnd, lParam))
            return 0;
        return CallWindowProc(previous, hwnd, msg, wParam, lParam);
    case WM_NCDESTROY: {
        SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        AllFrameBars().erase(hwnd);
        return CallWindowProc(previous, hwnd, msg, wParam, lParam);
    }
    default: return CallWindowProc(previous, hwnd, msg, wParam, lParam);
    }
}

void HookFrameBars(HWND hwnd) {
    FrameBars& bars = AllFrameBars()[hwnd];
    if (bars.previous || FindControl(hwnd))
        return;  // our controls draw their own
    auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtr(hwnd, GWLP_WNDPROC));
    if (!current || current == FrameBarProc)
        return;
    bars.previous = current;
    SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameBarProc));
}

// Shows or hides the bar in the frame by its style, as the device does when
// the range comes to fit its page or stops fitting it; the client area
// changes, so the window hears WM_SIZE.
void ShowFrameBar(HWND hwnd, int bar, bool show) {
    const DWORD flag = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    if (((style & flag) != 0) == show)
        return;
    SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(show ? style | flag : style & ~flag));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void SendScroll(HWND hwnd, int bar, WORD code, int pos = 0) {
    SendMessage(hwnd, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)), 0);
}

}  // namespace

void PaintWindowScrollBars(HWND hwnd) {
    PaintFrameBar(hwnd, SB_VERT, ScrollPart::None);
    PaintFrameBar(hwnd, SB_HORZ, ScrollPart::None);
}

void ForgetWindowScrollBars(HWND hwnd) { AllFrameBars().erase(hwnd); }

namespace {

// A press on one bar in a window's frame, followed until the pen is lifted.
// Like the device, the bar tracks the pen in a loop of its own: the
// window's procedure never sees these pen moves. Every scroll code goes to
// the window, which may destroy itself on any of them.
class FrameBarPress {
public:
    FrameBarPress(HWND hwnd, int bar, const RECT& rect, const RECT& window)
        : m_hwnd(hwnd), m_bar(bar), m_rect(rect), m_window(window) {}

    // The pen went down at `pt` (window coordinates) on the bar.
    void Run(POINT pt) {
        m_part = Geometry(false).HitTest(pt);
        if (m_part == ScrollPart::None || !Press(pt))
            return;
        PaintFrameBar(m_hwnd, m_bar, m_part);
        SetCapture(m_hwnd);
        if (!Follow())
            return;
        if (GetCapture() == m_hwnd)
            ReleaseCapture();
        if (IsWindow(m_hwnd))
            Lift();
    }

private:
    bool Vertical() const { return m_bar == SB_VERT; }
    ScrollModel& Model() const { return AllFrameBars()[m_hwnd].bars[m_bar]; }
    ScrollGeometry Geometry(bool tracking) const {
        return ScrollGeometry{m_rect, Vertical(), Model(), tracking};
    }

    // Grabs the thumb, or sends the first line or page; false when the
    // window went away.
    bool Press(POINT pt) {
        if (m_part == ScrollPart::Thumb) {
            int start = 0, size = 0;
            Geometry(false).ThumbSpan(start, size);
            m_grab = (Vertical() ? pt.y - m_rect.top : pt.x - m_rect.left) - start;
            Model().trackPos = Model().pos;
        } else {
            WORD code = m_part == ScrollPart::LineUp     ? SB_LINEUP
                        : m_part == ScrollPart::LineDown ? SB_LINEDOWN
                        : m_part == ScrollPart::PageUp   ? SB_PAGEUP
                                                         : SB_PAGEDOWN;
            SendScroll(m_hwnd, m_bar, code);
        }
        return IsWindow(m_hwnd) != FALSE;
    }

    // Runs the messages until the pen is lifted or the capture lost; the
    // other pen messages are swallowed. False when the window went away.
    bool Follow() {
        MSG msg{};
        while (GetCapture() == m_hwnd && GetMessage(&msg, nullptr, 0, 0)) {
            if (msg.message == WM_MOUSEMOVE && msg.hwnd == m_hwnd && m_part == ScrollPart::Thumb) {
                if (!DragThumb(msg.lParam))
                    return false;
                continue;
            }
            if (msg.message == WM_LBUTTONUP && msg.hwnd == m_hwnd)
                break;
            if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
                continue;
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
        return true;
    }

    // The thumb follows a pen move (client coordinates in `lParam`); false
    // when the window went away.
    bool DragThumb(LPARAM lParam) {
        POINT origin{0, 0};
        ClientToScreen(m_hwnd, &origin);
        int along = Vertical() ? GET_Y_LPARAM(lParam) + origin.y - m_window.top - m_rect.top
                               : GET_X_LPARAM(lParam) + origin.x - m_window.left - m_rect.left;
        ScrollModel& model = Model();
        int pos = Geometry(true).PosFromThumbStart(along - m_grab);
        if (pos == model.trackPos)
            return true;
        model.trackPos = pos;
        SendScroll(m_hwnd, m_bar, SB_THUMBTRACK, pos);
        if (!IsWindow(m_hwnd))
            return false;
        PaintFrameBar(m_hwnd, m_bar, m_part);
        return true;
    }

    // The pen lifted: the thumb's last place and the end of the scroll.
    void Lift() {
        if (m_part == ScrollPart::Thumb)
            SendScroll(m_hwnd, m_bar, SB_THUMBPOSITION, Model().trackPos);
        SendScroll(m_hwnd, m_bar, SB_ENDSCROLL);
        if (IsWindow(m_hwnd))
            PaintFrameBar(m_hwnd, m_bar, ScrollPart::None);
    }

    HWND m_hwnd;
    int m_bar;
    RECT m_rect;    // the bar, in window coordinates
    RECT m_window;  // the window on the screen when the pen went down
    ScrollPart m_part = ScrollPart::None;
    int m_grab = 0;  // the pen's offset into the thumb
};

}  // namespace

bool TrackWindowScrollBar(HWND hwnd, LPARAM screenPoint) {
    RECT window{};
    GetWindowRect(hwnd, &window);
    POINT pt{GET_X_LPARAM(screenPoint) - window.left, GET_Y_LPARAM(screenPoint) - window.top};
    for (int bar : {SB_VERT, SB_HORZ}) {
        RECT rect{};
        if (FrameBarRect(hwnd, bar, rect) && PtInRect(&rect, pt)) {
            FrameBarPress(hwnd, bar, rect, window).Run(pt);
            return true;
        }
    }
    return false;
}

}  // namespace ob::ui

// ---- the calls -----------------------------------------------------------------------------

using ob::ui::AllFrameBars;

namespace {
bool FrameBarIndex(int bar) { return bar == SB_VERT || bar == SB_HORZ; }
}  // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
    if (!info || !IsWindow(hwnd))
        return 0;
    if (bar == SB_CTL)
        return static_cast<int>(SendMessage(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
    if (!FrameBarIndex(bar))
        return 0;
    ob::ui::HookFrameBars(hwnd);
    ob::ui::ScrollModel& model = AllFrameBars()[hwnd].bars[bar];
    model.Set(*info);
    const int pos = model.pos;
    // A range that fits its page needs no bar: it goes, and the client area
    // grows by its width, unless the caller asks to keep it (disabled).
    if (info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL))
        ob::ui::ShowFrameBar(hwnd, bar, model.Scrollable() || (info->fMask & SIF_DISABLENOSCROLL));
    if (redraw && IsWindow(hwnd))
        ob::ui::PaintWindowScrollBars(hwnd);
    return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
    if (!info || !IsWindow(hwnd))
        return FALSE;
    if (bar == SB_CTL)
        return static_cast<BOOL>(SendMessage(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
    if (!FrameBarIndex(bar))
        return FALSE;
    AllFrameBars()[hwnd].bars[bar].Get(*info);
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    SCROLLINFO old{sizeof old, SIF_POS, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(hwnd, bar, &old))
        return 0;
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(hwnd, bar, &info, redraw);
    return old.nPos;
}

int GetScrollPos(HWND hwnd, int bar) {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(hwnd, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    if (!IsWindow(hwnd))
        return FALSE;
    SCROLLINFO info{sizeof info, SIF_RANGE, minPos, maxPos, 0, 0, 0};
    SetScrollInfo(hwnd, bar, &info, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
    SCROLLINFO info{sizeof info, SIF_RANGE, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(hwnd, bar, &info))
        return FALSE;
    if (minPos)
        *minPos = info.nMin;
    if (maxPos)
        *maxPos = info.nMax;
    return TRUE;
}
