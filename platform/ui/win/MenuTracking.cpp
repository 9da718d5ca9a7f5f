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

// The next item from `from` in `direction` (wrapping round) that is not a
// separator; `from` itself when every other one is.
int NextItem(const Menu& m, int from, int direction) {
    int n = static_cast<int>(m.items.size());
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = (i + direction + n) % n;
        if (i < 0)
            i = n - 1;
        if (!(m.items[static_cast<size_t>(i)].flags & MF_SEPARATOR))
            break;
    }
    return i;
}

int FirstSelectable(const Menu& m) {
    for (size_t i = 0; i < m.items.size(); ++i)
        if (!(m.items[i].flags & MF_SEPARATOR))
            return static_cast<int>(i);
    return -1;
}

// One menu being tracked: its open levels (the first is the menu itself,
// the others its open sub-menus) and what the pen and the keys did so far.
class Tracker {
public:
    // With `step` (opened from the keyboard), Left and Right on the first
    // level end the tracking and say which of the bar's menus opens next.
    Tracker(UINT flags, HWND owner, int* step) : m_flags(flags), m_owner(owner), m_step(step) {}

    // Shows the menu and runs until an item is chosen or the menu is dismissed.
    UINT Run(HMENU menu, POINT anchor, int position);

private:
    bool Keyboard() const { return m_step != nullptr; }
    bool Alive() const;
    void Handle(MSG& msg);
    void OpenSub(size_t li, int index);
    void Pen(const MSG& msg);
    void Key(WPARAM key);
    void Choose(UINT id) {
        m_chosen = id;
        m_done = true;
    }
    void StepBar(int direction) {  // on to the bar's next or previous menu
        *m_step = direction;
        m_done = true;
    }

    std::vector<Level> m_levels;
    UINT m_flags;
    HWND m_owner;
    int* m_step;
    UINT m_chosen = 0;
    bool m_done = false;
    bool m_penInside = false;  // the pen went down on the menu since it opened
};

UINT Tracker::Run(HMENU menu, POINT anchor, int position) {
    m_levels.reserve(8);
    if (!OpenLevel(m_levels, menu, m_flags, anchor, m_owner, position))
        return 0;
    if (Keyboard()) {
        *m_step = 0;
        if (Menu* m = FindMenu(m_levels.front().menu))
            SetHot(m_levels.front(), FirstSelectable(*m));
    }
    SetCapture(m_levels.front().hwnd);
    MSG msg;
    while (!m_done && Alive()) {
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        Handle(msg);
    }
    if (GetCapture() && !m_levels.empty() && GetCapture() == m_levels.front().hwnd)
        ReleaseCapture();
    CloseLevelsAbove(m_levels, 0);
    return m_chosen;
}

// The owner and every open level still there.
bool Tracker::Alive() const {
    if (m_owner && !IsWindow(m_owner))
        return false;
    return std::all_of(m_levels.begin(), m_levels.end(),
                       [](const Level& l) { return IsWindow(l.hwnd) != FALSE; });
}

