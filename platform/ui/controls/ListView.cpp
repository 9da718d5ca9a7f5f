#include "platform/ui/controls/ListView.h"

#include <algorithm>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/ListBox.h"
#include "platform/ui/controls/ScrollBar.h"

namespace ob::ui {

namespace {
constexpr UINT kStateBits = LVIS_FOCUSED | LVIS_SELECTED | LVIS_STATEIMAGEMASK;

void CopyOut(const std::wstring& text, LPWSTR out, int capacity) {
    if (!out || capacity <= 0)
        return;
    size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(text.begin(), n, out);
    out[n] = L'\0';
}
}  // namespace

ListView::ListView(HWND hwnd) : Control(hwnd) {}

int ListView::RowHeight() const {
    int h = LineHeight() + 2 * Scale();
    int cx = 0, cy = 0;
    if (m_small && ImageList_GetIconSize(m_small, &cx, &cy))
        h = std::max(h, cy + Scale());
    if (m_state && ImageList_GetIconSize(m_state, &cx, &cy))
        h = std::max(h, cy + Scale());
    return h;
}

RECT ListView::ListArea() const { return Client(); }

int ListView::VisibleRows() const {
    RECT area = ListArea();
    return std::max(1, static_cast<int>((area.bottom - area.top) / RowHeight()));
}

RECT ListView::RowRect(int index) const {
    RECT area = ListArea();
    int h = RowHeight();
    int y = area.top + (index - m_top) * h;
    return {area.left, y, area.right, y + h};
}

int ListView::IconLeft() const {
    int x = ListArea().left + Scale();
    int cx = 0, cy = 0;
    if (m_state && ImageList_GetIconSize(m_state, &cx, &cy))
        x += cx;
    return x;
}

int ListView::LabelLeft() const {
    int x = IconLeft();
    int cx = 0, cy = 0;
    if (m_small && ImageList_GetIconSize(m_small, &cx, &cy))
        x += cx;
    return x + 2 * Scale();
}

int ListView::TextWidth(const std::wstring& text) const {
    HDC hdc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(hdc, Font());
    SIZE size{0, 0};
    GetTextExtentPoint32(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(hdc, old);
    ReleaseDC(m_hwnd, hdc);
    return size.cx;
}

int ListView::RowAt(POINT pt, UINT* flags) const {
    RECT area = ListArea();
    if (flags)
        *flags = LVHT_NOWHERE;
    if (!PtInRect(&area, pt))
        return -1;
    int row = m_top + (pt.y - area.top) / RowHeight();
    if (row >= static_cast<int>(m_rows.size()))
        return -1;
    if (flags) {
        int iconLeft = IconLeft(), labelLeft = LabelLeft();
        if (pt.x < iconLeft && m_state)
            *flags = LVHT_ONITEMSTATEICON;
        else if (pt.x < labelLeft - 2 * Scale() && m_small)
            *flags = LVHT_ONITEMICON;
        else
            *flags = LVHT_ONITEMLABEL;
    }
    return row;
}

void ListView::UpdateScrollBar() {
    if (!m_redraw || m_updating || (Style() & LVS_NOSCROLL))
        return;
    m_updating = true;
    int count = static_cast<int>(m_rows.size());
    ShowVerticalBar(count > VisibleRows());
    m_top = std::clamp(m_top, 0, std::max(0, count - VisibleRows()));
    if (Style() & WS_VSCROLL) {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, std::max(0, count - 1), static_cast<UINT>(VisibleRows()),
                        m_top,       0};
        SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
    }
    m_updating = false;
}

void ListView::SetTop(int top) {
    int count = static_cast<int>(m_rows.size());
    top = std::clamp(top, 0, std::max(0, count - VisibleRows()));
    if (top == m_top)
        return;
    m_top = top;
    if (Style() & WS_VSCROLL)
        SetScrollPos(m_hwnd, SB_VERT, m_top, TRUE);
    Redraw();
}

void ListView::EnsureVisible(int index) {
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return;
    if (index < m_top)
        SetTop(index);
    else if (index >= m_top + VisibleRows())
        SetTop(index - VisibleRows() + 1);
}

void ListView::NotifyItem(UINT code, int index, UINT changed, UINT oldState, UINT newState, POINT pt) {
    NMLISTVIEW nm{};
    nm.iItem = index;
    nm.iSubItem = 0;
    nm.uChanged = changed;
    nm.uOldState = oldState;
    nm.uNewState = newState;
    nm.ptAction = pt;
    if (index >= 0 && index < static_cast<int>(m_rows.size()))
        nm.lParam = m_rows[static_cast<size_t>(index)].data;
    Notify(nm.hdr, code);
}

bool ListView::SetState(int index, UINT state, UINT mask) {
    Row& row = m_rows[static_cast<size_t>(index)];
    mask &= kStateBits;
    UINT next = (row.state & ~mask) | (state & mask);
    if (next == row.state)
        return true;
    // A single-selection list keeps one selected row.
    if (Single() && (next & LVIS_SELECTED) && !(row.state & LVIS_SELECTED)) {
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i)
            if (i != index && (m_rows[static_cast<size_t>(i)].state & LVIS_SELECTED))
                SetState(i, 0, LVIS_SELECTED);
    }
    if ((next & LVIS_FOCUSED) && !(row.state & LVIS_FOCUSED)) {
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i)
            if (i != index && (m_rows[static_cast<size_t>(i)].state & LVIS_FOCUSED))
                SetState(i, 0, LVIS_FOCUSED);
    }
    UINT old = m_rows[static_cast<size_t>(index)].state;
    NMLISTVIEW changing{};
    changing.iItem = index;
    changing.uChanged = LVIF_STATE;
    changing.uOldState = old;
    changing.uNewState = next;
    changing.lParam = row.data;
    if (Notify(changing.hdr, LVN_ITEMCHANGING))
        return false;
    if (index >= static_cast<int>(m_rows.size()))
        return false;  // the parent deleted it meanwhile
    m_rows[static_cast<size_t>(index)].state = next;
    if (m_redraw)
        Redraw();
    NotifyItem(LVN_ITEMCHANGED, index, LVIF_STATE, old, next);
    return true;
}

