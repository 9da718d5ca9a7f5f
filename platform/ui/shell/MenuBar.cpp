// The shell's menu bar along the bottom of the screen: buttons built from a
// menu resource, each a command or a drop-down that opens one popup of the
// bar's menu; the input panel button at the right does nothing.
#include "platform/ui/Shell.h"
#include "platform/ui/win/GdiBridge.h"
#include "platform/ui/win/Menus.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "platform/ui/win/UiFonts.h"
#include "platform/ui/win/WindowSystem.h"

#include <cwchar>

#include <map>
#include <memory>

namespace ob::ui {
namespace {

constexpr wchar_t kMenuBarClass[] = L"menu_worker";

struct Bar {
    HWND owner = nullptr;
    HMENU menu = nullptr;
    DWORD flags = 0;
    struct Button {
        UINT command;
        std::wstring text;
        int popup;
        RECT rect;
    };
    std::vector<Button> buttons;
    int pressed = -1;
};

Bar* BarOf(HWND hwnd) { return reinterpret_cast<Bar*>(GetWindowLongPtr(hwnd, GWLP_USERDATA)); }

// Every bar by its owner, for the keyboard.
std::map<HWND, HWND>& BarsByOwner() {
    static std::map<HWND, HWND> bars;
    return bars;
}

void Layout(HWND hwnd, Bar& bar) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    HFONT font = UiFont(8, false);
    int x = 0;
    for (auto& b : bar.buttons) {
        int w = MeasureText(font, b.text).cx + Scale(16);
        b.rect = RECT{x, 0, x + w, rc.bottom};
        x += w;
    }
}

void Paint(HWND hwnd, Bar& bar) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    RECT top{0, 0, rc.right, 1};
    FillRect(dc, &top, GetSysColorBrush(COLOR_BTNSHADOW));
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        const auto& b = bar.buttons[i];
        bool down = bar.pressed == static_cast<int>(i);
        RECT r = b.rect;
        r.top += 1;
        if (down)
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        DrawLine(dc, UiFont(8, false), b.text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                 GetSysColor(down ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
        RECT sep{r.right - 1, r.top + Scale(4), r.right, r.bottom - Scale(4)};
        FillRect(dc, &sep, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    if (!(bar.flags & SHCMBF_HIDESIPBUTTON)) {
        // The input panel button: a small keyboard.
        int kw = Scale(18), kh = Scale(11);
        RECT k{rc.right - kw - Scale(6), (rc.bottom - kh) / 2 + 1, rc.right - Scale(6),
               (rc.bottom - kh) / 2 + 1 + kh};
        FrameRect(dc, &k, GetSysColorBrush(COLOR_BTNTEXT));
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 4; ++col) {
                RECT key{k.left + Scale(2) + col * Scale(4), k.top + Scale(2) + row * Scale(4),
                         k.left + Scale(2) + col * Scale(4) + Scale(2),
                         k.top + Scale(2) + row * Scale(4) + Scale(2)};
                FillRect(dc, &key, GetSysColorBrush(COLOR_BTNTEXT));
            }
    }
    EndPaint(hwnd, &ps);
}

int ButtonAt(const Bar& bar, POINT p) {
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        const RECT& r = bar.buttons[i].rect;
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

void Press(HWND hwnd, Bar& bar, int index) {
    const auto button = bar.buttons[static_cast<size_t>(index)];
    HWND owner = bar.owner;
    if (!IsWindowEnabled(owner))
        return;
    if (button.popup < 0) {
        PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(button.command), 0),
                    reinterpret_cast<LPARAM>(hwnd));
        return;
    }
    HMENU sub = GetSubMenu(bar.menu, button.popup);
    if (!sub)
        return;
    bar.pressed = index;
    InvalidateRect(hwnd, nullptr, FALSE);
    RECT wr;
    GetWindowRect(hwnd, &wr);
    // The popup opens upwards from the button's left edge; the owner hears of
    // it first (WM_INITMENUPOPUP) so it can set check marks and grey items.
    UINT id = TrackMenu(sub, TPM_LEFTALIGN | TPM_BOTTOMALIGN, POINT{wr.left + button.rect.left, wr.top},
                        owner, button.popup);
    if (!IsWindow(hwnd))
        return;
    if (Bar* again = BarOf(hwnd)) {
        again->pressed = -1;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    if (id && IsWindow(owner))
        PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

LRESULT MenuBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Bar* bar = BarOf(hwnd);
    if (!bar)
        return DefWindowProc(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: Paint(hwnd, *bar); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: Layout(hwnd, *bar); return 0;
    case WM_LBUTTONDOWN: {
        int i = ButtonAt(*bar, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (i >= 0)
            Press(hwnd, *bar, i);
        return 0;
    }
    case SHCMBM_GETMENU: return reinterpret_cast<LRESULT>(bar->menu);
    case SHCMBM_GETSUBMENU:
        for (const auto& b : bar->buttons)
            if (b.command == static_cast<UINT>(lParam) && b.popup >= 0)
                return reinterpret_cast<LRESULT>(GetSubMenu(bar->menu, b.popup));
        return 0;
    case WM_NCDESTROY: {
        SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
        auto it = BarsByOwner().find(bar->owner);
        if (it != BarsByOwner().end() && it->second == hwnd)
            BarsByOwner().erase(it);
        if (bar->menu)
            DestroyMenu(bar->menu);
        delete bar;
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

bool OpenMenuBarFromKeyboard(HWND owner) {
    auto found = BarsByOwner().find(owner);
    if (found == BarsByOwner().end())
        return false;
    HWND hwnd = found->second;
    Bar* bar = BarOf(hwnd);
    if (!bar || !IsWindowVisible(hwnd) || !IsWindowEnabled(owner))
        return false;
    // The drop-downs in bar order; plain buttons are passed over.
    std::vector<int> menus;
    for (size_t i = 0; i < bar->buttons.size(); ++i)
        if (bar->buttons[i].popup >= 0)
            menus.push_back(static_cast<int>(i));
    if (menus.empty())
        return false;
    const int count = static_cast<int>(menus.size());
    int at = 0;
    UINT id = 0;
    for (;;) {
        const Bar::Button button = bar->buttons[static_cast<size_t>(menus[static_cast<size_t>(at)])];
        HMENU sub = GetSubMenu(bar->menu, button.popup);
        if (!sub)
            break;
        bar->pressed = menus[static_cast<size_t>(at)];
        InvalidateRect(hwnd, nullptr, FALSE);
        RECT wr;
        GetWindowRect(hwnd, &wr);
        int step = 0;
        id = TrackMenuFromKeyboard(sub, TPM_LEFTALIGN | TPM_BOTTOMALIGN,
                                   POINT{wr.left + button.rect.left, wr.top}, owner, button.popup, step);
        if (!IsWindow(hwnd) || !(bar = BarOf(hwnd)))
            return true;
        bar->pressed = -1;
        InvalidateRect(hwnd, nullptr, FALSE);
        if (id || step == 0)
            break;
        at = (at + step + count) % count;
    }
    if (id && IsWindow(owner))
        PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    return true;
}

bool IsShellMenuBar(HWND hwnd) {
    wchar_t name[32] = {};
    return GetClassName(hwnd, name, 32) > 0 && std::wcscmp(name, kMenuBarClass) == 0;
}

HWND CreateShellMenuBar(HWND owner, UINT resourceId, DWORD flags) {
    if (!IsWindow(owner))
        return nullptr;
    WNDCLASS wc{};
    if (!GetClassInfo(nullptr, kMenuBarClass, &wc)) {
        wc.lpfnWndProc = MenuBarProc;
        wc.lpszClassName = kMenuBarClass;
        RegisterClass(&wc);
    }
    auto bar = std::make_unique<Bar>();
    bar->owner = owner;
    bar->flags = flags;
    if (!(flags & SHCMBF_EMPTYBAR)) {
        UINT menuId = resourceId;
        const MenuBarResource* r = FindMenuBarResource(resourceId);
        if (r)
            menuId = r->menuId;
        bar->menu = LoadMenu(nullptr, MAKEINTRESOURCE(static_cast<int>(menuId)));
        if (!bar->menu)
            return nullptr;
        if (r) {
            for (const MenuBarButton& b : r->buttons) {
                std::wstring text = b.text;
                if (b.stringId)
                    if (const std::wstring* s = FindString(b.stringId))
                        text = *s;
                bar->buttons.push_back(Bar::Button{b.command, StripPrefix(text), b.popup, {}});
            }
        } else {
            // Without a bar resource every popup of the menu becomes a drop-down
            // and every command a button, in the menu's order.
            Menu* m = FindMenu(bar->menu);
            for (size_t i = 0; i < m->items.size(); ++i) {
                const MenuItem& it = m->items[i];
                if (it.flags & MF_SEPARATOR)
                    continue;
                bar->buttons.push_back(Bar::Button{
                    it.id, StripPrefix(it.text), (it.flags & MF_POPUP) ? static_cast<int>(i) : -1, {}});
            }
        }
    }
    WindowSystem& s = Sys();
    int h = MenuBarHeight();
    HWND hwnd = CreateWindowEx(WS_EX_NOACTIVATE, kMenuBarClass, L"", WS_POPUP, 0, s.screenHeight - h,
                               s.screenWidth, h, owner, nullptr, nullptr, nullptr);
    if (!hwnd) {
        if (bar->menu)
            DestroyMenu(bar->menu);
        return nullptr;
    }
    Bar* raw = bar.release();
    SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(raw));
    BarsByOwner()[owner] = hwnd;
    Layout(hwnd, *raw);
    if (!(flags & SHCMBF_HIDDEN))
        ShowWindow(hwnd, SW_SHOWNA);
    // The bar stays above its owner.
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return hwnd;
}

}  // namespace ob::ui

using namespace ob::ui;

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (!info)
        return FALSE;
    info->hwndMB = CreateShellMenuBar(info->hwndParent, info->nToolBarId, info->dwFlags);
    return info->hwndMB ? TRUE : FALSE;
}
