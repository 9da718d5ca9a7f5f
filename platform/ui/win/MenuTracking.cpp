// Tracking popup menus: the popup windows, their drawing, and the loop that
// runs while a menu is open.
#include "platform/ui/gdi/SelectGuard.h"
#include "platform/ui/win/GdiBridge.h"
#include "platform/ui/win/Menus.h"
#include "platform/ui/win/UiFonts.h"
#include "platform/ui/win/WindowSystem.h"

#include <algorithm>
#include <string>
#include <utility>

namespace ob::ui {
namespace {

constexpr wchar_t kPopupClass[] = L"#32768";

struct Level {
    HMENU menu = nullptr;
    HWND hwnd = nullptr;
    int hot = -1;
    std::vector<RECT> items;  // client coordinates
};

int ItemHeight() { return FontHeight(UiFont(8, false)) + Scale(6); }
int SeparatorHeight() { return Scale(7); }
int CheckMargin() { return Scale(18); }

// An item's text is its label, then after a tab the keys that choose it
// ("World Map\tCtrl+1"), shown at the item's right.
std::pair<std::wstring, std::wstring> SplitAccelerator(const std::wstring& text) {
    const std::size_t tab = text.find(L'\t');
    if (tab == std::wstring::npos)
        return {text, std::wstring()};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

// The check mark in the margin and the arrow of a sub-menu, in the item's ink.
void PaintItemMarks(HDC dc, const MenuItem& it, const RECT& r, COLORREF fg) {
    HPEN pen = CreatePen(PS_SOLID, std::max(1, Scale(1)), fg);
    {
        SelectGuard selectPen(dc, pen);
        int cy = (r.top + r.bottom) / 2;
        if (it.flags & MF_CHECKED) {
            int x = r.left + Scale(5);
            POINT tick[3] = {{x, cy}, {x + Scale(3), cy + Scale(3)}, {x + Scale(9), cy - Scale(3)}};
            Polyline(dc, tick, 3);
            for (int d = 1; d < Scale(2); ++d) {
                POINT thick[3] = {
                    {x, cy + d}, {x + Scale(3), cy + Scale(3) + d}, {x + Scale(9), cy - Scale(3) + d}};
                Polyline(dc, thick, 3);
            }
        }
        if (it.flags & MF_POPUP) {
            HBRUSH brush = CreateSolidBrush(fg);
            {
                SelectGuard selectBrush(dc, brush);
                int x = r.right - Scale(9);
                POINT arrow[3] = {{x, cy - Scale(4)}, {x + Scale(4), cy}, {x, cy + Scale(4)}};
                Polygon(dc, arrow, 3);
            }
            DeleteObject(brush);
        }
    }
    DeleteObject(pen);
}

void PaintItem(HDC dc, HFONT font, const MenuItem& it, const RECT& r, bool hotRow) {
    if (it.flags & MF_SEPARATOR) {
        RECT line{r.left + Scale(2), (r.top + r.bottom) / 2, r.right - Scale(2), (r.top + r.bottom) / 2 + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    bool grey = (it.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    bool hot = hotRow && !grey;
    if (hot)
        FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    COLORREF fg = GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : grey ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
    RECT tr{r.left + CheckMargin(), r.top, r.right - Scale(12), r.bottom};
    const auto [label, keys] = SplitAccelerator(it.text);
    DrawLine(dc, font, StripPrefix(label), tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE, fg);
    if (!keys.empty())
        DrawLine(dc, font, keys, tr, DT_RIGHT | DT_VCENTER | DT_SINGLELINE, fg);
    PaintItemMarks(dc, it, r, fg);
}

void PaintPopup(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    auto* level = reinterpret_cast<Level*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    Menu* m = level ? FindMenu(level->menu) : nullptr;
    if (dc && m) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_MENU));
        HFONT font = UiFont(8, false);
        for (size_t i = 0; i < m->items.size() && i < level->items.size(); ++i)
            PaintItem(dc, font, m->items[i], level->items[i], static_cast<int>(i) == level->hot);
    }
    EndPaint(hwnd, &ps);
}

LRESULT PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: PaintPopup(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

void EnsurePopupClass() {
    WNDCLASS wc{};
    if (GetClassInfo(nullptr, kPopupClass, &wc))
        return;
    wc.lpfnWndProc = PopupProc;
    wc.lpszClassName = kPopupClass;
    RegisterClass(&wc);
}

bool OpenLevel(std::vector<Level>& levels, HMENU menu, UINT flags, POINT at, HWND owner, int position) {
    Menu* m = FindMenu(menu);
    if (!m || m->items.empty())
        return false;
    if (!(flags & TPM_NONOTIFY) && owner) {
        SendMessage(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                    MAKELPARAM(static_cast<WORD>(position), 0));
        if (!(m = FindMenu(menu)) || m->items.empty())
            return false;
    }
    HFONT font = UiFont(8, false);
    int width = Scale(60);
    int height = 0;
    Level level;
    level.menu = menu;
    for (const MenuItem& it : m->items) {
        int h = (it.flags & MF_SEPARATOR) ? SeparatorHeight() : ItemHeight();
        level.items.push_back(RECT{0, height, 0, height + h});
        height += h;
        if (!(it.flags & MF_SEPARATOR)) {
            const auto [label, keys] = SplitAccelerator(it.text);
            int textWidth = MeasureText(font, StripPrefix(label)).cx;
            if (!keys.empty())
                textWidth += Scale(16) + MeasureText(font, keys).cx;
            width = std::max<int>(width, textWidth + CheckMargin() + Scale(20));
        }
    }
    for (RECT& r : level.items)
        r.right = width;
    width += 2;  // the border
    height += 2;
    RECT screen{0, 0, Sys().screenWidth, Sys().screenHeight};
    int x = at.x, y = at.y;
    if (flags & TPM_RIGHTALIGN)
        x -= width;
    else if (flags & TPM_CENTERALIGN)
        x -= width / 2;
    if (flags & TPM_BOTTOMALIGN)
        y -= height;
    else if (flags & TPM_VCENTERALIGN)
        y -= height / 2;
    x = std::clamp<int>(x, screen.left, std::max<int>(screen.left, screen.right - width));
    y = std::clamp<int>(y, screen.top, std::max<int>(screen.top, screen.bottom - height));
    EnsurePopupClass();
    level.hwnd = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kPopupClass, L"", WS_POPUP | WS_BORDER, x,
                                y, width, height, nullptr, nullptr, nullptr, nullptr);
    if (!level.hwnd)
        return false;
    levels.push_back(std::move(level));
    SetWindowLongPtr(levels.back().hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&levels.back()));
    // The vector may have moved earlier levels: point every window at its level again.
    for (Level& l : levels)
        SetWindowLongPtr(l.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&l));
    ShowWindow(levels.back().hwnd, SW_SHOWNA);
    return true;
}

void CloseLevelsAbove(std::vector<Level>& levels, size_t keep) {
    while (levels.size() > keep) {
        DestroyWindow(levels.back().hwnd);
        levels.pop_back();
    }
}

void SetHot(Level& level, int index) {
    if (level.hot == index)
        return;
    level.hot = index;
    InvalidateRect(level.hwnd, nullptr, FALSE);
}

int ItemAt(const Level& level, POINT screen) {
    RECT wr;
    GetWindowRect(level.hwnd, &wr);
    if (screen.x < wr.left || screen.x >= wr.right || screen.y < wr.top || screen.y >= wr.bottom)
        return -2;
    POINT p = screen;
    ScreenToClient(level.hwnd, &p);
    for (size_t i = 0; i < level.items.size(); ++i)
        if (p.y >= level.items[i].top && p.y < level.items[i].bottom)
            return static_cast<int>(i);
    return -1;
}

bool Selectable(const MenuItem& it) { return !(it.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)); }