void ListView::SelectOnly(int index) {
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i)
        if (i != index && (m_rows[static_cast<size_t>(i)].state & LVIS_SELECTED))
            SetState(i, 0, LVIS_SELECTED);
    if (index >= 0)
        SetState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void ListView::SetFocusRow(int index) {
    if (index >= 0)
        SetState(index, LVIS_FOCUSED, LVIS_FOCUSED);
}

int ListView::InsertRow(const LVITEM& item) {
    int count = static_cast<int>(m_rows.size());
    Row row;
    row.texts.resize(std::max<size_t>(1, m_columns.size()));
    if ((item.mask & LVIF_TEXT) && item.pszText)
        row.texts[0] = item.pszText;
    if (item.mask & LVIF_IMAGE)
        row.image = item.iImage;
    if (item.mask & LVIF_PARAM)
        row.data = item.lParam;
    UINT initial = (item.mask & LVIF_STATE) ? (item.state & item.stateMask & kStateBits) : 0;
    int at = std::clamp(item.iItem, 0, count);
    DWORD style = Style();
    if (style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
        bool descending = (style & LVS_SORTDESCENDING) != 0;
        at = 0;
        while (at < count) {
            int c = CompareItemText(m_rows[static_cast<size_t>(at)].texts[0], row.texts[0]);
            if (descending ? c < 0 : c > 0)
                break;
            ++at;
        }
    }
    m_rows.insert(m_rows.begin() + at, row);
    NotifyItem(LVN_INSERTITEM, at, 0, 0, 0);
    // The selection and focus bits go through the usual rules (one
    // selected row in a single-selection list).
    if (initial & (LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK))
        SetState(at, initial, kStateBits);
    UpdateScrollBar();
    if (m_redraw)
        Redraw();
    return at;
}

