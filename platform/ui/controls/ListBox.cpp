#include "platform/ui/controls/ListBox.h"

#include <algorithm>
#include <cwctype>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/ScrollBar.h"

namespace ob::ui {

int CompareItemText(const std::wstring& a, const std::wstring& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wint_t x = std::towlower(static_cast<wint_t>(a[i])), y = std::towlower(static_cast<wint_t>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

namespace {
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && CompareItemText(text.substr(0, prefix.size()), prefix) == 0;
}
}  // namespace

ListBox::ListBox(HWND hwnd) : Control(hwnd) {}

bool ListBox::Multiple() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
bool ListBox::Sorted() const { return (Style() & LBS_SORT) != 0; }

int ListBox::ItemHeight() const {
    if (itemHeight_ > 0) return itemHeight_;
    return LineHeight() + Scale();
}

RECT ListBox::ListArea() const { return Client(); }

int ListBox::VisibleRows() const {
    RECT area = ListArea();
    return std::max(1, static_cast<int>((area.bottom - area.top) / ItemHeight()));
}

int ListBox::RowAt(POINT pt) const {
    RECT area = ListArea();
    if (pt.y < area.top) return top_ > 0 ? top_ - 1 : -1;
    int row = top_ + (pt.y - area.top) / ItemHeight();
    return row < static_cast<int>(items_.size()) ? row : -1;
}

void ListBox::UpdateScrollBar() {
    if (!redraw_ || updating_) return;
    updating_ = true;
    int count = static_cast<int>(items_.size());
    // LBS_DISABLENOSCROLL keeps the bar, disabled, when every item fits.
    const bool keep = (Style() & LBS_DISABLENOSCROLL) != 0;
    if (scrolls_) ShowVerticalBar(keep || count > VisibleRows());
    top_ = std::clamp(top_, 0, std::max(0, count - VisibleRows()));
    if (Style() & WS_VSCROLL) {
        SCROLLINFO info{sizeof info, SIF_ALL | (keep ? SIF_DISABLENOSCROLL : 0u), 0, std::max(0, count - 1),
                        static_cast<UINT>(VisibleRows()), top_, 0};
        SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
    }
    updating_ = false;
}

void ListBox::FitHeight() {
    // Without LBS_NOINTEGRALHEIGHT the box shows whole rows only: its height
    // shrinks to the last whole row, as on the device.
    if ((Style() & LBS_NOINTEGRALHEIGHT) || fitting_) return;
    RECT client = Client();
    int h = ItemHeight();
    int spare = (client.bottom - client.top) % h;
    if (spare == 0 || client.bottom - client.top < h) return;
    RECT window{};
    GetWindowRect(hwnd_, &window);
    fitting_ = true;
    SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - spare,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fitting_ = false;
}

void ListBox::SetTop(int top) {
    int count = static_cast<int>(items_.size());
    top = std::clamp(top, 0, std::max(0, count - VisibleRows()));
    if (top == top_) return;
    top_ = top;
    if (Style() & WS_VSCROLL) SetScrollPos(hwnd_, SB_VERT, top_, TRUE);
    Redraw();
}

void ListBox::EnsureVisible(int index) {
    if (index < 0) return;
    if (index < top_) SetTop(index);
    else if (index >= top_ + VisibleRows()) SetTop(index - VisibleRows() + 1);
}

void ListBox::Select(int index, bool notify) {
    if (index >= static_cast<int>(items_.size())) index = -1;
    if (index == current_) return;
    current_ = index;
    EnsureVisible(index);
    Redraw();
    if (notify) NotifySelChange();
}

void ListBox::NotifySelChange() {
    if (Style() & LBS_NOTIFY) NotifyCommand(LBN_SELCHANGE);
}

int ListBox::Insert(int index, const std::wstring& text) {
    int count = static_cast<int>(items_.size());
    if (index < 0 || index > count) index = count;
    items_.insert(items_.begin() + index, Item{text, 0, false});
    if (current_ >= index) ++current_;
    UpdateScrollBar();
    if (redraw_) Redraw();
    return index;
}

LRESULT ListBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    int count = static_cast<int>(items_.size());
    auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    auto valid = [&](int i) { return i >= 0 && i < count; };
    auto text = [&]() { return lParam ? std::wstring(reinterpret_cast<LPCWSTR>(lParam)) : std::wstring(); };
    switch (msg) {
    case WM_CREATE:
        scrolls_ = (Style() & WS_VSCROLL) != 0;
        FitHeight();
        UpdateScrollBar();
        return 0;
    case WM_SIZE:
        FitHeight();
        UpdateScrollBar();
        Redraw();
        return 0;
    case WM_SETREDRAW:
        redraw_ = wParam != 0;
        if (redraw_) {
            UpdateScrollBar();
            Redraw();
        }
        return 0;
    case LB_ADDSTRING: {
        std::wstring t = text();
        int at = count;
        if (Sorted()) {
            at = 0;
            while (at < count && CompareItemText(items_[static_cast<size_t>(at)].text, t) <= 0) ++at;
        }
        return Insert(at, t);
    }
    case LB_INSERTSTRING:
        if (index < -1 || index > count) return LB_ERR;
        return Insert(index, text());
    case LB_DELETESTRING:
        if (!valid(index)) return LB_ERR;
        items_.erase(items_.begin() + index);
        if (current_ == index) current_ = Multiple() ? std::min(index, count - 2) : -1;
        else if (current_ > index) --current_;
        UpdateScrollBar();
        if (redraw_) Redraw();
        return count - 1;
    case LB_RESETCONTENT:
        items_.clear();
        current_ = -1;
        top_ = 0;
        UpdateScrollBar();
        if (redraw_) Redraw();
        return 0;
    case LB_GETCOUNT:
        return count;
    case LB_GETTEXT:
        if (!valid(index)) return LB_ERR;
        if (lParam) {
            const std::wstring& t = items_[static_cast<size_t>(index)].text;
            std::copy(t.begin(), t.end(), reinterpret_cast<LPWSTR>(lParam));
            reinterpret_cast<LPWSTR>(lParam)[t.size()] = L'\0';
        }
        return static_cast<LRESULT>(items_[static_cast<size_t>(index)].text.size());
    case LB_GETTEXTLEN:
        return valid(index) ? static_cast<LRESULT>(items_[static_cast<size_t>(index)].text.size()) : LB_ERR;
    case LB_GETITEMDATA:
        return valid(index) ? items_[static_cast<size_t>(index)].data : LB_ERR;
    case LB_SETITEMDATA:
        if (!valid(index)) return LB_ERR;
        items_[static_cast<size_t>(index)].data = lParam;
        return LB_OKAY;
    case LB_SETCURSEL:
        if (Multiple()) return LB_ERR;
        Select(valid(index) ? index : -1, false);
        return valid(index) ? index : LB_ERR;
    case LB_GETCURSEL:
        if (Multiple()) return valid(current_) ? current_ : (count ? 0 : LB_ERR);
        return valid(current_) ? current_ : LB_ERR;
    case LB_SETSEL: {
        if (!Multiple()) return LB_ERR;
        auto at = static_cast<int>(lParam);
        if (at == -1) {
            for (Item& item : items_) item.selected = wParam != 0;
        } else if (valid(at)) {
            items_[static_cast<size_t>(at)].selected = wParam != 0;
        } else {
            return LB_ERR;
        }
        if (redraw_) Redraw();
        return LB_OKAY;
    }
    case LB_GETSEL:
        if (!valid(index)) return LB_ERR;
        return Multiple() ? (items_[static_cast<size_t>(index)].selected ? 1 : 0) : (index == current_ ? 1 : 0);
    case LB_GETSELCOUNT: {
        if (!Multiple()) return LB_ERR;
        return std::count_if(items_.begin(), items_.end(), [](const Item& i) { return i.selected; });
    }
    case LB_GETSELITEMS: {
        if (!Multiple()) return LB_ERR;
        auto* out = reinterpret_cast<int*>(lParam);
        int n = 0;
        for (int i = 0; i < count && n < index; ++i)
            if (items_[static_cast<size_t>(i)].selected) {
                if (out) out[n] = i;
                ++n;
            }
        return n;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
        if (count == 0) return LB_ERR;
        std::wstring t = text();
        int start = valid(index) ? index + 1 : 0;
        for (int k = 0; k < count; ++k) {
            int i = (start + k) % count;
            const std::wstring& item = items_[static_cast<size_t>(i)].text;
            bool match = msg == LB_FINDSTRINGEXACT ? CompareItemText(item, t) == 0 : StartsWithNoCase(item, t);
            if (!match) continue;
            if (msg == LB_SELECTSTRING) {
                if (Multiple()) return LB_ERR;
                Select(i, false);
            }
            return i;
        }
        return LB_ERR;
    }
    case LB_GETTOPINDEX:
        return top_;
    case LB_SETTOPINDEX:
        if (!valid(index) && !(index == 0 && count == 0)) return LB_ERR;
        SetTop(index);
        return LB_OKAY;
    case LB_GETITEMRECT: {
        if (!valid(index) || !lParam) return LB_ERR;
        RECT area = ListArea();
        int h = ItemHeight();
        *reinterpret_cast<RECT*>(lParam) = {area.left, area.top + (index - top_) * h, area.right,
                                            area.top + (index - top_ + 1) * h};
        return LB_OKAY;
    }
    case LB_GETITEMHEIGHT:
        return ItemHeight();
    case LB_SETITEMHEIGHT:
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) == 0) return LB_ERR;
        itemHeight_ = LOWORD(static_cast<std::uintptr_t>(lParam));
        UpdateScrollBar();
        Redraw();
        return LB_OKAY;
    case LB_SETCARETINDEX:
        if (!valid(index)) return LB_ERR;
        if (Multiple()) {
            current_ = index;
            EnsureVisible(index);
            Redraw();
        } else {
            Select(index, false);
        }
        return LB_OKAY;
    case LB_GETCARETINDEX:
        return valid(current_) ? current_ : 0;
    case WM_VSCROLL: {
        int top = top_;
        if (ScrolledTopRow(wParam, top_, VisibleRows(), count, top))
            SetTop(top);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Redraw();
        if (Style() & LBS_NOTIFY) NotifyCommand(msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The second tap of a double tap selects like the first, then the
        // parent hears of the double tap.
        SetFocus(hwnd_);
        int row = RowAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (msg == WM_LBUTTONDBLCLK && row >= 0 && (Style() & LBS_NOTIFY)) {
            OnMessage(WM_LBUTTONDOWN, wParam, lParam);
            NotifyCommand(LBN_DBLCLK);
            return 0;
        }
        if (row < 0) return 0;
        if (Multiple()) {
            // Each tap toggles one item.
            Item& item = items_[static_cast<size_t>(row)];
            item.selected = !item.selected;
            current_ = row;
            EnsureVisible(row);
            Redraw();
            NotifySelChange();
        } else {
            Select(row, true);
            tracking_ = true;
            SetCapture(hwnd_);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (tracking_) {
            int row = RowAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (row >= 0) Select(row, true);
        }
        return 0;
    case WM_LBUTTONUP:
        if (tracking_) {
            tracking_ = false;
            ReleaseCapture();
        }
        return 0;
    case WM_KEYDOWN: {
        if (count == 0) return 0;
        int at = valid(current_) ? current_ : -1;
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
        if (Multiple()) {
            current_ = next;
            EnsureVisible(next);
            Redraw();
        } else {
            Select(next, true);
        }
        return 0;
    }
    case WM_CHAR:
        if (wParam > L' ' || (wParam == L' ' && !Multiple() && typeAhead_.Typing())) {
            // Typing jumps to the item that starts with what was typed; in a
            // list of several choices it moves the caret, Space selects.
            int found = typeAhead_.Find(static_cast<wchar_t>(wParam), current_, count,
                                        [&](int i) -> const std::wstring& { return items_[static_cast<size_t>(i)].text; });
            if (found < 0) return 0;
            if (Multiple()) {
                current_ = found;
                EnsureVisible(found);
                Redraw();
            } else {
                Select(found, true);
            }
            return 0;
        }
        if (Multiple() && wParam == L' ' && valid(current_)) {
            Item& item = items_[static_cast<size_t>(current_)];
            item.selected = !item.selected;
            Redraw();
            NotifySelChange();
        }
        return 0;
    default:
        return Control::OnMessage(msg, wParam, lParam);
    }
}

void ListBox::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    HBRUSH custom = ParentColorBrush(hwnd_, WM_CTLCOLORLISTBOX, hdc);
    COLORREF text = Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    RECT area = ListArea();
    if (custom) {
        FillRect(hdc, &rc, custom);
        if (Enabled()) text = GetTextColor(hdc);
    } else {
        FillSolid(hdc, rc, GetSysColor(COLOR_WINDOW));
    }
    int h = ItemHeight();
    int saved = SaveDC(hdc);
    IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
    bool focused = Focused();
    for (int i = top_; i < static_cast<int>(items_.size()); ++i) {
        int y = area.top + (i - top_) * h;
        if (y >= area.bottom) break;
        RECT row{area.left, y, area.right, y + h};
        const Item& item = items_[static_cast<size_t>(i)];
        bool selected = Multiple() ? item.selected : i == current_;
        COLORREF color = text;
        if (selected) {
            FillSolid(hdc, row, GetSysColor(COLOR_HIGHLIGHT));
            color = GetSysColor(COLOR_HIGHLIGHTTEXT);
        }
        RECT label = row;
        label.left += 2 * s;
        DrawLabel(hdc, Font(), item.text, label, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, color);
        if (focused && Multiple() && i == current_) DrawFocusRect(hdc, &row);
    }
    RestoreDC(hdc, saved);
}

// ---- the combo box's drop-down list -----------------------------------------------

LRESULT ComboListBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The list never takes the focus: the combo box keeps it and closes the
    // list when it loses it. The pen is captured only while it is down on
    // an item, so the list's own scroll bar works as usual.
    HWND combo = combo_;
    switch (msg) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        if (cs) combo_ = static_cast<HWND>(cs->lpCreateParams);
        return ListBox::OnMessage(msg, wParam, lParam);
    }
    case WM_MOUSEACTIVATE:
        return 3;  // MA_NOACTIVATE
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (msg == WM_LBUTTONDOWN) {
            tracking_ = true;
            SetCapture(hwnd_);
        }
        if (!tracking_) return 0;
        RECT area = ListArea();
        if (PtInRect(&area, pt)) {
            int row = RowAt(pt);
            if (row >= 0 && row != current_) {
                current_ = row;
                Redraw();
            }
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        if (!tracking_) return 0;
        tracking_ = false;
        ReleaseCapture();
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT area = ListArea();
        int row = PtInRect(&area, pt) ? RowAt(pt) : -1;
        if (combo) SendMessage(combo, OBM_COMBOLIST_DONE, static_cast<WPARAM>(row), 0);
        return 0;
    }
    case WM_CAPTURECHANGED:
        tracking_ = false;
        return 0;
    case WM_SETFOCUS:
        // Hand the focus straight back to the combo box.
        if (combo) SetFocus(combo);
        return 0;
    default:
        return ListBox::OnMessage(msg, wParam, lParam);
    }
}

}  // namespace ob::ui
