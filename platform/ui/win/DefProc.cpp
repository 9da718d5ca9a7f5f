// The default processing every window procedure falls back on.
#include "platform/ui/win/Menus.h"
#include "platform/ui/win/ScreenDc.h"
#include "platform/ui/win/WindowSystem.h"

#include <algorithm>

using namespace ob::ui;

namespace ob::ui {
void PaintFrame(HWND hwnd);
LRESULT DefaultControlColour(HDC hdc, UINT message);
}  // namespace ob::ui

namespace {

// Client, frame or nowhere, for a point on the screen.
LRESULT HitTest(Window* w, POINT p) {
    RECT c = ScreenClientRect(w), r = ScreenWindowRect(w);
    if (p.x >= c.left && p.x < c.right && p.y >= c.top && p.y < c.bottom)
        return HTCLIENT;
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)
        return HTBORDER;
    return HTNOWHERE;
}

// Validates the window: a window that draws nothing still owes no paint.
void ValidatingPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
}

// The class's background brush over the client area; 0 when it has none.
LRESULT EraseBackground(HWND hwnd, Window* w, HDC dc) {
    HBRUSH brush = w->cls->background;
    if (!brush)
        return 0;
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillWithBrush(dc, rc, brush);
    return 1;
}

void StoreText(HWND hwnd, Window* w, const wchar_t* text) {
    w->text = text ? text : L"";
    if (IsTopLevel(w))
        ShellTitleChanged(hwnd);
}

// Copies as much of the text as fits with its terminator; the characters copied.
LRESULT CopyText(Window* w, size_t capacity, wchar_t* buffer) {
    if (!buffer || capacity == 0)
        return 0;
    size_t n = std::min<size_t>(capacity - 1, w->text.size());
    std::copy_n(w->text.begin(), n, buffer);
    buffer[n] = 0;
    return static_cast<LRESULT>(n);
}

// An activated window takes the focus unless one of its own children has it.
void FocusOnActivate(HWND hwnd, WORD state) {
    if (state == WA_INACTIVE)
        return;
    HWND focus = GetFocus();
    if (!focus || (focus != hwnd && !IsChild(hwnd, focus)))
        SetFocus(hwnd);
}

// WM_SIZE and WM_MOVE for what changed; the window may be gone after the first.
void PositionChanged(HWND hwnd, Window* w, const WINDOWPOS* pos) {
    if (!pos)
        return;
    if (!(pos->flags & SWP_NOSIZE) || (pos->flags & SWP_FRAMECHANGED))
        SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                    MAKELPARAM(static_cast<WORD>(w->client.right - w->client.left),
                               static_cast<WORD>(w->client.bottom - w->client.top)));
    if ((w = FromHandle(hwnd)) && !(pos->flags & SWP_NOMOVE))
        SendMessage(hwnd, WM_MOVE, 0,
                    MAKELPARAM(static_cast<WORD>(w->rect.left + w->client.left),
                               static_cast<WORD>(w->rect.top + w->client.top)));
}

void CancelMode(HWND hwnd) {
    if (GetCapture() == hwnd)
        ReleaseCapture();
}

// F10, or Alt pressed and lifted alone, asks the top-level window for its menu.
void SystemKey(Window* w, UINT message, WPARAM key) {
    const bool menuKey = (message == WM_SYSKEYDOWN && key == VK_F10) ||
                         (message == WM_SYSKEYUP && key == VK_MENU && Sys().altAlone);
    if (Window* top = menuKey ? TopLevelOf(w) : nullptr)
        SendMessage(top->handle, WM_SYSCOMMAND, SC_KEYMENU, 0);
}

void SystemCommand(HWND hwnd, WPARAM command) {
    if ((command & 0xFFF0) == SC_KEYMENU)
        OpenMenuBarFromKeyboard(hwnd);
}

}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return 0;
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_NCHITTEST: return HitTest(w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: PaintFrame(hwnd); return 0;
    case WM_PAINT: ValidatingPaint(hwnd); return 0;
    case WM_ERASEBKGND: return EraseBackground(hwnd, w, reinterpret_cast<HDC>(wParam));
    case WM_SETTEXT: StoreText(hwnd, w, reinterpret_cast<LPCWSTR>(lParam)); return TRUE;
    case WM_GETTEXT: return CopyText(w, wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_ACTIVATE: FocusOnActivate(hwnd, LOWORD(wParam)); return 0;
    case WM_WINDOWPOSCHANGED: PositionChanged(hwnd, w, reinterpret_cast<const WINDOWPOS*>(lParam)); return 0;
    case WM_SETREDRAW: w->redraw = wParam != 0; return 0;
    case WM_CANCELMODE: CancelMode(hwnd); return 0;
    case WM_MOUSEACTIVATE: return 1;  // MA_ACTIVATE
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: SystemKey(w, message, wParam); return 0;
    case WM_SYSCOMMAND: SystemCommand(hwnd, wParam); return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return DefaultControlColour(reinterpret_cast<HDC>(wParam), message);
    default: return 0;
    }
}

namespace ob::ui {

// The frame: a one-pixel border for WS_BORDER, a grey edge for the client edge.
void PaintFrame(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc)
        return;
    RECT r{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    if (w->style & (WS_BORDER | WS_DLGFRAME)) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    }
    if (w->exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(&r, -1, -1);
    }
    if (w->exStyle & WS_EX_DLGMODALFRAME)
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    ReleaseDC(hwnd, dc);
}

}  // namespace ob::ui
