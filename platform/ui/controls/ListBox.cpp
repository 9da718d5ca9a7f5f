#include "platform/ui/controls/ListBox.h"

#include <algorithm>
#include <cwctype>

#include "platform/kernel/WideText.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/controls/ScrollBar.h"

namespace ob::ui {

int CompareItemText(const std::wstring& a, const std::wstring& b) {
    // Case and accents do not count ("São Paulo" sorts with "Sao"), as a
    // sorted list of names reads; texts differing only in them keep the order
    // of their plain lower-case letters.
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const wchar_t x = ob::kernel::FoldLetter(a[i]), y = ob::kernel::FoldLetter(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (size_t i = 0; i < n; ++i) {
        wint_t x = std::towlower(static_cast<wint_t>(a[i])), y = std::towlower(static_cast<wint_t>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

namespace {
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && CompareItemText(text.substr(0, prefix.size()), prefix) == 0;
}
}  // namespace

ListBox::ListBox(HWND hwnd) : Control(hwnd) {}

bool ListBox::Multiple() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
bool ListBox::Extended() const { return (Style() & LBS_EXTENDEDSEL) != 0; }
bool ListBox::Sorted() const { return (Style() & LBS_SORT) != 0; }

int ListBox::ItemHeight() const {
    if (m_itemHeight > 0)
        return m_itemHeight;
    return LineHeight() + Scale();
}

RECT ListBox::ListArea() const { return Client(); }

int ListBox::VisibleRows() const {
    RECT area = ListArea();
    return std::max(1, static_cast<int>((area.bottom - area.top) / ItemHeight()));
}

int ListBox::RowAt(POINT pt) const {
    RECT area = ListArea();
    if (pt.y < area.top)
        return m_top > 0 ? m_top - 1 : -1;
    int row = m_top + (pt.y - area.top) / ItemHeight();
    return row < static_cast<int>(m_items.size()) ? row : -1;
}

void ListBox::UpdateScrollBar() {
    if (!m_redraw || m_updating)
        return;
    m_updating = true;
    int count = static_cast<int>(m_items.size());
    // LBS_DISABLENOSCROLL keeps the bar, disabled, when every item fits.
    const bool keep = (Style() & LBS_DISABLENOSCROLL) != 0;
    if (m_scrolls)
        ShowVerticalBar(keep || count > VisibleRows());
    m_top = std::clamp(m_top, 0, std::max(0, count - VisibleRows()));
    if (Style() & WS_VSCROLL) {
        SCROLLINFO info{sizeof info,
                        SIF_ALL | (keep ? SIF_DISABLENOSCROLL : 0u),
                        0,
                        std::max(0, count - 1),
                        static_cast<UINT>(VisibleRows()),
                        m_top,
                        0};
        SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
    }
    m_updating = false;
}

void ListBox::FitHeight() {
    // Without LBS_NOINTEGRALHEIGHT the box shows whole rows only: its height
    // shrinks to the last whole row, as on the device.
    if ((Style() & LBS_NOINTEGRALHEIGHT) || m_fitting)
        return;
    RECT client = Client();
    int h = ItemHeight();
    int spare = (client.bottom - client.top) % h;
    if (spare == 0 || client.bottom - client.top < h)
        return;
    RECT window{};
    GetWindowRect(m_hwnd, &window);
    m_fitting = true;
    SetWindowPos(m_hwnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - spare,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_fitting = false;
}

void ListBox::SetTop(int top) {
    int count = static_cast<int>(m_items.size());
    top = std::clamp(top, 0, std::max(0, count - VisibleRows()));
    if (top == m_top)
        return;
    m_top = top;
    if (Style() & WS_VSCROLL)
        SetScrollPos(m_hwnd, SB_VERT, m_top, TRUE);
    Redraw();
}

void ListBox::EnsureVisible(int index) {
    if (index < 0)
        return;
    if (index < m_top)
        SetTop(index);
    else if (index >= m_top + VisibleRows())
        SetTop(index - VisibleRows() + 1);
}

void ListBox::Select(int index, bool notify) {
    if (index >= static_cast<int>(m_items.size()))
        index = -1;
    if (index == m_current)
        return;
    m_current = index;
    EnsureVisible(index);
    Redraw();
    if (notify)
        NotifySelChange();
}

void ListBox::NotifySelChange() {
    if (Style() & LBS_NOTIFY)
        NotifyCommand(LBN_SELCHANGE);
}

void ListBox::SelectRange(int from, int to) {
    const int low = std::min(from, to), high = std::max(from, to);
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i)
        m_items[static_cast<size_t>(i)].selected = i >= low && i <= high;
}

int ListBox::Insert(int index, const std::wstring& text) {
    int count = static_cast<int>(m_items.size());
    if (index < 0 || index > count)
        index = count;
    m_items.insert(m_items.begin() + index, Item{text, 0, false});
    if (m_current >= index)
        ++m_current;
    UpdateScrollBar();
    if (m_redraw)
        Redraw();
    return index;
}

LRESULT ListBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    int count = static_cast<int>(m_items.size());
    auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    auto valid = [&](int i) { return i >= 0 && i < count; };
    auto text = [&]() { return lParam ? std::wstring(reinterpret_cast<LPCWSTR>(lParam)) : std::wstring(); };
    switch (msg) {
    case WM_CREATE:
        m_scrolls = (Style() & WS_VSCROLL) != 0;
        FitHeight();
        UpdateScrollBar();
        return 0;
    case WM_SIZE:
        FitHeight();
        UpdateScrollBar();
        Redraw();
        return 0;
    case WM_SETREDRAW:
        m_redraw = wParam != 0;
        if (m_redraw) {
            UpdateScrollBar();
            Redraw();
        }
        return 0;
    case LB_ADDSTRING: {
        std::wstring t = text();
        int at = count;
        if (Sorted()) {
            at = 0;
            while (at < count && CompareItemText(m_items[static_cast<size_t>(at)].text, t) <= 0)
                ++at;
        }
        return Insert(at, t);
    }
    case LB_INSERTSTRING:
        if (index < -1 || index > count)
            return LB_ERR;
        return Insert(index, text());
    case LB_DELETESTRING:
        if (!valid(index))
            return LB_ERR;
        m_items.erase(m_items.begin() + index);
        m_anchor = -1;
        if (m_current == index)
            m_current = Multiple() ? std::min(index, count - 2) : -1;
        else if (m_current > index)
            --m_current;
        UpdateScrollBar();
        if (m_redraw)
            Redraw();
        return count - 1;
    case LB_RESETCONTENT:
        m_items.clear();
        m_current = m_anchor = -1;
        m_top = 0;
        UpdateScrollBar();
        if (m_redraw)
            Redraw();
        return 0;
    case LB_GETCOUNT: return count;
    case LB_GETTEXT:
        if (!valid(index))
            return LB_ERR;
        if (lParam) {
            const std::wstring& t = m_items[static_cast<size_t>(index)].text;
            std::copy(t.begin(), t.end(), reinterpret_cast<LPWSTR>(lParam));
            reinterpret_cast<LPWSTR>(lParam)[t.size()] = L'\0';
        }
        return static_cast<LRESULT>(m_items[static_cast<size_t>(index)].text.size());
    case LB_GETTEXTLEN:
        return valid(index) ? static_cast<LRESULT>(m_items[static_cast<size_t>(index)].text.size()) : LB_ERR;
    case LB_GETITEMDATA: return valid(index) ? m_items[static_cast<size_t>(index)].data : LB_ERR;
    case LB_SETITEMDATA:
        if (!valid(index))
            return LB_ERR;
        m_items[static_cast<size_t>(index)].data = lParam;
        return LB_OKAY;
    case LB_SETCURSEL:
        if (Multiple())
            return LB_ERR;
        Select(valid(index) ? index : -1, false);
        return valid(index) ? index : LB_ERR;
    case LB_GETCURSEL:
        if (Multiple())
            return valid(m_current) ? m_current : (count ? 0 : LB_ERR);
        return valid(m_current) ? m_current : LB_ERR;
    case LB_SETSEL: {
        if (!Multiple())
            return LB_ERR;
        auto at = static_cast<int>(lParam);
        if (at == -1) {
            for (Item& item : m_items)
                item.selected = wParam != 0;
        } else if (valid(at)) {
            m_items[static_cast<size_t>(at)].selected = wParam != 0;
        } else {
            return LB_ERR;
        }
        if (m_redraw)
            Redraw();
        return LB_OKAY;
    }
    case LB_GETSEL:
        if (!valid(index))
            return LB_ERR;
        return Multiple() ? (m_items[static_cast<size_t>(index)].selected ? 1 : 0)
                          : (index == m_current ? 1 : 0);
    case LB_GETSELCOUNT: {
        if (!Multiple())
            return LB_ERR;
        return std::count_if(m_items.begin(), m_items.end(), [](const Item& i) { return i.selected; });
    }
    case LB_GETSELITEMS: {
        if (!Multiple())
            return LB_ERR;
        auto* out = reinterpret_cast<int*>(lParam);
        int n = 0;
        for (int i = 0; i < count && n < index; ++i)
            if (m_items[static_cast<size_t>(i)].selected) {
                if (out)
                    out[n] = i;
                ++n;
            }
        return n;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
        if (count == 0)
            return LB_ERR;
        std::wstring t = text();
        int start = valid(index) ? index + 1 : 0;
        for (int k = 0; k < count; ++k) {
            int i = (start + k) % count;
            const std::wstring& item = m_items[static_cast<size_t>(i)].text;
            bool match =
                msg == LB_FINDSTRINGEXACT ? CompareItemText(item, t) == 0 : StartsWithNoCase(item, t);
            if (!match)
                continue;
            if (msg == LB_SELECTSTRING) {
                if (Multiple())
                    return LB_ERR;
                Select(i, false);
            }
            return i;
        }
        return LB_ERR;
    }
    case LB_GETTOPINDEX: return m_top;
    case LB_SETTOPINDEX:
        if (!valid(index) && !(index == 0 && count == 0))
            return LB_ERR;
        SetTop(index);
        return LB_OKAY;
    case LB_GETITEMRECT: {
        if (!valid(index) || !lParam)
            return LB_ERR;
        RECT area = ListArea();
        int h = ItemHeight();
        *reinterpret_cast<RECT*>(lParam) = {area.left, area.top + (index - m_top) * h, area.right,
                                            area.top + (index - m_top + 1) * h};
        return LB_OKAY;
    }
    case LB_GETITEMHEIGHT: return ItemHeight();
    case LB_SETITEMHEIGHT:
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) == 0)
            return LB_ERR;
        m_itemHeight = LOWORD(static_cast<std::uintptr_t>(lParam));
        UpdateScrollBar();
        Redraw();
        return LB_OKAY;
    case LB_SETCARETINDEX:
        if (!valid(index))
            return LB_ERR;
        if (Multiple()) {
            m_current = index;
            EnsureVisible(index);
            Redraw();
        } else {
            Select(index, false);
        }
        return LB_OKAY;
    case LB_GETCARETINDEX: return valid(m_current) ? m_current : 0;
    case WM_VSCROLL: {
        int top = m_top;
        if (ScrolledTopRow(wParam, m_top, VisibleRows(), count, top))
            SetTop(top);
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Redraw();
        if (Style() & LBS_NOTIFY)
            NotifyCommand(msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The second tap of a double tap selects like the first, then the
        // parent hears of the double tap.
        SetFocus(m_hwnd);
        int row = RowAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (msg == WM_LBUTTONDBLCLK && row >= 0 && (Style() & LBS_NOTIFY)) {
            OnMessage(WM_LBUTTONDOWN, wParam, lParam);
            NotifyCommand(LBN_DBLCLK);
            return 0;
        }
        if (row < 0)
            return 0;
        if (Extended()) {
            if (wParam & MK_CONTROL) {
                Item& item = m_items[static_cast<size_t>(row)];
                item.selected = !item.selected;
                m_anchor = row;
            } else if ((wParam & MK_SHIFT) && valid(m_anchor)) {
                SelectRange(m_anchor, row);
            } else {
                SelectRange(row, row);
                m_anchor = row;
                // Dragging the pen on from here selects the rows it passes.
                m_tracking = true;
                SetCapture(m_hwnd);
            }
            m_current = row;
            EnsureVisible(row);
            Redraw();
            NotifySelChange();
        } else if (Multiple()) {
            // Each tap toggles one item.
            Item& item = m_items[static_cast<size_t>(row)];
            item.selected = !item.selected;
            m_current = row;
            EnsureVisible(row);
            Redraw();
            NotifySelChange();
        } else {
            Select(row, true);
            m_tracking = true;
            SetCapture(m_hwnd);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_tracking) {
            int row = RowAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (row >= 0 && Extended()) {
                if (row != m_current) {
                    SelectRange(m_anchor, row);
                    m_current = row;
                    EnsureVisible(row);
                    Redraw();
                    NotifySelChange();
                }
            } else if (row >= 0) {
                Select(row, true);
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_tracking) {
            m_tracking = false;
            ReleaseCapture();
        }
        return 0;
    case WM_KEYDOWN: {
        if (count == 0)
            return 0;
        int at = valid(m_current) ? m_current : -1;
        int next = at;
        switch (wParam) {
        case VK_UP: next = std::max(0, at - 1); break;
        case VK_DOWN: next = std::min(count - 1, at + 1); break;
        case VK_PRIOR: next = std::max(0, at - VisibleRows() + 1); break;
        case VK_NEXT: next = std::min(count - 1, std::max(0, at) + VisibleRows() - 1); break;
        case VK_HOME: next = 0; break;
        case VK_END: next = count - 1; break;
        default: return 0;
        }
        if (Extended()) {
            // The arrows select as they go; Shift extends, Ctrl moves the caret only.
            if (GetKeyState(VK_SHIFT) < 0 && valid(m_anchor)) {
                SelectRange(m_anchor, next);
            } else if (GetKeyState(VK_CONTROL) >= 0) {
                SelectRange(next, next);
                m_anchor = next;
            }
            m_current = next;
            EnsureVisible(next);
            Redraw();
            NotifySelChange();
        } else if (Multiple()) {
            m_current = next;
            EnsureVisible(next);
            Redraw();
        } else {
            Select(next, true);
        }
        return 0;
    }
    case WM_CHAR:
        if (wParam > L' ' || (wParam == L' ' && (!Multiple() || Extended()) && m_typeAhead.Typing())) {
            // Typing jumps to the item that starts with what was typed; in a
            // list of several choices it moves the caret, Space selects.
            int found = m_typeAhead.Find(
                static_cast<wchar_t>(wParam), m_current, count,
                [&](int i) -> const std::wstring& { return m_items[static_cast<size_t>(i)].text; });
            if (found < 0)
                return 0;
            if (Extended()) {
                // What typing finds is what is selected, alone.
                SelectRange(found, found);
                m_anchor = m_current = found;
                EnsureVisible(found);
                Redraw();
                NotifySelChange();
            } else if (Multiple()) {
                m_current = found;
                EnsureVisible(found);
                Redraw();
            } else {
                Select(found, true);
            }
            return 0;
        }
        if (Multiple() && !Extended() && wParam == L' ' && valid(m_current)) {
            Item& item = m_items[static_cast<size_t>(m_current)];
            item.selected = !item.selected;
            Redraw();
            NotifySelChange();
        }
        return 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

void ListBox::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    COLORREF text = FillBackground(hdc, rc, WM_CTLCOLORLISTBOX);
    RECT area = ListArea();
    int h = ItemHeight();
    int saved = SaveDC(hdc);
    IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
    bool focused = Focused();
    for (int i = m_top; i < static_cast<int>(m_items.size()); ++i) {
        int y = area.top + (i - m_top) * h;
        if (y >= area.bottom)
            break;
        RECT row{area.left, y, area.right, y + h};
        const Item& item = m_items[static_cast<size_t>(i)];
        bool selected = Multiple() ? item.selected : i == m_current;
        COLORREF color = text;
        if (selected) {
            FillSolid(hdc, row, GetSysColor(COLOR_HIGHLIGHT));
            color = GetSysColor(COLOR_HIGHLIGHTTEXT);
        }
        RECT label = row;
        label.left += 2 * s;
        DrawLabel(hdc, Font(), item.text, label, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, color);
        if (focused && Multiple() && i == m_current)
            DrawFocusRect(hdc, &row);
    }
    RestoreDC(hdc, saved);
}

// ---- the combo box's drop-down list -----------------------------------------------

LRESULT ComboListBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The list never takes the focus: the combo box keeps it and closes the
    // list when it loses it. The pen is captured only while it is down on
    // an item, so the list's own scroll bar works as usual.
    HWND combo = m_combo;
    switch (msg) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        if (cs)
            m_combo = static_cast<HWND>(cs->lpCreateParams);
        return ListBox::OnMessage(msg, wParam, lParam);
    }
    case WM_MOUSEACTIVATE: return 3;  // MA_NOACTIVATE
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (msg == WM_LBUTTONDOWN) {
            m_tracking = true;
            SetCapture(m_hwnd);
        }
        if (!m_tracking)
            return 0;
        RECT area = ListArea();
        if (PtInRect(&area, pt)) {
            int row = RowAt(pt);
            if (row >= 0 && row != m_current) {
                m_current = row;
                Redraw();
            }
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        if (!m_tracking)
            return 0;
        m_tracking = false;
        ReleaseCapture();
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT area = ListArea();
        int row = PtInRect(&area, pt) ? RowAt(pt) : -1;
        if (combo)
            SendMessage(combo, OBM_COMBOLIST_DONE, static_cast<WPARAM>(row), 0);
        return 0;
    }
    case WM_CAPTURECHANGED: m_tracking = false; return 0;
    case WM_SETFOCUS:
        // Hand the focus straight back to the combo box.
        if (combo)
            SetFocus(combo);
        return 0;
    default: return ListBox::OnMessage(msg, wParam, lParam);
    }
}

}  // namespace ob::ui