void Tracker::Handle(MSG& msg) {
    const UINT message = msg.message;
    const bool pen =
        (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || (message >= 0x00A0 && message <= 0x00A2);
    if (pen) {
        Pen(msg);
    } else if (message == WM_SYSKEYDOWN || (message == WM_SYSKEYUP && msg.wParam == VK_MENU)) {
        // F10 or Alt again closes the menu, as Escape does on the first level.
        if (msg.wParam == VK_F10 || msg.wParam == VK_MENU)
            m_done = true;
    } else if (message == WM_KEYDOWN) {
        Key(msg.wParam);
    } else if (message != WM_KEYUP && message != WM_CHAR && message != WM_SYSKEYUP) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

void Tracker::OpenSub(size_t li, int index) {
    CloseLevelsAbove(m_levels, li + 1);
    Menu* m = FindMenu(m_levels[li].menu);
    if (!m || index < 0 || static_cast<size_t>(index) >= m->items.size())
        return;
    const MenuItem& it = m->items[static_cast<size_t>(index)];
    if (!(it.flags & MF_POPUP) || !Selectable(it))
        return;
    RECT wr;
    GetWindowRect(m_levels[li].hwnd, &wr);
    POINT at{wr.right - Scale(4), wr.top + m_levels[li].items[static_cast<size_t>(index)].top};
    OpenLevel(m_levels, it.sub,
              m_flags & ~(TPM_RIGHTALIGN | TPM_CENTERALIGN | TPM_BOTTOMALIGN | TPM_VCENTERALIGN), at, m_owner,
              index);
    if (Keyboard() && m_levels.size() > li + 1)
        if (Menu* sub = FindMenu(m_levels.back().menu))
            SetHot(m_levels.back(), FirstSelectable(*sub));
    SetCapture(m_levels.front().hwnd);
}

void Tracker::Pen(const MSG& msg) {
    // Find the deepest level under the pen.
    int li = -1, item = -2;
    for (int i = static_cast<int>(m_levels.size()) - 1; i >= 0; --i) {
        item = ItemAt(m_levels[static_cast<size_t>(i)], msg.pt);
        if (item != -2) {
            li = i;
            break;
        }
    }
    bool down = msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK || msg.message == 0x00A1;
    bool up = msg.message == WM_LBUTTONUP || msg.message == 0x00A2;
    if (down && li < 0) {
        m_done = true;  // a tap outside dismisses the menu
        return;
    }
    if (li < 0)
        return;
    Level& level = m_levels[static_cast<size_t>(li)];
    if (down)
        m_penInside = true;
    if (!m_penInside)
        return;  // the pen that opened the menu is still being lifted
    Menu* m = FindMenu(level.menu);
    if (!m) {
        m_done = true;
        return;
    }
    if (item < 0)
        return;
    SetHot(level, item);
    const MenuItem& it = m->items[static_cast<size_t>(item)];
    if (down && (it.flags & MF_POPUP))
        OpenSub(static_cast<size_t>(li), item);
    if (up && Selectable(it) && !(it.flags & MF_POPUP))
        Choose(it.id);
}

// Up and Down move the highlight past separators, Right and Enter open a
// sub-menu, Left and Escape close one; on the first level Escape closes
// the menu and Left and Right step along the bar.
void Tracker::Key(WPARAM key) {
    Level& level = m_levels.back();
    Menu* m = FindMenu(level.menu);
    if (!m) {
        m_done = true;
        return;
    }
    const bool nested = m_levels.size() > 1;
    const MenuItem* hot = level.hot >= 0 ? &m->items[static_cast<size_t>(level.hot)] : nullptr;
    switch (key) {
    case VK_ESCAPE:
        if (nested)
            CloseLevelsAbove(m_levels, m_levels.size() - 1);
        else
            m_done = true;
        break;
    case VK_UP:
    case VK_DOWN: SetHot(level, NextItem(*m, level.hot, key == VK_UP ? -1 : 1)); break;
    case VK_RIGHT:
        if (hot && (hot->flags & MF_POPUP))
            OpenSub(m_levels.size() - 1, level.hot);
        else if (Keyboard())
            StepBar(1);
        break;
    case VK_LEFT:
        if (nested)
            CloseLevelsAbove(m_levels, m_levels.size() - 1);
        else if (Keyboard())
            StepBar(-1);
        break;
    case VK_RETURN:
        if (hot && (hot->flags & MF_POPUP))
            OpenSub(m_levels.size() - 1, level.hot);
        else if (hot && Selectable(*hot))
            Choose(hot->id);
        break;
    default: break;
    }
}

UINT Track(HMENU menu, UINT flags, POINT anchor, HWND owner, int position, int* step) {
    return Tracker(flags, owner, step).Run(menu, anchor, position);
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