bool ListView::FillItem(int index, LVITEM& item) const {
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return false;
    const Row& row = m_rows[static_cast<size_t>(index)];
    if (item.mask & LVIF_TEXT) {
        size_t sub = static_cast<size_t>(std::max(0, item.iSubItem));
        CopyOut(sub < row.texts.size() ? row.texts[sub] : std::wstring(), item.pszText, item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = row.image;
    if (item.mask & LVIF_PARAM)
        item.lParam = row.data;
    if (item.mask & LVIF_STATE)
        item.state = row.state & item.stateMask;
    return true;
}

bool ListView::ApplyItem(const LVITEM& item) {
    int index = item.iItem;
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return false;
    Row& row = m_rows[static_cast<size_t>(index)];
    UINT changed = 0;
    if ((item.mask & LVIF_TEXT) && item.iSubItem >= 0) {
        size_t sub = static_cast<size_t>(item.iSubItem);
        if (sub >= row.texts.size())
            row.texts.resize(sub + 1);
        row.texts[sub] = item.pszText ? item.pszText : L"";
        changed |= LVIF_TEXT;
    }
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0 && row.image != item.iImage) {
        row.image = item.iImage;
        changed |= LVIF_IMAGE;
    }
    if ((item.mask & LVIF_PARAM) && item.iSubItem == 0)
        row.data = item.lParam;
    if (changed) {
        if (m_redraw)
            Redraw();
        NotifyItem(LVN_ITEMCHANGED, index, changed, row.state, row.state);
    }
    if ((item.mask & LVIF_STATE) && item.iSubItem == 0)
        return SetState(index, item.state, item.stateMask);
    return true;
}

LRESULT ListView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    int count = static_cast<int>(m_rows.size());
    auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    auto valid = [&](int i) { return i >= 0 && i < count; };
    switch (msg) {
    case WM_SIZE:
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
    case LVM_GETITEMCOUNT: return count;
    case LVM_INSERTITEM: {
        auto* item = reinterpret_cast<const LVITEM*>(lParam);
        if (!item || item->iSubItem != 0)
            return -1;
        return InsertRow(*item);
    }
    case LVM_DELETEITEM: {
        if (!valid(index))
            return FALSE;
        NotifyItem(LVN_DELETEITEM, index, 0, 0, 0);
        if (index >= static_cast<int>(m_rows.size()))
            return FALSE;
        m_rows.erase(m_rows.begin() + index);
        UpdateScrollBar();
        if (m_redraw)
            Redraw();
        return TRUE;
    }
    case LVM_DELETEALLITEMS: {
        NMLISTVIEW nm{};
        nm.iItem = -1;
        // FALSE from the parent asks for one LVN_DELETEITEM per row.
        if (!Notify(nm.hdr, LVN_DELETEALLITEMS))
            for (int i = 0; i < count; ++i)
                NotifyItem(LVN_DELETEITEM, i, 0, 0, 0);
        m_rows.clear();
        m_top = 0;
        UpdateScrollBar();
        if (m_redraw)
            Redraw();
        return TRUE;
    }
    case LVM_GETITEM: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        return item && FillItem(item->iItem, *item) ? TRUE : FALSE;
    }
    case LVM_SETITEM: {
        auto* item = reinterpret_cast<const LVITEM*>(lParam);
        return item && ApplyItem(*item) ? TRUE : FALSE;
    }
    case LVM_GETITEMTEXT: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        if (!item || !valid(index))
            return 0;
        const Row& row = m_rows[static_cast<size_t>(index)];
        size_t sub = static_cast<size_t>(std::max(0, item->iSubItem));
        std::wstring text = sub < row.texts.size() ? row.texts[sub] : std::wstring();
        CopyOut(text, item->pszText, item->cchTextMax);
        return static_cast<LRESULT>(
            std::min(text.size(), static_cast<size_t>(std::max(0, item->cchTextMax - 1))));
    }
    case LVM_SETITEMTEXT: {
        auto* item = reinterpret_cast<const LVITEM*>(lParam);
        if (!item)
            return FALSE;
        LVITEM copy = *item;
        copy.iItem = index;
        copy.mask = LVIF_TEXT;
        return ApplyItem(copy) ? TRUE : FALSE;
    }
    case LVM_SETITEMSTATE: {
        auto* item = reinterpret_cast<const LVITEM*>(lParam);
        if (!item)
            return FALSE;
        if (index == -1) {
            for (int i = 0; i < count; ++i)
                SetState(i, item->state, item->stateMask);
            return TRUE;
        }
        return valid(index) && SetState(index, item->state, item->stateMask) ? TRUE : FALSE;
    }
    case LVM_GETITEMSTATE:
        return valid(index) ? static_cast<LRESULT>(m_rows[static_cast<size_t>(index)].state &
                                                   static_cast<UINT>(lParam))
                            : 0;
    case LVM_GETSELECTEDCOUNT:
        return std::count_if(m_rows.begin(), m_rows.end(),
                             [](const Row& r) { return (r.state & LVIS_SELECTED) != 0; });
    case LVM_GETNEXTITEM: {
        UINT flags = LOWORD(static_cast<std::uintptr_t>(lParam));
        UINT wanted = flags & (LVNI_SELECTED | LVNI_FOCUSED);
        for (int i = std::max(-1, index) + 1; i < count; ++i)
            if ((m_rows[static_cast<size_t>(i)].state & wanted) == wanted)
                return i;
        return -1;
    }
    case LVM_ENSUREVISIBLE:
        if (!valid(index))
            return FALSE;
        EnsureVisible(index);
        return TRUE;
    case LVM_GETTOPINDEX: return m_top;
    case LVM_GETCOUNTPERPAGE: return VisibleRows();
    case LVM_REDRAWITEMS: Redraw(); return TRUE;
    case LVM_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!rect || !valid(index))
            return FALSE;
        int part = rect->left;
        RECT row = RowRect(index);
        if (part == LVIR_ICON) {
            row.left = IconLeft();
            row.right = LabelLeft();
        } else if (part == LVIR_LABEL) {
            row.left = LabelLeft();
        }
        *rect = row;
        return TRUE;
    }
    case LVM_HITTEST: {
        auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!info)
            return -1;
        info->iItem = RowAt(info->pt, &info->flags);
        info->iSubItem = 0;
        return info->iItem;
    }
    case LVM_SETIMAGELIST: {
        HIMAGELIST list = reinterpret_cast<HIMAGELIST>(lParam);
        HIMAGELIST old = nullptr;
        switch (static_cast<int>(wParam)) {
        case LVSIL_SMALL:
            old = m_small;
            m_small = list;
            break;
        case LVSIL_STATE:
            old = m_state;
            m_state = list;
            break;
        case LVSIL_NORMAL:
            old = m_normal;
            m_normal = list;
            break;
        default: return 0;
        }
        UpdateScrollBar();
        Redraw();
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETIMAGELIST:
        switch (static_cast<int>(wParam)) {
        case LVSIL_SMALL: return reinterpret_cast<LRESULT>(m_small);
        case LVSIL_STATE: return reinterpret_cast<LRESULT>(m_state);
        case LVSIL_NORMAL: return reinterpret_cast<LRESULT>(m_normal);
        default: return 0;
        }
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        DWORD old = m_exStyle;
        DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
        m_exStyle = (m_exStyle & ~mask) | (static_cast<DWORD>(lParam) & mask);
        Redraw();
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return m_exStyle;
    case LVM_SETBKCOLOR:
        m_back = static_cast<COLORREF>(lParam);
        Redraw();
        return TRUE;
    case LVM_GETBKCOLOR: return m_back == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : m_back;
    case LVM_INSERTCOLUMN: {
        auto* column = reinterpret_cast<const LVCOLUMN*>(lParam);
        if (!column)
            return -1;
        Column c;
        if ((column->mask & LVCF_TEXT) && column->pszText)
            c.text = column->pszText;
        if (column->mask & LVCF_WIDTH)
            c.width = column->cx;
        if (column->mask & LVCF_FMT)
            c.format = column->fmt;
        int at = std::clamp(index, 0, static_cast<int>(m_columns.size()));
        m_columns.insert(m_columns.begin() + at, c);
        for (Row& row : m_rows)
            if (row.texts.size() < m_columns.size())
                row.texts.resize(m_columns.size());
        Redraw();
        return at;
    }
    case LVM_DELETECOLUMN:
        if (index < 0 || index >= static_cast<int>(m_columns.size()))
            return FALSE;
        m_columns.erase(m_columns.begin() + index);
        for (Row& row : m_rows)
            if (static_cast<size_t>(index) < row.texts.size())
                row.texts.erase(row.texts.begin() + index);
        Redraw();
        return TRUE;
    case LVM_GETCOLUMNWIDTH:
        return index >= 0 && index < static_cast<int>(m_columns.size())
                   ? m_columns[static_cast<size_t>(index)].width
                   : 0;
    case LVM_SETCOLUMNWIDTH: {
        if (index < 0 || index >= static_cast<int>(m_columns.size()))
            return FALSE;
        int width = static_cast<int>(static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam))));
        if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
            // As wide as the widest text; the header form also fills the
            // rest of the list when this is the last column.
            int widest = 0;
            for (const Row& row : m_rows)
                if (static_cast<size_t>(index) < row.texts.size())
                    widest = std::max(widest, TextWidth(row.texts[static_cast<size_t>(index)]));
            if (width == LVSCW_AUTOSIZE_USEHEADER)
                widest = std::max(widest, TextWidth(m_columns[static_cast<size_t>(index)].text));
            bool fill = width == LVSCW_AUTOSIZE_USEHEADER;
            width = widest + 4 * Scale() + (index == 0 ? LabelLeft() - ListArea().left : 0);
            if (fill && index + 1 == static_cast<int>(m_columns.size())) {
                int used = 0;
                for (int i = 0; i < index; ++i)
                    used += m_columns[static_cast<size_t>(i)].width;
                RECT area = ListArea();
                width = std::max(width, static_cast<int>(area.right - area.left) - used);
            }
        }
        m_columns[static_cast<size_t>(index)].width = width;
        Redraw();
        return TRUE;
    }
    case LVM_GETCOLUMN: {
        auto* column = reinterpret_cast<LVCOLUMN*>(lParam);
        if (!column || index < 0 || index >= static_cast<int>(m_columns.size()))
            return FALSE;
        const Column& c = m_columns[static_cast<size_t>(index)];
        if (column->mask & LVCF_WIDTH)
            column->cx = c.width;
        if (column->mask & LVCF_FMT)
            column->fmt = c.format;
        if (column->mask & LVCF_TEXT)
            CopyOut(c.text, column->pszText, column->cchTextMax);
        return TRUE;
    }
    case LVM_SETCOLUMN: {
        auto* column = reinterpret_cast<const LVCOLUMN*>(lParam);
        if (!column || index < 0 || index >= static_cast<int>(m_columns.size()))
            return FALSE;
        Column& c = m_columns[static_cast<size_t>(index)];
        if (column->mask & LVCF_WIDTH)
            c.width = column->cx;
        if (column->mask & LVCF_FMT)
            c.format = column->fmt;
        if ((column->mask & LVCF_TEXT) && column->pszText)
            c.text = column->pszText;
        Redraw();
        return TRUE;
    }
    case WM_VSCROLL: {
        int top = m_top;
        if (ScrolledTopRow(wParam, m_top, VisibleRows(), count, top))
            SetTop(top);
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        Redraw();
        NMHDR nm{};
        Notify(nm, msg == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetFocus() != m_hwnd)
            SetFocus(m_hwnd);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        UINT flags = 0;
        int row = RowAt(pt, &flags);
        if (row >= 0) {
            if (Single()) {
                SelectOnly(row);
            } else {
                // Without a keyboard each tap adds or removes one row.
                bool selected = (m_rows[static_cast<size_t>(row)].state & LVIS_SELECTED) != 0;
                SetState(row, (selected ? 0 : LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            }
            EnsureVisible(row);
        }
        NMITEMACTIVATE nm{};
        nm.iItem = row;
        nm.ptAction = pt;
        if (row >= 0) {
            nm.uNewState = m_rows[static_cast<size_t>(row)].state;
            nm.lParam = m_rows[static_cast<size_t>(row)].data;
        }
        Notify(nm.hdr, NM_CLICK);
        if (msg == WM_LBUTTONDBLCLK) {
            NMITEMACTIVATE twice = nm;
            Notify(twice.hdr, NM_DBLCLK);
        }
        return 0;
    }
    case WM_KEYDOWN: {
        NMLVKEYDOWN key{};
        key.wVKey = static_cast<WORD>(wParam);
        key.flags = static_cast<UINT>(HIWORD(static_cast<std::uintptr_t>(lParam)));
        Notify(key.hdr, LVN_KEYDOWN);
        count = static_cast<int>(m_rows.size());  // the parent may have changed the list
        if (wParam == VK_RETURN) {
            NMHDR nm{};
            Notify(nm, NM_RETURN);
            return 0;
        }
        if (count == 0)
            return 0;
        int focus = static_cast<int>(OnMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        int next = focus;
        switch (wParam) {
        case VK_UP: next = std::max(0, focus - 1); break;
        case VK_DOWN: next = std::min(count - 1, focus + 1); break;
        case VK_PRIOR: next = std::max(0, focus - VisibleRows() + 1); break;
        case VK_NEXT: next = std::min(count - 1, std::max(0, focus) + VisibleRows() - 1); break;
        case VK_HOME: next = 0; break;
        case VK_END: next = count - 1; break;
        default: return 0;
        }
        if (Single())
            SelectOnly(next);
        else
            SetFocusRow(next);
        EnsureVisible(next);
        return 0;
    }
    case WM_CHAR:
        if ((wParam > L' ' || (wParam == L' ' && Single() && m_typeAhead.Typing())) && count > 0) {
            // Typing jumps to the row whose label starts with what was typed.
            int focus = static_cast<int>(OnMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
            static const std::wstring kNone;
            int found = m_typeAhead.Find(static_cast<wchar_t>(wParam), focus, count,
                                         [&](int i) -> const std::wstring& {
                                             const Row& r = m_rows[static_cast<size_t>(i)];
                                             return r.texts.empty() ? kNone : r.texts.front();
                                         });
            if (found < 0)
                return 0;
            if (Single())
                SelectOnly(found);
            else
                SetFocusRow(found);
            EnsureVisible(found);
            return 0;
        }
        if (wParam == L' ' && !Single()) {
            int focus = static_cast<int>(OnMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
            if (valid(focus)) {
                bool selected = (m_rows[static_cast<size_t>(focus)].state & LVIS_SELECTED) != 0;
                SetState(focus, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
            }
        }
        return 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

void ListView::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    COLORREF window = m_back == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : m_back;
    FillSolid(hdc, rc, window);
    RECT area = ListArea();
    int saved = SaveDC(hdc);
    IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
    bool focused = Focused();
    bool fullRow = (m_exStyle & LVS_EX_FULLROWSELECT) != 0;
    bool showSelection = focused || (Style() & LVS_SHOWSELALWAYS);
    int h = RowHeight();
    int iconLeft = IconLeft(), labelLeft = LabelLeft();
    for (int i = m_top; i < static_cast<int>(m_rows.size()); ++i) {
        RECT row = RowRect(i);
        if (row.top >= area.bottom)
            break;
        const Row& r = m_rows[static_cast<size_t>(i)];
        bool selected = showSelection && (r.state & LVIS_SELECTED);
        COLORREF text = Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
        COLORREF mark = focused ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNSHADOW);
        COLORREF markText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        // Full-row selection marks the band first; pictures and text go on top.
        if (selected && fullRow)
            FillSolid(hdc, row, mark);
        int cx = 0, cy = 0;
        if (m_state && ImageList_GetIconSize(m_state, &cx, &cy)) {
            int picture = static_cast<int>((r.state & LVIS_STATEIMAGEMASK) >> 12);
            if (picture > 0)
                ImageList_Draw(m_state, picture - 1, hdc, row.left + s, row.top + (h - cy) / 2,
                               ILD_TRANSPARENT);
        }
        if (m_small && ImageList_GetIconSize(m_small, &cx, &cy) && r.image >= 0)
            ImageList_Draw(m_small, r.image, hdc, iconLeft, row.top + (h - cy) / 2, ILD_TRANSPARENT);
        // Columns: the label first, then the sub-items.
        int x = row.left;
        size_t columns = std::max<size_t>(1, m_columns.size());
        for (size_t c = 0; c < columns; ++c) {
            int width = c < m_columns.size() && m_columns[c].width > 0 ? m_columns[c].width : area.right - x;
            if (columns == 1)
                width = std::max<int>(width, area.right - x);
            RECT cell{c == 0 ? labelLeft : x, row.top, x + width, row.bottom};
            const std::wstring& label = c < r.texts.size() ? r.texts[c] : std::wstring();
            COLORREF color = text;
            if (selected && (fullRow || c == 0)) {
                if (!fullRow) {
                    RECT band = cell;
                    band.right = std::min<LONG>(band.right, labelLeft + TextWidth(label) + 4 * s);
                    FillSolid(hdc, band, mark);
                }
                color = markText;
            }
            RECT textRect = cell;
            InflateRect(&textRect, -2 * s, 0);
            UINT align = DT_LEFT;
            if (c < m_columns.size() && m_columns[c].format == LVCFMT_RIGHT)
                align = DT_RIGHT;
            if (c < m_columns.size() && m_columns[c].format == LVCFMT_CENTER)
                align = DT_CENTER;
            DrawLabel(hdc, Font(), label, textRect,
                      align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, color);
            x += width;
        }
        if (focused && (r.state & LVIS_FOCUSED) && !Single()) {
            RECT focus = row;
            if (!fullRow)
                focus.left = labelLeft;
            DrawFocusRect(hdc, &focus);
        }
    }
    RestoreDC(hdc, saved);
}

}  // namespace ob::ui
