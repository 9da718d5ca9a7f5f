// Window classes, creation and destruction, the window tree and geometry.
#include "platform/ui/win/WindowSystem.h"

#include <algorithm>
#include <cwctype>
#include <new>

namespace ob::ui {
namespace {

std::wstring Lower(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r)
        c = static_cast<wchar_t>(std::towlower(c));
    return r;
}

// Class names may be given as atoms (MAKEINTATOM).
WindowClass* FindClass(LPCWSTR name) {
    if (!name)
        return nullptr;
    WindowSystem& s = Sys();
    if (IS_INTRESOURCE(name)) {
        ATOM atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name));
        for (auto& [k, c] : s.classes)
            if (c->atom == atom)
                return c.get();
        return nullptr;
    }
    auto it = s.classes.find(Lower(name));
    return it == s.classes.end() ? nullptr : it->second.get();
}

void InsertChild(Window* parent, Window* w, HWND after) {
    auto& v = parent->children;
    v.erase(std::remove(v.begin(), v.end(), w), v.end());
    bool topmost = IsTopLevel(w) && (w->exStyle & WS_EX_TOPMOST);
    if (after == HWND_BOTTOM) {
        v.push_back(w);
        return;
    }
    if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST || !after) {
        auto pos = v.begin();
        // Top-level windows that are not topmost stay below the topmost ones.
        if (!topmost && IsTopLevel(w))
            while (pos != v.end() && ((*pos)->exStyle & WS_EX_TOPMOST))
                ++pos;
        v.insert(pos, w);
        return;
    }
    auto it = std::find_if(v.begin(), v.end(), [&](Window* c) { return c->handle == after; });
    v.insert(it == v.end() ? v.end() : it + 1, w);
}

}  // namespace

// Frees a window once its destruction messages have gone out.
static void Unlink(Window* w) {
    WindowSystem& s = Sys();
    if (s.focus == w->handle)
        s.focus = nullptr;
    if (s.active == w->handle)
        s.active = nullptr;
    if (s.capture == w->handle)
        s.capture = nullptr;
    if (s.lastClickWindow == w->handle)
        s.lastClickWindow = nullptr;
    for (auto& [h, other] : s.windows) {
        if (other->owner == w)
            other->owner = nullptr;
        if (other->lastFocus == w->handle)
            other->lastFocus = nullptr;
    }
    if (w->parent) {
        auto& v = w->parent->children;
        v.erase(std::remove(v.begin(), v.end(), w), v.end());
    }
    KillTimersFor(w->handle);
    s.windows.erase(w->handle);
}

static void SendDestroy(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return;
    w->destroying = true;
    Send(w, WM_DESTROY, 0, 0);
    w = FromHandle(hwnd);
    if (!w)
        return;
    std::vector<HWND> kids;
    for (Window* c : w->children)
        kids.push_back(c->handle);
    for (HWND k : kids)
        SendDestroy(k);
}

static void SendNcDestroy(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return;
    std::vector<HWND> kids;
    for (Window* c : w->children)
        kids.push_back(c->handle);
    for (HWND k : kids)
        SendNcDestroy(k);
    w = FromHandle(hwnd);
    if (!w)
        return;
    Send(w, WM_NCDESTROY, 0, 0);
    if ((w = FromHandle(hwnd)))
        Unlink(w);
}