int FirstSelectable(const Menu& m) {
    for (size_t i = 0; i < m.items.size(); ++i)
        if (!(m.items[i].flags & MF_SEPARATOR))
            return static_cast<int>(i);
    return -1;
}

UINT Track(HMENU menu, UINT flags, POINT anchor, HWND owner, int position, int* step) {
    std::vector<Level> levels;
    levels.reserve(8);
    if (!OpenLevel(levels, menu, flags, anchor, owner, position))
        return 0;
    const bool keyboard = step != nullptr;
    if (keyboard) {
        *step = 0;
        if (Menu* m = FindMenu(levels.front().menu))
            SetHot(levels.front(), FirstSelectable(*m));
    }
    SetCapture(levels.front().hwnd);
    UINT chosen = 0;
    bool done = false;
    bool penInside = false;
    MSG msg;
    auto openSub = [&](size_t li, int index) {
        CloseLevelsAbove(levels, li + 1);
        Menu* m = FindMenu(levels[li].menu);
        if (!m || index < 0 || static_cast<size_t>(index) >= m->items.size())
            return;
        const MenuItem& it = m->items[static_cast<size_t>(index)];
        if (!(it.flags & MF_POPUP) || !Selectable(it))
            return;
        RECT wr;
        GetWindowRect(levels[li].hwnd, &wr);
        POINT at{wr.right - Scale(4), wr.top + levels[li].items[static_cast<size_t>(index)].top};
        OpenLevel(levels, it.sub,
                  flags & ~(TPM_RIGHTALIGN | TPM_CENTERALIGN | TPM_BOTTOMALIGN | TPM_VCENTERALIGN), at, owner,
                  index);
        if (keyboard && levels.size() > li + 1)
            if (Menu* sub = FindMenu(levels.back().menu))
                SetHot(levels.back(), FirstSelectable(*sub));
        SetCapture(levels.front().hwnd);
    };
    while (!done) {
        if (owner && !IsWindow(owner))
            break;
        for (const Level& l : levels)
            if (!IsWindow(l.hwnd))
                done = true;
        if (done)
            break;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        bool pen = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
        pen = pen || (msg.message >= 0x00A0 && msg.message <= 0x00A2);
        if (pen) {
            // Find the deepest level under the pen.
            int li = -1, item = -2;
            for (int i = static_cast<int>(levels.size()) - 1; i >= 0; --i) {
                item = ItemAt(levels[static_cast<size_t>(i)], msg.pt);
                if (item != -2) {
                    li = i;
                    break;
                }
            }
            bool down =
                msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK || msg.message == 0x00A1;
            bool up = msg.message == WM_LBUTTONUP || msg.message == 0x00A2;
            if (down && li < 0)
                break;  // a tap outside dismisses the menu
            if (li < 0)
                continue;
            Level& level = levels[static_cast<size_t>(li)];
            if (down)
                penInside = true;
            if (!penInside)
                continue;  // the pen that opened the menu is still being lifted
            Menu* m = FindMenu(level.menu);
            if (!m)
                break;
            if (item >= 0) {
                SetHot(level, item);
                const MenuItem& it = m->items[static_cast<size_t>(item)];
                if (down && (it.flags & MF_POPUP))
                    openSub(static_cast<size_t>(li), item);
                if (up && Selectable(it) && !(it.flags & MF_POPUP)) {
                    chosen = it.id;
                    done = true;
                }
            }
            continue;
        }
        if (msg.message == WM_SYSKEYDOWN || (msg.message == WM_SYSKEYUP && msg.wParam == VK_MENU)) {
            // F10 or Alt again closes the menu, as Escape does on the first level.
            if (msg.wParam == VK_F10 || msg.wParam == VK_MENU)
                done = true;
            continue;
        }
        if (msg.message == WM_KEYDOWN) {
            Level& level = levels.back();
            Menu* m = FindMenu(level.menu);
            if (!m)
                break;
            int n = static_cast<int>(m->items.size());
            switch (msg.wParam) {
            case VK_ESCAPE:
                if (levels.size() > 1)
                    CloseLevelsAbove(levels, levels.size() - 1);
                else
                    done = true;
                break;
            case VK_UP:
            case VK_DOWN: {
                int step = msg.wParam == VK_UP ? -1 : 1;
                int i = level.hot;
                for (int k = 0; k < n; ++k) {
                    i = (i + step + n) % n;
                    if (i < 0)
                        i = n - 1;
                    if (!(m->items[static_cast<size_t>(i)].flags & MF_SEPARATOR))
                        break;
                }
                SetHot(level, i);
                break;
            }
            case VK_RIGHT: {
                const bool opens =
                    level.hot >= 0 && (m->items[static_cast<size_t>(level.hot)].flags & MF_POPUP);
                if (opens)
                    openSub(levels.size() - 1, level.hot);
                else if (keyboard) {  // on to the bar's next menu
                    *step = 1;
                    done = true;
                }
                break;
            }
            case VK_LEFT:
                if (levels.size() > 1)
                    CloseLevelsAbove(levels, levels.size() - 1);
                else if (keyboard) {
                    *step = -1;
                    done = true;
                }
                break;
            case VK_RETURN:
                if (level.hot >= 0) {
                    const MenuItem& it = m->items[static_cast<size_t>(level.hot)];
                    if (it.flags & MF_POPUP)
                        openSub(levels.size() - 1, level.hot);
                    else if (Selectable(it)) {
                        chosen = it.id;
                        done = true;
                    }
                }
                break;
            default: break;
            }
            continue;
        }
        if (msg.message == WM_KEYUP || msg.message == WM_CHAR || msg.message == WM_SYSKEYUP)
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    if (GetCapture() && !levels.empty() && GetCapture() == levels.front().hwnd)
        ReleaseCapture();
    CloseLevelsAbove(levels, 0);
    return chosen;
}

}  // namespace

UINT TrackMenu(HMENU menu, UINT flags, POINT anchor, HWND owner, int position) {
    return Track(menu, flags, anchor, owner, position, nullptr);
}

UINT TrackMenuFromKeyboard(HMENU menu, UINT flags, POINT anchor, HWND owner, int position, int& step) {
    return Track(menu, flags, anchor, owner, position, &step);
}

}  // namespace ob::ui

using namespace ob::ui;

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (!FindMenu(menu) || (owner && !IsWindow(owner)))
        return FALSE;
    UINT id = TrackMenu(menu, flags, POINT{x, y}, owner);
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(id);
    if (id && owner)
        PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    return TRUE;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void*) {
    return TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
}
