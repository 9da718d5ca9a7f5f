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

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return 0;
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_NCHITTEST: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT c = ScreenClientRect(w), r = ScreenWindowRect(w);
        if (p.x >= c.left && p.x < c.right && p.y >= c.top && p.y < c.bottom)
            return HTCLIENT;
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)
            return HTBORDER;
        return HTNOWHERE;
    }
    case WM_NCPAINT: PaintFrame(hwnd); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = w->cls->background;
        if (!brush)
            return 0;
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillWithBrush(reinterpret_cast<HDC>(wParam), rc, brush);
        return 1;
    }
    case WM_SETTEXT: {
        w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        if (IsTopLevel(w))
            ShellTitleChanged(hwnd);
        return TRUE;
    }
    case WM_GETTEXT: {
        if (!lParam || wParam == 0)
            return 0;
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        size_t n = std::min<size_t>(wParam - 1, w->text.size());
        std::copy_n(w->text.begin(), n, buffer);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            HWND focus = GetFocus();
            if (!focus || (focus != hwnd && !IsChild(hwnd, focus)))
                SetFocus(hwnd);
        }
        return 0;
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!pos)
            return 0;
        if (!(pos->flags & SWP_NOSIZE) || (pos->flags & SWP_FRAMECHANGED))
            SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                        MAKELPARAM(static_cast<WORD>(w->client.right - w->client.left),
                                   static_cast<WORD>(w->client.bottom - w->client.top)));
        if ((w = FromHandle(hwnd)) && !(pos->flags & SWP_NOMOVE))
            SendMessage(hwnd, WM_MOVE, 0,
                        MAKELPARAM(static_cast<WORD>(w->rect.left + w->client.left),
                                   static_cast<WORD>(w->rect.top + w->client.top)));
        return 0;
    }
    case WM_SETREDRAW: w->redraw = wParam != 0; return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd)
            ReleaseCapture();
        return 0;
    case WM_MOUSEACTIVATE: return 1;  // MA_ACTIVATE
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
        // F10, or Alt pressed and lifted alone, asks the top-level window for its menu.
        const bool menuKey = (message == WM_SYSKEYDOWN && wParam == VK_F10) ||
                             (message == WM_SYSKEYUP && wParam == VK_MENU && Sys().altAlone);
        if (Window* top = menuKey ? TopLevelOf(w) : nullptr)
            SendMessage(top->handle, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            OpenMenuBarFromKeyboard(hwnd);
        return 0;
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