bool DestroyTree(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    WindowSystem& s = Sys();
    if (!w || w == s.desktop || w->destroying)
        return false;
    // Owned windows (dialogs, popups) go first.
    std::vector<HWND> owned;
    for (auto& [h, other] : s.windows)
        if (other->owner == w && !other->destroying)
            owned.push_back(h);
    for (HWND h : owned)
        DestroyWindow(h);
    w = FromHandle(hwnd);
    if (!w || w->destroying)
        return false;
    w->destroying = true;
    if (w->style & WS_VISIBLE) {
        RECT old = ScreenWindowRect(w);
        bool wasShown = IsReallyVisible(w);
        w->style &= ~WS_VISIBLE;
        if (wasShown)
            InvalidateScreenArea(old, w);
    }
    if (s.capture && (s.capture == hwnd || IsAncestor(w, FromHandle(s.capture))))
        ReleaseCapture();
    if (s.focus && (s.focus == hwnd || IsAncestor(w, FromHandle(s.focus)))) {
        // The focus leaves the dying window (it hears about it while still alive).
        Window* p = IsTopLevel(w) ? nullptr : w->parent;
        SetFocus(p && p != s.desktop && !p->destroying ? p->handle : nullptr);
    }
    bool wasActive = s.active == hwnd;
    w = FromHandle(hwnd);
    if (!w)
        return true;
    w->destroying = false;  // SendDestroy marks the whole tree
    SendDestroy(hwnd);
    SendNcDestroy(hwnd);
    if (wasActive) {
        if (s.active == hwnd)
            s.active = nullptr;
        // Activation moves to the owner, else to the front-most usable window.
        Window* next = nullptr;
        for (Window* c : s.desktop ? s.desktop->children : std::vector<Window*>{})
            if ((c->style & WS_VISIBLE) && !(c->style & WS_DISABLED) && !(c->exStyle & WS_EX_NOACTIVATE)) {
                next = c;
                break;
            }
        if (next)
            Activate(next, WA_ACTIVE);
        else
            ShellWindowActivated();
    }
    return true;
}

}  // namespace ob::ui

using namespace ob::ui;

ATOM RegisterClass(const WNDCLASS* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc)
        return 0;
    EnsureStarted();
    if (FindClass(wc->lpszClassName))
        return 0;  // already registered
    auto cls = std::make_unique<WindowClass>();
    cls->name = wc->lpszClassName;
    cls->atom = Sys().nextAtom++;
    cls->style = wc->style;
    cls->proc = wc->lpfnWndProc;
    cls->instance = wc->hInstance;
    cls->icon = wc->hIcon;
    cls->cursor = wc->hCursor;
    cls->background = wc->hbrBackground;
    if (wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName))
        cls->menuName = wc->lpszMenuName;
    cls->wndExtra = wc->cbWndExtra;
    ATOM atom = cls->atom;
    Sys().classes[Lower(cls->name)] = std::move(cls);
    return atom;
}

BOOL UnregisterClass(LPCWSTR className, HINSTANCE) {
    WindowClass* c = FindClass(className);
    if (!c)
        return FALSE;
    for (auto& [h, w] : Sys().windows)
        if (w->cls == c)
            return FALSE;  // still in use
    Sys().classes.erase(Lower(c->name));
    return TRUE;
}

BOOL GetClassInfo(HINSTANCE, LPCWSTR className, WNDCLASS* wc) {
    EnsureStarted();
    WindowClass* c = FindClass(className);
    if (!c || !wc)
        return FALSE;
    *wc = WNDCLASS{c->style,  c->proc,       0,       c->wndExtra,    c->instance, c->icon,
                   c->cursor, c->background, nullptr, c->name.c_str()};
    return TRUE;
}

int GetClassName(HWND hwnd, LPWSTR buffer, int count) {
    Window* w = FromHandle(hwnd);
    if (!w || !buffer || count <= 0)
        return 0;
    int n = std::min<int>(count - 1, static_cast<int>(w->cls->name.size()));
    std::copy_n(w->cls->name.begin(), n, buffer);
    buffer[n] = 0;
    return n;
}

HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parentHandle, HMENU menu, HINSTANCE instance, LPVOID param) {
    EnsureStarted();
    WindowSystem& s = Sys();
    WindowClass* cls = FindClass(className);
    if (!cls)
        return nullptr;
    Window* parent = s.desktop;
    Window* owner = nullptr;
    if (style & WS_CHILD) {
        parent = FromHandle(parentHandle);
        if (!parent || parent->destroying)
            return nullptr;
    } else if (parentHandle) {
        owner = FromHandle(parentHandle);
        if (!owner)
            return nullptr;
        owner = TopLevelOf(owner);
    }
    if (!(style & WS_CHILD)) {
        // Default placement on the device: the work area, below the navigation bar.
        RECT work = WorkArea();
        if (x == CW_USEDEFAULT) {
            x = work.left;
            y = work.top;
        }
        if (width == CW_USEDEFAULT) {
            width = work.right - work.left;
            height = work.bottom - work.top;
        }
    } else {
        if (x == CW_USEDEFAULT)
            x = y = 0;
        if (width == CW_USEDEFAULT)
            width = height = 0;
    }
    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    w->handle = reinterpret_cast<HWND>(s.nextHandle);
    s.nextHandle += 4;
    w->cls = cls;
    w->proc = cls->proc;
    w->text = windowName && !IS_INTRESOURCE(windowName) ? windowName : L"";
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->id = reinterpret_cast<UINT_PTR>(menu);
    w->instance = instance;
    w->parent = parent;
    w->owner = owner;
    w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    UpdateClientRect(w);
    s.windows[w->handle] = std::move(owned);
    // Top-level windows open in front; children line up behind their elder
    // siblings, so a dialog's tab order is its template order.
    InsertChild(parent, w, (style & WS_CHILD) ? HWND_BOTTOM : HWND_TOP);
    HWND hwnd = w->handle;

    CREATESTRUCT cs{
        param,      instance,  menu,   parentHandle, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    if (!Send(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if ((w = FromHandle(hwnd))) {
            Send(w, WM_NCDESTROY, 0, 0);
            if ((w = FromHandle(hwnd)))
                Unlink(w);
        }
        return nullptr;
    }
    if (!(w = FromHandle(hwnd)))
        return nullptr;
    if (Send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!(w = FromHandle(hwnd)))
        return nullptr;
    w->created = true;
    Send(w, WM_SIZE, SIZE_RESTORED,
         MAKELPARAM(static_cast<WORD>(w->client.right - w->client.left),
                    static_cast<WORD>(w->client.bottom - w->client.top)));
    if (!(w = FromHandle(hwnd)))
        return nullptr;
    Send(w, WM_MOVE, 0,
         MAKELPARAM(static_cast<WORD>(w->rect.left + w->client.left),
                    static_cast<WORD>(w->rect.top + w->client.top)));
    if (!(w = FromHandle(hwnd)))
        return nullptr;
    if (style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return FromHandle(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    // Destructors destroy windows, so this must not throw: without memory to
    // finish, the window is left as far as it got.
    try {
        return DestroyTree(hwnd) ? TRUE : FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

BOOL IsWindow(HWND hwnd) { return FromHandle(hwnd) != nullptr; }

BOOL IsWindowVisible(HWND hwnd) { return IsReallyVisible(FromHandle(hwnd)) ? TRUE : FALSE; }

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return FALSE;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable)
        return wasDisabled;
    WindowSystem& s = Sys();
    if (!enable) {
        w->style |= WS_DISABLED;
        if (s.focus && (s.focus == hwnd || IsAncestor(w, FromHandle(s.focus))))
            SetFocus(nullptr);
        if (s.capture == hwnd)
            ReleaseCapture();
    } else {
        w->style &= ~WS_DISABLED;
    }
    if ((w = FromHandle(hwnd)))
        Send(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL ShowWindow(HWND hwnd, int command) {
    Window* w = FromHandle(hwnd);
    if (!w || w == Sys().desktop)
        return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = command != SW_HIDE && command != SW_MINIMIZE;
    if (show != wasVisible) {
        Send(w, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (!(w = FromHandle(hwnd)))
            return wasVisible;
        UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags);
        if (!(w = FromHandle(hwnd)))
            return wasVisible;
    }
    WindowSystem& s = Sys();
    if (IsTopLevel(w)) {
        bool activates =
            show && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && !(w->exStyle & WS_EX_NOACTIVATE);
        if (activates) {
            if (s.active != hwnd)
                Activate(w, WA_ACTIVE);
        } else if (!show && s.active == hwnd) {
            for (Window* c : s.desktop->children)
                if (c != w && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED) &&
                    !(c->exStyle & WS_EX_NOACTIVATE)) {
                    Activate(c, WA_ACTIVE);
                    break;
                }
        }
    }
    return wasVisible;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* w = FromHandle(hwnd);
    WindowSystem& s = Sys();
    if (!w || w == s.desktop)
        return FALSE;
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
    if (flags & SWP_NOMOVE) {
        pos.x = w->rect.left;
        pos.y = w->rect.top;
    }
    if (flags & SWP_NOSIZE) {
        pos.cx = w->rect.right - w->rect.left;
        pos.cy = w->rect.bottom - w->rect.top;
    }
    Send(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(w = FromHandle(hwnd)))
        return FALSE;
    pos.cx = std::max(0, pos.cx);
    pos.cy = std::max(0, pos.cy);

    bool wasShown = IsReallyVisible(w);
    Region oldArea = VisibleRegion(w, true, true);
    RECT oldRect = w->rect;
    RECT newRect{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
    bool sized = (newRect.right - newRect.left) != (oldRect.right - oldRect.left) ||
                 (newRect.bottom - newRect.top) != (oldRect.bottom - oldRect.top);
    w->rect = newRect;
    if (sized || (pos.flags & SWP_FRAMECHANGED))
        UpdateClientRect(w);
    if (pos.flags & SWP_SHOWWINDOW)
        w->style |= WS_VISIBLE;
    if (pos.flags & SWP_HIDEWINDOW)
        w->style &= ~WS_VISIBLE;
    bool zChanged = false;
    if (!(pos.flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST)
            w->exStyle |= WS_EX_TOPMOST;
        if (insertAfter == HWND_NOTOPMOST)
            w->exStyle &= ~WS_EX_TOPMOST;
        auto before = w->parent->children;
        InsertChild(w->parent, w, insertAfter);
        zChanged = before != w->parent->children;
    }
    bool isShown = IsReallyVisible(w);
    bool redraw = !(pos.flags & SWP_NOREDRAW);
    if (redraw) {
        // What the window no longer covers is repainted by what lies below;
        // the window repaints whole when it moved, changed size or appeared,
        // and only the newly uncovered part when it merely came forward.
        Region newArea = VisibleRegion(w, true, true);
        Region exposed = oldArea;
        exposed.Subtract(newArea);
        InvalidateScreenRegion(exposed, w);
        if (isShown && (moved || sized || !wasShown || (pos.flags & SWP_FRAMECHANGED))) {
            InvalidateWholeTree(w, true);
        } else if (isShown && zChanged) {
            Region uncovered = newArea;
            uncovered.Subtract(oldArea);
            InvalidateTreeUnder(w, uncovered);
        }
    }

    UINT changed = pos.flags;
    if (!moved)
        changed |= SWP_NOMOVE;
    if (!sized)
        changed |= SWP_NOSIZE;
    if (!zChanged)
        changed |= SWP_NOZORDER;
    pos.flags = changed;
    if (!(pos.flags & SWP_NOACTIVATE) && isShown && IsTopLevel(w) && s.active != hwnd &&
        !(w->exStyle & WS_EX_NOACTIVATE))
        Activate(w, WA_ACTIVE);
    if ((w = FromHandle(hwnd)) &&
        (moved || sized || (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)) || zChanged))
        Send(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    Window* w = FromHandleOrDesktop(hwnd);
    if (!w || !rect)
        return FALSE;
    *rect = ScreenWindowRect(w);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    Window* w = FromHandleOrDesktop(hwnd);
    if (!w || !rect)
        return FALSE;
    *rect = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
    Window* w = FromHandle(hwnd);
    if (!w || !point)
        return FALSE;
    RECT c = ScreenClientRect(w);
    point->x += c.left;
    point->y += c.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
    Window* w = FromHandle(hwnd);
    if (!w || !point)
        return FALSE;
    RECT c = ScreenClientRect(w);
    point->x -= c.left;
    point->y -= c.top;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    Window* a = FromHandleOrDesktop(from);
    Window* b = FromHandleOrDesktop(to);
    if (!a || !b || (!points && count))
        return 0;
    RECT ca = ScreenClientRect(a), cb = ScreenClientRect(b);
    int dx = ca.left - cb.left, dy = ca.top - cb.top;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELPARAM(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

HWND GetParent(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return nullptr;
    if (w->style & WS_CHILD)
        return w->parent && w->parent != Sys().desktop ? w->parent->handle : nullptr;
    return w->owner ? w->owner->handle : nullptr;
}

HWND SetParent(HWND child, HWND newParent) {
    Window* w = FromHandle(child);
    Window* p = FromHandleOrDesktop(newParent);
    if (!w || !p || w == p || IsAncestor(w, p))
        return nullptr;
    HWND old = w->parent ? w->parent->handle : nullptr;
    bool shown = IsReallyVisible(w);
    if (shown)
        InvalidateScreenArea(ScreenWindowRect(w), w);
    auto& v = w->parent->children;
    v.erase(std::remove(v.begin(), v.end(), w), v.end());
    w->parent = p;
    InsertChild(p, w, HWND_TOP);
    if (IsReallyVisible(w))
        InvalidateWholeTree(w, true);
    return old == Sys().desktop->handle ? GetDesktopWindow() : old;
}

HWND GetWindow(HWND hwnd, UINT relation) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return nullptr;
    if (relation == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front()->handle;
    if (relation == GW_OWNER)
        return w->owner ? w->owner->handle : nullptr;
    if (!w->parent)
        return nullptr;
    auto& v = w->parent->children;
    auto it = std::find(v.begin(), v.end(), w);
    switch (relation) {
    case GW_HWNDFIRST: return v.front()->handle;
    case GW_HWNDLAST: return v.back()->handle;
    case GW_HWNDNEXT: return it + 1 == v.end() ? nullptr : (*(it + 1))->handle;
    case GW_HWNDPREV: return it == v.begin() ? nullptr : (*(it - 1))->handle;
    default: return nullptr;
    }
}

HWND GetDesktopWindow() {
    EnsureStarted();
    return Sys().desktop->handle;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    Window* p = FromHandle(parent);
    Window* w = FromHandle(hwnd);
    if (!p || !w)
        return FALSE;
    for (Window* c = w; c && (c->style & WS_CHILD); c = c->parent)
        if (c->parent == p)
            return TRUE;
    return FALSE;
}

HWND FindWindow(LPCWSTR className, LPCWSTR windowName) {
    EnsureStarted();
    WindowClass* cls = className ? FindClass(className) : nullptr;
    if (className && !cls)
        return nullptr;
    for (Window* w : Sys().desktop->children) {
        if (cls && w->cls != cls)
            continue;
        if (windowName && w->text != windowName)
            continue;
        return w->handle;
    }
    return nullptr;
}

int GetWindowText(HWND hwnd, LPWSTR buffer, int count) {
    if (!buffer || count <= 0)
        return 0;
    buffer[0] = 0;
    if (!FromHandle(hwnd))
        return 0;
    return static_cast<int>(
        SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) { return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0)); }

BOOL SetWindowText(HWND hwnd, LPCWSTR text) {
    if (!FromHandle(hwnd))
        return FALSE;
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L"")) ? TRUE : FALSE;
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return 0;
    switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(GetParent(hwnd));
    case GWL_ID: return static_cast<LONG_PTR>(w->id);
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->exStyle));
    default: {
        if (index >= 0 && !w->isDialog && index + static_cast<int>(sizeof(LONG)) > w->cls->wndExtra)
            return 0;
        auto it = w->longs.find(index);
        return it == w->longs.end() ? 0 : it->second;
    }
    }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return 0;
    LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
    case GWL_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWL_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWL_ID: w->id = static_cast<UINT_PTR>(value); break;
    case GWL_STYLE: {
        DWORD visible = w->style & WS_VISIBLE;  // visibility changes through ShowWindow only
        w->style = (static_cast<DWORD>(value) & ~WS_VISIBLE) | visible;
        break;
    }
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
    case GWL_HWNDPARENT: return 0;
    default:
        if (index >= 0 && !w->isDialog && index + static_cast<int>(sizeof(LONG)) > w->cls->wndExtra)
            return 0;
        w->longs[index] = value;
    }
    return old;
}

LONG GetWindowLong(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtr(hwnd, index)); }
LONG SetWindowLong(HWND hwnd, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value));
}
