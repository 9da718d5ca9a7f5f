// Input: the pen and keys as window messages, hit-testing, focus,
// activation, capture, cursors and system metrics.
#include "platform/ui/display/Display.h"
#include "platform/ui/win/WindowSystem.h"

#include "platform/kernel/Clock.h"

#include <algorithm>
#include <cstdlib>

constexpr UINT WM_NCMOUSEMOVE_ = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN_ = 0x00A1;
constexpr UINT WM_NCLBUTTONUP_ = 0x00A2;

namespace ob::ui {

RECT WaitCursorRect();
void DrawWaitCursor();

namespace {

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The deepest window under the point that takes input. Disabled children
// pass the pen to their parent; windows answering HTTRANSPARENT let it
// through to what lies below.
Window* HitTest(Window* parent, POINT p, bool sendHitTest) {
    for (Window* c : parent->children) {
        if (!(c->style & WS_VISIBLE) || !Inside(ScreenWindowRect(c), p))
            continue;
        if (c->style & WS_DISABLED) {
            if (c->style & WS_CHILD)
                continue;
            return c;  // a disabled top-level window swallows the pen
        }
        if (sendHitTest && c->created) {
            HWND h = c->handle;
            LRESULT hit =
                Send(c, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
            if (!FromHandle(h))
                return nullptr;
            if (hit == HTTRANSPARENT)
                continue;
        }
        if (Inside(ScreenClientRect(c), p))
            if (Window* inner = HitTest(c, p, sendHitTest))
                return inner;
        return c;
    }
    return nullptr;
}

WPARAM MouseKeys() {
    WindowSystem& s = Sys();
    WPARAM k = 0;
    if (s.penDown)
        k |= MK_LBUTTON;
    if (s.keyState[VK_SHIFT] & 0x80)
        k |= MK_SHIFT;
    if (s.keyState[VK_CONTROL] & 0x80)
        k |= MK_CONTROL;
    return k;
}

}  // namespace

bool InputToMessage(const InputEvent& e, MSG& out) {
    WindowSystem& s = Sys();
    out = MSG{};
    out.time = e.time;
    out.pt = e.kind <= InputEvent::PenUp ? e.pt : s.cursor;
    switch (e.kind) {
    case InputEvent::PenDown:
    case InputEvent::PenMove:
    case InputEvent::PenUp: {
        Window* target = FromHandle(s.capture);
        if (!target) {
            target = HitTest(s.desktop, e.pt, true);
            if (!target || (target->style & WS_DISABLED))
                return false;
        }
        RECT cr = ScreenClientRect(target);
        bool client = s.capture || Inside(cr, e.pt);
        out.hwnd = target->handle;
        if (client) {
            out.message = e.kind == InputEvent::PenDown ? WM_LBUTTONDOWN
                          : e.kind == InputEvent::PenUp ? WM_LBUTTONUP
                                                        : WM_MOUSEMOVE;
            if (e.kind == InputEvent::PenDown && (target->cls->style & CS_DBLCLKS) &&
                s.lastClickWindow == target->handle && e.time - s.lastClickTime <= 500 &&
                std::abs(e.pt.x - s.lastClickPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                std::abs(e.pt.y - s.lastClickPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2)
                out.message = WM_LBUTTONDBLCLK;
            out.lParam = MAKELPARAM(static_cast<WORD>(e.pt.x - cr.left), static_cast<WORD>(e.pt.y - cr.top));
            out.wParam = MouseKeys();
            if (e.kind != InputEvent::PenUp)
                out.wParam |= MK_LBUTTON;
            else
                out.wParam &= ~MK_LBUTTON;
        } else {
            out.message = e.kind == InputEvent::PenDown ? WM_NCLBUTTONDOWN_
                          : e.kind == InputEvent::PenUp ? WM_NCLBUTTONUP_
                                                        : WM_NCMOUSEMOVE_;
            out.wParam = static_cast<WPARAM>(HTBORDER);
            out.lParam = MAKELPARAM(static_cast<WORD>(e.pt.x), static_cast<WORD>(e.pt.y));
        }
        return true;
    }
    case InputEvent::KeyDown:
    case InputEvent::KeyUp:
    case InputEvent::Char: {
        Window* target = FromHandle(s.focus);
        if (!target)
            target = FromHandle(s.active);
        if (!target)
            return false;
        out.hwnd = target->handle;
        // F10, Alt and keys pressed while Alt is held are the system's keys.
        const bool sys = e.key == VK_F10 || e.key == VK_MENU || (s.keyState[VK_MENU] & 0x80) != 0;
        out.message = e.kind == InputEvent::KeyDown ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN)
                      : e.kind == InputEvent::KeyUp ? (sys ? WM_SYSKEYUP : WM_KEYUP)
                                                    : WM_CHAR;
        out.wParam = e.key;
        out.lParam = e.kind == InputEvent::KeyUp ? static_cast<LPARAM>(0xC0000001u) : 1;
        return true;
    }
    }
    return false;
}

void AfterInputRemoved(const InputEvent& e, const MSG& m) {
    WindowSystem& s = Sys();
    switch (e.kind) {
    case InputEvent::PenDown: {
        s.cursor = e.pt;
        s.penDown = true;
        s.keyState[VK_LBUTTON] = 0x80;
        if (m.message == WM_LBUTTONDBLCLK) {
            s.lastClickWindow = nullptr;
        } else {
            s.lastClickWindow = m.hwnd;
            s.lastClickTime = e.time;
            s.lastClickPoint = e.pt;
        }
        // A tap on an inactive window activates it first.
        Window* w = FromHandle(m.hwnd);
        Window* top = TopLevelOf(w);
        if (top && top->handle != s.active && !(top->exStyle & WS_EX_NOACTIVATE) &&
            !(top->style & WS_DISABLED))
            Activate(top, WA_CLICKACTIVE);
        break;
    }
    case InputEvent::PenMove: s.cursor = e.pt; break;
    case InputEvent::PenUp:
        s.cursor = e.pt;
        s.penDown = false;
        s.keyState[VK_LBUTTON] = 0;
        break;
    case InputEvent::KeyDown:
        s.keyState[e.key & 0xFF] = 0x80;
        s.altAlone = e.key == VK_MENU;
        break;
    case InputEvent::KeyUp: s.keyState[e.key & 0xFF] = 0; break;
    case InputEvent::Char: break;
    }
}

void Activate(Window* top, WORD how) {
    WindowSystem& s = Sys();
    if (!top)
        return;
    HWND hwnd = top->handle;
    HWND old = s.active;
    if (old == hwnd)
        return;
    if (Window* o = FromHandle(old)) {
        if (s.focus && (s.focus == old || IsAncestor(o, FromHandle(s.focus))))
            o->lastFocus = s.focus;
    }
    s.active = hwnd;
    // The activated window comes to the front, with the windows it owns above it.
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::vector<HWND> owned;
    for (Window* c : s.desktop->children)
        if (c->owner && c->owner->handle == hwnd && (c->style & WS_VISIBLE))
            owned.push_back(c->handle);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (Window* o = FromHandle(old))
        Send(o, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    if (Window* w = FromHandle(hwnd); w && s.active == hwnd)
        Send(w, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(FromHandle(old) ? old : nullptr));
    ShellWindowActivated();
}

}  // namespace ob::ui

using namespace ob::ui;

HWND SetFocus(HWND hwnd) {
    EnsureStarted();
    WindowSystem& s = Sys();
    HWND old = s.focus;
    if (!hwnd) {
        s.focus = nullptr;
        if (Window* o = FromHandle(old))
            Send(o, WM_KILLFOCUS, 0, 0);
        return old;
    }
    Window* w = FromHandle(hwnd);
    if (!w || w == s.desktop || w->destroying)
        return nullptr;
    if (old == hwnd)
        return old;
    Window* top = TopLevelOf(w);
    if (top && top->handle != s.active) {
        Activate(top, WA_ACTIVE);
        old = s.focus;
        if (!(w = FromHandle(hwnd)))
            return nullptr;
        if (old == hwnd)
            return old;
    }
    if (Window* o = FromHandle(old))
        Send(o, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (!(w = FromHandle(hwnd)))
        return nullptr;
    s.focus = hwnd;
    if (top)
        top->lastFocus = hwnd;
    Send(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(FromHandle(old) ? old : nullptr), 0);
    return old;
}

HWND GetFocus() { return FromHandle(Sys().focus) ? Sys().focus : nullptr; }

HWND SetActiveWindow(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    HWND old = Sys().active;
    Window* top = TopLevelOf(w);
    if (!top)
        return nullptr;
    Activate(top, WA_ACTIVE);
    return old;
}

HWND GetActiveWindow() { return FromHandle(Sys().active) ? Sys().active : nullptr; }
BOOL SetForegroundWindow(HWND hwnd) { return SetActiveWindow(hwnd) || GetActiveWindow() == hwnd; }
HWND GetForegroundWindow() { return GetActiveWindow(); }

HWND SetCapture(HWND hwnd) {
    WindowSystem& s = Sys();
    if (!FromHandle(hwnd))
        return nullptr;
    HWND old = s.capture;
    if (old == hwnd)
        return old;
    s.capture = hwnd;
    if (Window* o = FromHandle(old))
        Send(o, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return FromHandle(old) ? old : nullptr;
}

BOOL ReleaseCapture() {
    WindowSystem& s = Sys();
    HWND old = s.capture;
    s.capture = nullptr;
    if (Window* o = FromHandle(old))
        Send(o, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return FromHandle(Sys().capture) ? Sys().capture : nullptr; }

HWND WindowFromPoint(POINT point) {
    EnsureStarted();
    Window* w = HitTest(Sys().desktop, point, false);
    return w ? w->handle : nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
    Window* p = FromHandle(parent);
    if (!p)
        return nullptr;
    RECT cr = ScreenClientRect(p);
    POINT sp{point.x + cr.left, point.y + cr.top};
    if (!Inside(ScreenWindowRect(p), sp))
        return nullptr;
    for (Window* c : p->children)
        if (Inside(ScreenWindowRect(c), sp))
            return c->handle;
    return parent;
}

BOOL GetCursorPos(LPPOINT point) {
    if (!point)
        return FALSE;
    *point = Sys().cursor;
    return TRUE;
}

short GetKeyState(int virtualKey) {
    return (Sys().keyState[virtualKey & 0xFF] & 0x80) ? static_cast<short>(0x8000) : 0;
}
short GetAsyncKeyState(int virtualKey) { return GetKeyState(virtualKey); }
BOOL MessageBeep(UINT) { return TRUE; }

HCURSOR LoadCursor(HINSTANCE, LPCWSTR name) { return reinterpret_cast<HCURSOR>(const_cast<wchar_t*>(name)); }
HICON LoadIcon(HINSTANCE, LPCWSTR name) { return reinterpret_cast<HICON>(const_cast<wchar_t*>(name)); }
BOOL DestroyIcon(HICON) { return TRUE; }

HCURSOR SetCursor(HCURSOR cursor) {
    WindowSystem& s = Sys();
    HCURSOR old = s.currentCursor;
    if (old == cursor)
        return old;
    s.currentCursor = cursor;
    // The wait cursor is drawn over the screen; taking it away repaints what
    // it covered.
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    if (cursor == wait) {
        DrawWaitCursor();
        MarkScreenDirty(WaitCursorRect());
    } else if (old == wait) {
        InvalidateScreenArea(WaitCursorRect(), nullptr);
    }
    return old;
}
HCURSOR GetCursor() { return Sys().currentCursor; }

int GetSystemMetrics(int index) {
    WindowSystem& s = Sys();
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN: return s.screenWidth;
    case SM_CYSCREEN: return s.screenHeight;
    case SM_CYFULLSCREEN: return s.screenHeight - NavBarHeight() - MenuBarHeight();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return Scale(13);
    case SM_CYCAPTION:
    case SM_CYMENU: return Scale(26);
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return Scale(2);
    case SM_CXICON:
    case SM_CYICON: return Scale(32);
    case SM_CXSMICON:
    case SM_CYSMICON: return Scale(16);
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return Scale(8);
    default: return 0;
    }
}

BOOL SystemParametersInfo(UINT action, UINT, LPVOID pvParam, UINT) {
    if (action == SPI_GETWORKAREA && pvParam) {
        // The area between the navigation bar and the menu bar.
        RECT work = WorkArea();
        work.bottom -= MenuBarHeight();
        *static_cast<RECT*>(pvParam) = work;
        return TRUE;
    }
    return FALSE;
}

namespace ob::ui {

static void Push(InputEvent e) {
    EnsureStarted();
    e.time = ob::kernel::TickCountMs();
    Sys().input.push_back(e);
}

void InjectPen(int kind, POINT screenPoint) {
    InputEvent e{kind == 0   ? InputEvent::PenDown
                 : kind == 1 ? InputEvent::PenMove
                             : InputEvent::PenUp,
                 screenPoint};
    Push(e);
}

void InjectKey(UINT virtualKey, bool down) {
    InputEvent e{down ? InputEvent::KeyDown : InputEvent::KeyUp, {}, virtualKey};
    Push(e);
}

void InjectChar(wchar_t ch) {
    InputEvent e{InputEvent::Char, {}, static_cast<UINT>(ch)};
    Push(e);
}

}  // namespace ob::ui

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN)
        return FALSE;
    // Keys that stand for characters also post the character.
    UINT vk = static_cast<UINT>(msg->wParam);
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    wchar_t ch = 0;
    if (vk >= 'A' && vk <= 'Z')
        ch = static_cast<wchar_t>(shift ? vk : vk + 32);
    else if (vk >= '0' && vk <= '9' && !shift)
        ch = static_cast<wchar_t>(vk);
    else if (vk == VK_SPACE)
        ch = L' ';
    else if (vk == VK_RETURN)
        ch = L'\r';
    else if (vk == VK_BACK)
        ch = L'\b';
    else if (vk == VK_TAB)
        ch = L'\t';
    else if (vk == VK_ESCAPE)
        ch = 0x1B;
    if (!ch)
        return FALSE;
    // The character comes next, ahead of anything posted meanwhile.
    MSG m{msg->hwnd, WM_CHAR, static_cast<WPARAM>(ch), msg->lParam, msg->time, msg->pt};
    Sys().posted.push_front(m);
    return TRUE;
}
