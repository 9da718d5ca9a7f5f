#include "platform/ui/controls/ListBox.h"

#include <algorithm>
#include <cwctype>

#include "platform/kernel/WideText.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/controls/MessageParams.h"
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

std::wstring TextParam(LPARAM lParam) {
    return lParam ? std::wstring(reinterpret_cast<LPCWSTR>(lParam)) : std::wstring();
}
}  // namespace

ListBox::ListBox(HWND hwnd) : Control(hwnd), m_scroller(hwnd) {}

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
        return m_scroller.Top() > 0 ? m_scroller.Top() - 1 : -1;
    int row = m_scroller.RowAt(pt.y - area.top, ItemHeight());
    return row < Count() ? row : -1;
}

void ListBox::UpdateScrollBar() {
    if (!m_redraw || m_updating)
        return;
    m_updating = true;
    // LBS_DISABLENOSCROLL keeps the bar, disabled, when every item fits.
    const bool keep = (Style() & LBS_DISABLENOSCROLL) != 0;
    if (m_scrolls)
        ShowVerticalBar(keep || Count() > VisibleRows());
    m_scroller.Fit(Count(), VisibleRows(), keep);
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

void ListBox::SetTop(int top) { m_scroller.ScrollTo(top, Count(), VisibleRows()); }

void ListBox::EnsureVisible(int index) { m_scroller.Reveal(index, Count(), VisibleRows()); }

void ListBox::Select(int index, bool notify) {
    if (index >= Count())
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
    for (int i = 0; i < Count(); ++i)
        m_items[static_cast<size_t>(i)].selected = i >= low && i <= high;
}

int ListBox::Insert(int index, const std::wstring& text) {
    int count = Count();
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
    const int index = IndexFromParam(wParam);
    switch (msg) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_SIZE: OnSize(); return 0;
    case WM_SETREDRAW: SetRedraw(wParam != 0); return 0;
    case LB_ADDSTRING: return AddString(TextParam(lParam));
    case LB_INSERTSTRING: return InsertString(index, TextParam(lParam));
    case LB_DELETESTRING: return DeleteString(index);
    case LB_RESETCONTENT: ResetContent(); return 0;
    case LB_GETCOUNT: return Count();
    case LB_GETTEXT: return GetText(index, PointerFromParam<wchar_t>(lParam));
    case LB_GETTEXTLEN: return GetTextLength(index);
    case LB_GETITEMDATA: return Valid(index) ? m_items[static_cast<size_t>(index)].data : LB_ERR;
    case LB_SETITEMDATA: return SetItemData(index, lParam);
    case LB_SETCURSEL: return SetCurSel(index);
    case LB_GETCURSEL: return GetCurSel();
    case LB_SETSEL: return SetSel(wParam != 0, static_cast<int>(lParam));
    case LB_GETSEL: return GetSel(index);
    case LB_GETSELCOUNT: return GetSelCount();
    case LB_GETSELITEMS: return GetSelItems(index, PointerFromParam<int>(lParam));
    case LB_FINDSTRING: return FindString(index, TextParam(lParam), false);
    case LB_FINDSTRINGEXACT: return FindString(index, TextParam(lParam), true);
    case LB_SELECTSTRING: return SelectString(index, TextParam(lParam));
    case LB_GETTOPINDEX: return m_scroller.Top();
    case LB_SETTOPINDEX: return SetTopIndex(index);
    case LB_GETITEMRECT: return GetItemRect(index, PointerFromParam<RECT>(lParam));
    case LB_GETITEMHEIGHT: return ItemHeight();
    case LB_SETITEMHEIGHT: return SetItemHeight(LOWORD(static_cast<std::uintptr_t>(lParam)));
    case LB_SETCARETINDEX: return SetCaretIndex(index);
    case LB_GETCARETINDEX: return Valid(m_current) ? m_current : 0;
    case WM_VSCROLL: m_scroller.Scroll(LOWORD(wParam), HIWORD(wParam), Count(), VisibleRows()); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: OnFocus(LBN_SETFOCUS); return 0;
    case WM_KILLFOCUS: OnFocus(LBN_KILLFOCUS); return 0;
    case WM_LBUTTONDOWN: OnPenDown(PointFromParam(lParam), static_cast<UINT>(wParam)); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleTap(PointFromParam(lParam), static_cast<UINT>(wParam)); return 0;
    case WM_MOUSEMOVE: OnPenMove(PointFromParam(lParam)); return 0;
    case WM_LBUTTONUP: OnPenUp(PointFromParam(lParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam)); return 0;
    case WM_CHAR: OnChar(static_cast<wchar_t>(wParam)); return 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

// ---- the messages ----------------------------------------------------------------

void ListBox::OnCreate() {
    m_scrolls = (Style() & WS_VSCROLL) != 0;
    FitHeight();
    UpdateScrollBar();
}

void ListBox::OnSize() {
    FitHeight();
    UpdateScrollBar();
    Redraw();
}

void ListBox::SetRedraw(bool redraw) {
    m_redraw = redraw;
    if (m_redraw) {
        UpdateScrollBar();
        Redraw();
    }
}

int ListBox::AddString(const std::wstring& text) {
    int at = Count();
    if (Sorted()) {
        at = 0;
        while (at < Count() && CompareItemText(m_items[static_cast<size_t>(at)].text, text) <= 0)
            ++at;
    }
    return Insert(at, text);
}

LRESULT ListBox::InsertString(int index, const std::wstring& text) {
    if (index < -1 || index > Count())
        return LB_ERR;
    return Insert(index, text);
}

LRESULT ListBox::DeleteString(int index) {
    if (!Valid(index))
        return LB_ERR;
    const int count = Count();
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
}

void ListBox::ResetContent() {
    m_items.clear();
    m_current = m_anchor = -1;
    m_scroller.Reset();
    UpdateScrollBar();
    if (m_redraw)
        Redraw();
}

LRESULT ListBox::GetText(int index, LPWSTR out) const {
    if (!Valid(index))
        return LB_ERR;
    const std::wstring& text = m_items[static_cast<size_t>(index)].text;
    if (out) {
        std::copy(text.begin(), text.end(), out);
        out[text.size()] = L'\0';
    }
    return static_cast<LRESULT>(text.size());
}

LRESULT ListBox::GetTextLength(int index) const {
    return Valid(index) ? static_cast<LRESULT>(m_items[static_cast<size_t>(index)].text.size()) : LB_ERR;
}

LRESULT ListBox::SetItemData(int index, LPARAM data) {
    if (!Valid(index))
        return LB_ERR;
    m_items[static_cast<size_t>(index)].data = data;
    return LB_OKAY;
}

LRESULT ListBox::SetCurSel(int index) {
    if (Multiple())
        return LB_ERR;
    Select(Valid(index) ? index : -1, false);
    return Valid(index) ? index : LB_ERR;
}

LRESULT ListBox::GetCurSel() const {
    if (Multiple())
        return Valid(m_current) ? m_current : (Count() ? 0 : LB_ERR);
    return Valid(m_current) ? m_current : LB_ERR;
}

LRESULT ListBox::SetSel(bool select, int index) {
    if (!Multiple())
        return LB_ERR;
    if (index == -1) {
        for (Item& item : m_items)
            item.selected = select;
    } else if (Valid(index)) {
        m_items[static_cast<size_t>(index)].selected = select;
    } else {
        return LB_ERR;
    }
    if (m_redraw)
        Redraw();
    return LB_OKAY;
}

LRESULT ListBox::GetSel(int index) const {
    if (!Valid(index))
        return LB_ERR;
    return Multiple() ? (m_items[static_cast<size_t>(index)].selected ? 1 : 0) : (index == m_current ? 1 : 0);
}

LRESULT ListBox::GetSelCount() const {
    if (!Multiple())
        return LB_ERR;
    return std::count_if(m_items.begin(), m_items.end(), [](const Item& i) { return i.selected; });
}

LRESULT ListBox::GetSelItems(int capacity, int* out) const {
    if (!Multiple())
        return LB_ERR;
    int n = 0;
    for (int i = 0; i < Count() && n < capacity; ++i)
        if (m_items[static_cast<size_t>(i)].selected) {
            if (out)
                out[n] = i;
            ++n;
        }
    return n;
}

LRESULT ListBox::FindString(int after, const std::wstring& text, bool exact) const {
    const int count = Count();
    const int start = Valid(after) ? after + 1 : 0;
    for (int k = 0; k < count; ++k) {
        const int i = (start + k) % count;
        const std::wstring& item = m_items[static_cast<size_t>(i)].text;
        if (exact ? CompareItemText(item, text) == 0 : StartsWithNoCase(item, text))
            return i;
    }
    return LB_ERR;
}

LRESULT ListBox::SelectString(int after, const std::wstring& text) {
    const LRESULT found = FindString(after, text, false);
    if (found == LB_ERR || Multiple())
        return LB_ERR;
    Select(static_cast<int>(found), false);
    return found;
}

LRESULT ListBox::SetTopIndex(int index) {
    if (!Valid(index) && !(index == 0 && Count() == 0))
        return LB_ERR;
    SetTop(index);
    return LB_OKAY;
}

LRESULT ListBox::GetItemRect(int index, RECT* out) const {
    if (!Valid(index) || !out)
        return LB_ERR;
    RECT area = ListArea();
    int h = ItemHeight();
    int top = area.top + m_scroller.RowOffset(index, h);
    *out = {area.left, top, area.right, top + h};
    return LB_OKAY;
}

LRESULT ListBox::SetItemHeight(int height) {
    if (height == 0)
        return LB_ERR;
    m_itemHeight = height;
    UpdateScrollBar();
    Redraw();
    return LB_OKAY;
}

LRESULT ListBox::SetCaretIndex(int index) {
    if (!Valid(index))
        return LB_ERR;
    if (Multiple())
        MoveCaret(index);
    else
        Select(index, false);
    return LB_OKAY;
}

void ListBox::OnFocus(WORD code) {
    Redraw();
    if (Style() & LBS_NOTIFY)
        NotifyCommand(code);
}

// ---- the pen and the keys ----------------------------------------------------------

void ListBox::OnPenDown(POINT at, UINT flags) {
    SetFocus(m_hwnd);
    TapRow(RowAt(at), flags);
}

void ListBox::OnDoubleTap(POINT at, UINT flags) {
    // The second tap of a double tap selects like the first, then the
    // parent hears of the double tap.
    SetFocus(m_hwnd);
    const int row = RowAt(at);
    if (row >= 0 && (Style() & LBS_NOTIFY)) {
        OnPenDown(at, flags);
        NotifyCommand(LBN_DBLCLK);
        return;
    }
    TapRow(row, flags);
}

void ListBox::TapRow(int row, UINT flags) {
    if (row < 0)
        return;
    if (Extended()) {
        if (flags & MK_CONTROL) {
            Item& item = m_items[static_cast<size_t>(row)];
            item.selected = !item.selected;
            m_anchor = row;
        } else if ((flags & MK_SHIFT) && Valid(m_anchor)) {
            SelectRange(m_anchor, row);
        } else {
            SelectRange(row, row);
            m_anchor = row;
            // Dragging the pen on from here selects the rows it passes.
            m_tracking = true;
            SetCapture(m_hwnd);
        }
        MoveCaret(row);
        NotifySelChange();
    } else if (Multiple()) {
        // Each tap toggles one item.
        Item& item = m_items[static_cast<size_t>(row)];
        item.selected = !item.selected;
        MoveCaret(row);
        NotifySelChange();
    } else {
        Select(row, true);
        m_tracking = true;
        SetCapture(m_hwnd);
    }
}

void ListBox::OnPenMove(POINT at) {
    if (!m_tracking)
        return;
    const int row = RowAt(at);
    if (row >= 0 && Extended()) {
        if (row != m_current) {
            SelectRange(m_anchor, row);
            MoveCaret(row);
            NotifySelChange();
        }
    } else if (row >= 0) {
        Select(row, true);
    }
}

void ListBox::OnPenUp(POINT) {
    if (m_tracking) {
        m_tracking = false;
        ReleaseCapture();
    }
}

void ListBox::MoveCaret(int row) {
    m_current = row;
    EnsureVisible(row);
    Redraw();
}

void ListBox::KeyTo(int row, bool keys) {
    if (Extended()) {
        // The arrows select as they go; Shift extends, Ctrl moves the caret
        // only. What typing finds is what is selected, alone.
        if (keys && GetKeyState(VK_SHIFT) < 0 && Valid(m_anchor)) {
            SelectRange(m_anchor, row);
        } else if (!keys || GetKeyState(VK_CONTROL) >= 0) {
            SelectRange(row, row);
            m_anchor = row;
        }
        MoveCaret(row);
        NotifySelChange();
    } else if (Multiple()) {
        MoveCaret(row);
    } else {
        Select(row, true);
    }
}

void ListBox::OnKeyDown(UINT key) {
    if (Count() == 0)
        return;
    const std::optional<int> next =
        RowScroller::RowAfterKey(key, Valid(m_current) ? m_current : -1, Count(), VisibleRows());
    if (next)
        KeyTo(*next, true);
}

void ListBox::OnChar(wchar_t ch) {
    if (ch > L' ' || (ch == L' ' && (!Multiple() || Extended()) && m_typeAhead.Typing())) {
        // Typing jumps to the item that starts with what was typed; in a
        // list of several choices it moves the caret, Space selects.
        const int found = m_typeAhead.Find(ch, m_current, Count(), [&](int i) -> const std::wstring& {
            return m_items[static_cast<size_t>(i)].text;
        });
        if (found >= 0)
            KeyTo(found, false);
        return;
    }
    if (Multiple() && !Extended() && ch == L' ' && Valid(m_current)) {
        Item& item = m_items[static_cast<size_t>(m_current)];
        item.selected = !item.selected;
        Redraw();
        NotifySelChange();
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
    for (int i = m_scroller.Top(); i < Count(); ++i) {
        int y = area.top + m_scroller.RowOffset(i, h);
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

// The list never takes the focus: the combo box keeps it and closes the
// list when it loses it. The pen is captured only while it is down on an
// item, so the list's own scroll bar works as usual.
LRESULT ComboListBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        TakeCombo(PointerFromParam<const CREATESTRUCT>(lParam));
        return ListBox::OnMessage(msg, wParam, lParam);
    case WM_MOUSEACTIVATE: return 3;  // MA_NOACTIVATE
    case WM_CAPTURECHANGED: m_tracking = false; return 0;
    case WM_SETFOCUS: GiveFocusBack(); return 0;
    default: return ListBox::OnMessage(msg, wParam, lParam);
    }
}

void ComboListBox::TakeCombo(const CREATESTRUCT* cs) {
    if (cs)
        m_combo = static_cast<HWND>(cs->lpCreateParams);
}

void ComboListBox::GiveFocusBack() {
    if (m_combo)
        SetFocus(m_combo);
}

void ComboListBox::OnPenDown(POINT at, UINT) {
    m_tracking = true;
    SetCapture(m_hwnd);
    OnPenMove(at);
}

void ComboListBox::OnPenMove(POINT at) {
    if (!m_tracking)
        return;
    RECT area = ListArea();
    if (PtInRect(&area, at)) {
        int row = RowAt(at);
        if (row >= 0 && row != m_current) {
            m_current = row;
            Redraw();
        }
    }
}

void ComboListBox::OnPenUp(POINT at) {
    if (!m_tracking)
        return;
    m_tracking = false;
    ReleaseCapture();
    RECT area = ListArea();
    int row = PtInRect(&area, at) ? RowAt(at) : -1;
    if (m_combo)
        SendMessage(m_combo, OBM_COMBOLIST_DONE, static_cast<WPARAM>(row), 0);
}

}  // namespace ob::ui
