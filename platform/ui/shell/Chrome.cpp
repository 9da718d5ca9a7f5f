// The shell's chrome: the navigation bar at the top of the screen with the
// active window's title and, for full-screen dialogs, the "ok" button; the
// full-screen dialog initialisation; the input panel calls.
#include "platform/ui/Shell.h"
#include "platform/ui/gdi/SelectGuard.h"
#include "platform/ui/win/GdiBridge.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "platform/ui/win/UiFonts.h"
#include "platform/ui/win/WindowSystem.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

namespace ob::ui {

constexpr wchar_t kNavBarClass[] = L"HHTaskBar";

int NavBarHeight() { return Scale(26); }
int MenuBarHeight() { return Scale(26); }

RECT WorkArea() {
    WindowSystem& s = Sys();
    return RECT{0, NavBarHeight(), s.screenWidth, s.screenHeight};
}

namespace {

HWND g_navBar = nullptr;

// The window whose title the bar shows: the active one, else the front-most
// visible window of the program.
HWND TitleWindow() {
    HWND active = GetActiveWindow();
    if (active && active != g_navBar)
        return active;
    return nullptr;
}

bool ShowsOk(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    return w && ((w->shellFlags & SHIDIF_DONEBUTTON) || (w->exStyle & WS_EX_CAPTIONOKBTN));
}

RECT OkRect() {
    int h = NavBarHeight();
    int w = Scale(26);
    return RECT{Sys().screenWidth - w - Scale(2), Scale(2), Sys().screenWidth - Scale(2), h - Scale(2)};
}

void PaintNavBar(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    // A dark blue bar that lightens towards the bottom.
    for (int y = 0; y < rc.bottom; ++y) {
        int t = rc.bottom > 1 ? y * 255 / (rc.bottom - 1) : 0;
        RECT line{0, y, rc.right, y + 1};
        HBRUSH b = CreateSolidBrush(RGB(static_cast<BYTE>(8 + t / 10), static_cast<BYTE>(36 + t / 6),
                                        static_cast<BYTE>(110 + t / 4)));
        FillRect(dc, &line, b);
        DeleteObject(b);
    }
    // The program's own icon, drawn for this density, then the title.
    int x = Scale(4);
    const UINT iconId = Scale(1) > 1 ? kProgramIconBitmapLarge : kProgramIconBitmap;
    if (HBITMAP icon = LoadBitmap(nullptr, MAKEINTRESOURCE(static_cast<int>(iconId)))) {
        BITMAP info{};
        GetObject(icon, sizeof info, &info);
        TransparentImage(dc, x, (rc.bottom - info.bmHeight) / 2, info.bmWidth, info.bmHeight, icon, 0, 0,
                         info.bmWidth, info.bmHeight, RGB(255, 0, 255));
        DeleteObject(icon);
        x += info.bmWidth + Scale(5);
    }
    HWND titled = TitleWindow();
    std::wstring title;
    if (Window* w = FromHandle(titled))
        title = w->text;
    bool ok = ShowsOk(titled);
    RECT tr{x, 0, ok ? OkRect().left - Scale(4) : rc.right - Scale(4), rc.bottom};
    DrawLine(dc, UiFont(9, true), title, tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS,
             RGB(255, 255, 255));
    if (ok) {
        RECT o = OkRect();
        HBRUSH fill = CreateSolidBrush(RGB(255, 255, 255));
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(200, 210, 235));
        {
            SelectGuard selectBrush(dc, fill), selectPen(dc, pen);
            Ellipse(dc, o.left, o.top, o.right, o.bottom);
        }
        DeleteObject(fill);
        DeleteObject(pen);
        DrawLine(dc, UiFont(8, true), L"ok", o, DT_CENTER | DT_VCENTER | DT_SINGLELINE, RGB(8, 36, 110));
    }
    EndPaint(hwnd, &ps);
}

LRESULT NavBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: PaintNavBar(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONUP: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT o = OkRect();
        HWND titled = TitleWindow();
        if (ShowsOk(titled) && p.x >= o.left - Scale(4) && p.x < o.right && p.y >= 0 &&
            p.y < NavBarHeight() && IsWindowEnabled(titled))
            PostMessage(titled, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
        return 0;
    }
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void StartShell() {
    WNDCLASS wc{};
    if (!GetClassInfo(nullptr, kNavBarClass, &wc)) {
        wc.lpfnWndProc = NavBarProc;
        wc.lpszClassName = kNavBarClass;
        RegisterClass(&wc);
    }
    g_navBar = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kNavBarClass, L"", WS_POPUP | WS_VISIBLE, 0,
                              0, Sys().screenWidth, NavBarHeight(), nullptr, nullptr, nullptr, nullptr);
}

HWND NavigationBar() { return IsWindow(g_navBar) ? g_navBar : nullptr; }

void ShellWindowActivated() {
    if (IsWindow(g_navBar))
        InvalidateRect(g_navBar, nullptr, FALSE);
}

void ShellTitleChanged(HWND hwnd) {
    if (IsWindow(g_navBar) && hwnd == GetActiveWindow())
        InvalidateRect(g_navBar, nullptr, FALSE);
}

HWND CreateShellMenuBar(HWND owner, UINT resourceId, DWORD flags);
bool IsShellMenuBar(HWND hwnd);

ShellMetrics CurrentShellMetrics() {
    const WindowSystem& s = Sys();
    return ShellMetrics{s.screenWidth, s.screenHeight, NavBarHeight(), MenuBarHeight()};
}

namespace {

// One edge of a window on a screen that changed size: an edge on a line of
// the old screen (its sides, the foot of the navigation bar, the top of the
// menu bar) keeps to that line on the new one.
struct Span {
    int from, to;
};

Span FitSpan(Span now, std::initializer_list<std::pair<int, int>> lines, int newSize, int oldSize) {
    auto snap = [&](int v, bool& anchored) {
        for (const auto& [was, is] : lines)
            if (v == was) {
                anchored = true;
                return is;
            }
        return v;
    };
    bool fromAnchored = false, toAnchored = false;
    const int from = snap(now.from, fromAnchored), to = snap(now.to, toAnchored);
    if (fromAnchored && toAnchored)
        return Span{from, to};
    const int size = std::min(now.to - now.from, newSize);
    if (fromAnchored)
        return Span{from, from + size};
    if (toAnchored)
        return Span{to - size, to};
    // A free window (a message box, a menu): centred stays centred, the
    // rest is kept on the screen.
    int start = now.from;
    if (std::abs(now.from - (oldSize - now.to)) <= 1)
        start = (newSize - size) / 2;
    start = std::clamp(start, 0, newSize - size);
    return Span{start, start + size};
}

}  // namespace

void ShellScreenChanged(const ShellMetrics& was) {
    WindowSystem& s = Sys();
    const ShellMetrics now = CurrentShellMetrics();
    std::vector<HWND> tops;
    for (Window* w : s.desktop->children)
        tops.push_back(w->handle);
    for (HWND hwnd : tops) {
        Window* w = FromHandle(hwnd);
        if (!w)
            continue;
        RECT r{};
        if (hwnd == g_navBar) {
            r = RECT{0, 0, now.width, now.navBar};
        } else if (IsShellMenuBar(hwnd)) {
            r = RECT{0, now.height - now.menuBar, now.width, now.height};
        } else {
            const Span x = FitSpan(Span{w->rect.left, w->rect.right}, {{0, 0}, {was.width, now.width}},
                                   now.width, was.width);
            const Span y = FitSpan(Span{w->rect.top, w->rect.bottom},
                                   {{0, 0},
                                    {was.navBar, now.navBar},
                                    {was.height - was.menuBar, now.height - now.menuBar},
                                    {was.height, now.height}},
                                   now.height, was.height);
            r = RECT{x.from, y.from, x.to, y.to};
        }
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace ob::ui

using namespace ob::ui;

BOOL SHInitDialog(SHINITDLGINFO* info) {
    if (!info || !(info->dwMask & SHIDIM_FLAGS))
        return FALSE;
    Window* w = FromHandle(info->hDlg);
    if (!w)
        return FALSE;
    HWND dlg = info->hDlg;
    DWORD flags = info->dwFlags;
    w->shellFlags = flags;
    if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) {
        // Full-screen dialogs lose their frame: the navigation bar is their caption.
        LONG style = GetWindowLong(dlg, GWL_STYLE) & ~static_cast<LONG>(WS_CAPTION | WS_BORDER | WS_DLGFRAME);
        SetWindowLong(dlg, GWL_STYLE, style);
        SetWindowLong(dlg, GWL_EXSTYLE,
                      GetWindowLong(dlg, GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_DLGMODALFRAME));
        RECT area{0, NavBarHeight(), Sys().screenWidth, Sys().screenHeight};
        if (!(flags & SHIDIF_FULLSCREENNOMENUBAR))
            area.bottom -= MenuBarHeight();
        SetWindowPos(dlg, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if (flags & SHIDIF_EMPTYMENU)
        CreateShellMenuBar(dlg, 0, SHCMBF_EMPTYBAR);
    ShellTitleChanged(dlg);
    if (IsWindow(NavigationBar()))
        InvalidateRect(NavigationBar(), nullptr, FALSE);
    return TRUE;
}

BOOL SHDoneButton(HWND hwnd, DWORD state) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return FALSE;
    if (state & SHDB_SHOW)
        w->shellFlags |= SHIDIF_DONEBUTTON;
    if (state & SHDB_HIDE)
        w->shellFlags &= ~SHIDIF_DONEBUTTON;
    if (IsWindow(NavigationBar()))
        InvalidateRect(NavigationBar(), nullptr, FALSE);
    return TRUE;
}

// There is no input panel: these succeed and change nothing.
BOOL SHHandleWMActivate(HWND, WPARAM, LPARAM, SHACTIVATEINFO*, DWORD) { return TRUE; }
BOOL SHHandleWMSettingChange(HWND, WPARAM, LPARAM, SHACTIVATEINFO*) { return TRUE; }
BOOL SHSipPreference(HWND, SIPSTATE) { return TRUE; }
BOOL SipShowIM(DWORD) { return TRUE; }
BOOL SHFullScreen(HWND, DWORD) { return TRUE; }
