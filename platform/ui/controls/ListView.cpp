#include "platform/ui/controls/ListView.h"

#include <algorithm>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/ListBox.h"
#include "platform/ui/controls/MessageParams.h"
#include "platform/ui/controls/ScrollBar.h"
#include "platform/ui/gdi/SelectGuard.h"

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

ListView::ListView(HWND hwnd) : Control(hwnd), m_scroller(hwnd) {}

COLORREF ListView::Background() const { return m_back == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : m_back; }

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
    int y = area.top + m_scroller.RowOffset(index, h);
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
    SIZE size{0, 0};
    {
        SelectGuard font(hdc, Font());
        GetTextExtentPoint32(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    }
    ReleaseDC(m_hwnd, hdc);
    return size.cx;
}

int ListView::RowAt(POINT pt, UINT* flags) const {
    RECT area = ListArea();
    if (flags)
        *flags = LVHT_NOWHERE;
    if (!PtInRect(&area, pt))
        return -1;
    int row = m_scroller.RowAt(pt.y - area.top, RowHeight());
    if (row >= Count())
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
    ShowVerticalBar(Count() > VisibleRows());
    m_scroller.Fit(Count(), VisibleRows(), false);
    m_updating = false;
}

void ListView::EnsureVisible(int index) { m_scroller.Reveal(index, Count(), VisibleRows()); }

void ListView::NotifyItem(UINT code, int index, UINT changed, UINT oldState, UINT newState, POINT pt) {
    NMLISTVIEW nm{};
    nm.iItem = index;
    nm.iSubItem = 0;
    nm.uChanged = changed;
    nm.uOldState = oldState;
    nm.uNewState = newState;
    nm.ptAction = pt;
    if (Valid(index))
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
    if (Single() && (next & LVIS_SELECTED) && !(row.state & LVIS_SELECTED))
        ClearOthers(index, LVIS_SELECTED);
    if ((next & LVIS_FOCUSED) && !(row.state & LVIS_FOCUSED))
        ClearOthers(index, LVIS_FOCUSED);
    UINT old = m_rows[static_cast<size_t>(index)].state;
    NMLISTVIEW changing{};
    changing.iItem = index;
    changing.uChanged = LVIF_STATE;
    changing.uOldState = old;
    changing.uNewState = next;
    changing.lParam = row.data;
    if (Notify(changing.hdr, LVN_ITEMCHANGING))
        return false;
    if (index >= Count())
        return false;  // the parent deleted it meanwhile
    m_rows[static_cast<size_t>(index)].state = next;
    if (m_redraw)
        Redraw();
    NotifyItem(LVN_ITEMCHANGED, index, LVIF_STATE, old, next);
    return true;
}

void ListView::ClearOthers(int index, UINT bits) {
    for (int i = 0; i < Count(); ++i)
        if (i != index && (m_rows[static_cast<size_t>(i)].state & bits))
            SetState(i, 0, bits);
}

void ListView::SelectOnly(int index) {
    ClearOthers(index, LVIS_SELECTED);
    if (index >= 0)
        SetState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void ListView::SetFocusRow(int index) {
    if (index >= 0)
        SetState(index, LVIS_FOCUSED, LVIS_FOCUSED);
}

void ListView::KeyTo(int row) {
    if (Single())
        SelectOnly(row);
    else
        SetFocusRow(row);
    EnsureVisible(row);
}

int ListView::InsertRow(const LVITEM& item) {
    int count = Count();
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
    if (!Valid(index))
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
    if (!Valid(index))
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

int ListView::AutoWidth(int index, bool header) const {
    // As wide as the widest text; the header form also fills the rest of
    // the list when this is the last column.
    int widest = 0;
    for (const Row& row : m_rows)
        if (static_cast<size_t>(index) < row.texts.size())
            widest = std::max(widest, TextWidth(row.texts[static_cast<size_t>(index)]));
    if (header)
        widest = std::max(widest, TextWidth(m_columns[static_cast<size_t>(index)].text));
    int width = widest + 4 * Scale() + (index == 0 ? LabelLeft() - ListArea().left : 0);
    if (header && index + 1 == static_cast<int>(m_columns.size())) {
        int used = 0;
        for (int i = 0; i < index; ++i)
            used += m_columns[static_cast<size_t>(i)].width;
        RECT area = ListArea();
        width = std::max(width, static_cast<int>(area.right - area.left) - used);
    }
    return width;
}

HIMAGELIST* ListView::ImageListSlot(int which) {
    switch (which) {
    case LVSIL_SMALL: return &m_small;
    case LVSIL_STATE: return &m_state;
    case LVSIL_NORMAL: return &m_normal;
    default: return nullptr;
    }
}

LRESULT ListView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const int index = IndexFromParam(wParam);
    switch (msg) {
    case WM_SIZE: OnSize(); return 0;
    case WM_SETREDRAW: SetRedraw(wParam != 0); return 0;
    case LVM_GETITEMCOUNT: return Count();
    case LVM_INSERTITEM: return InsertItem(PointerFromParam<const LVITEM>(lParam));
    case LVM_DELETEITEM: return DeleteItem(index);
    case LVM_DELETEALLITEMS: return DeleteAllItems();
    case LVM_GETITEM: return GetItem(PointerFromParam<LVITEM>(lParam));
    case LVM_SETITEM: return SetItem(PointerFromParam<const LVITEM>(lParam));
    case LVM_GETITEMTEXT: return GetItemText(index, PointerFromParam<LVITEM>(lParam));
    case LVM_SETITEMTEXT: return SetItemText(index, PointerFromParam<const LVITEM>(lParam));
    case LVM_SETITEMSTATE: return SetItemState(index, PointerFromParam<const LVITEM>(lParam));
    case LVM_GETITEMSTATE: return GetItemState(index, static_cast<UINT>(lParam));
    case LVM_GETSELECTEDCOUNT: return GetSelectedCount();
    case LVM_GETNEXTITEM: return GetNextItem(index, LOWORD(static_cast<std::uintptr_t>(lParam)));
    case LVM_ENSUREVISIBLE: return EnsureVisibleItem(index);
    case LVM_GETTOPINDEX: return m_scroller.Top();
    case LVM_GETCOUNTPERPAGE: return VisibleRows();
    case LVM_REDRAWITEMS: Redraw(); return TRUE;
    case LVM_GETITEMRECT: return GetItemRect(index, PointerFromParam<RECT>(lParam));
    case LVM_HITTEST: return HitTest(PointerFromParam<LVHITTESTINFO>(lParam));
    case LVM_SETIMAGELIST: return SetImageList(index, reinterpret_cast<HIMAGELIST>(lParam));
    case LVM_GETIMAGELIST: return GetImageList(index);
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
        return SetExtendedStyle(static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return m_exStyle;
    case LVM_SETBKCOLOR: SetBackground(static_cast<COLORREF>(lParam)); return TRUE;
    case LVM_GETBKCOLOR: return Background();
    case LVM_INSERTCOLUMN: return InsertColumn(index, PointerFromParam<const LVCOLUMN>(lParam));
    case LVM_DELETECOLUMN: return DeleteColumn(index);
    case LVM_GETCOLUMNWIDTH: return GetColumnWidth(index);
    case LVM_SETCOLUMNWIDTH: return SetColumnWidth(index, SignedLowWord(lParam));
    case LVM_GETCOLUMN: return GetColumn(index, PointerFromParam<LVCOLUMN>(lParam));
    case LVM_SETCOLUMN: return SetColumn(index, PointerFromParam<const LVCOLUMN>(lParam));
    case WM_VSCROLL: m_scroller.Scroll(LOWORD(wParam), HIWORD(wParam), Count(), VisibleRows()); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: OnFocus(NM_SETFOCUS); return 0;
    case WM_KILLFOCUS: OnFocus(NM_KILLFOCUS); return 0;
    case WM_LBUTTONDOWN: OnTap(PointFromParam(lParam), false); return 0;
    case WM_LBUTTONDBLCLK: OnTap(PointFromParam(lParam), true); return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), HIWORD(static_cast<std::uintptr_t>(lParam)));
        return 0;
    case WM_CHAR: OnChar(static_cast<wchar_t>(wParam)); return 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

// ---- the messages ----------------------------------------------------------------

void ListView::OnSize() {
    UpdateScrollBar();
    Redraw();
}

void ListView::SetRedraw(bool redraw) {
    m_redraw = redraw;
    if (m_redraw) {
        UpdateScrollBar();
        Redraw();
    }
}

LRESULT ListView::InsertItem(const LVITEM* item) {
    if (!item || item->iSubItem != 0)
        return -1;
    return InsertRow(*item);
}

LRESULT ListView::DeleteItem(int index) {
    if (!Valid(index))
        return FALSE;
    NotifyItem(LVN_DELETEITEM, index, 0, 0, 0);
    if (index >= Count())
        return FALSE;
    m_rows.erase(m_rows.begin() + index);
    UpdateScrollBar();
    if (m_redraw)
        Redraw();
    return TRUE;
}

LRESULT ListView::DeleteAllItems() {
    const int count = Count();
    NMLISTVIEW nm{};
    nm.iItem = -1;
    // FALSE from the parent asks for one LVN_DELETEITEM per row.
    if (!Notify(nm.hdr, LVN_DELETEALLITEMS))
        for (int i = 0; i < count; ++i)
            NotifyItem(LVN_DELETEITEM, i, 0, 0, 0);
    m_rows.clear();
    m_scroller.Reset();
    UpdateScrollBar();
    if (m_redraw)
        Redraw();
    return TRUE;
}

LRESULT ListView::GetItem(LVITEM* item) const { return item && FillItem(item->iItem, *item) ? TRUE : FALSE; }

LRESULT ListView::SetItem(const LVITEM* item) { return item && ApplyItem(*item) ? TRUE : FALSE; }

LRESULT ListView::GetItemText(int index, LVITEM* item) const {
    if (!item || !Valid(index))
        return 0;
    const Row& row = m_rows[static_cast<size_t>(index)];
    size_t sub = static_cast<size_t>(std::max(0, item->iSubItem));
    std::wstring text = sub < row.texts.size() ? row.texts[sub] : std::wstring();
    CopyOut(text, item->pszText, item->cchTextMax);
    return static_cast<LRESULT>(
        std::min(text.size(), static_cast<size_t>(std::max(0, item->cchTextMax - 1))));
}

LRESULT ListView::SetItemText(int index, const LVITEM* item) {
    if (!item)
        return FALSE;
    LVITEM copy = *item;
    copy.iItem = index;
    copy.mask = LVIF_TEXT;
    return ApplyItem(copy) ? TRUE : FALSE;
}

LRESULT ListView::SetItemState(int index, const LVITEM* item) {
    if (!item)
        return FALSE;
    if (index == -1) {
        const int count = Count();
        for (int i = 0; i < count; ++i)
            SetState(i, item->state, item->stateMask);
        return TRUE;
    }
    return Valid(index) && SetState(index, item->state, item->stateMask) ? TRUE : FALSE;
}

LRESULT ListView::GetItemState(int index, UINT mask) const {
    return Valid(index) ? static_cast<LRESULT>(m_rows[static_cast<size_t>(index)].state & mask) : 0;
}

LRESULT ListView::GetSelectedCount() const {
    return std::count_if(m_rows.begin(), m_rows.end(),
                         [](const Row& r) { return (r.state & LVIS_SELECTED) != 0; });
}

int ListView::GetNextItem(int after, UINT flags) const {
    const UINT wanted = flags & (LVNI_SELECTED | LVNI_FOCUSED);
    for (int i = std::max(-1, after) + 1; i < Count(); ++i)
        if ((m_rows[static_cast<size_t>(i)].state & wanted) == wanted)
            return i;
    return -1;
}

LRESULT ListView::EnsureVisibleItem(int index) {
    if (!Valid(index))
        return FALSE;
    EnsureVisible(index);
    return TRUE;
}

LRESULT ListView::GetItemRect(int index, RECT* rect) const {
    if (!rect || !Valid(index))
        return FALSE;
    const int part = rect->left;
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

LRESULT ListView::HitTest(LVHITTESTINFO* info) const {
    if (!info)
        return -1;
    info->iItem = RowAt(info->pt, &info->flags);
    info->iSubItem = 0;
    return info->iItem;
}

LRESULT ListView::SetImageList(int which, HIMAGELIST list) {
    HIMAGELIST* slot = ImageListSlot(which);
    if (!slot)
        return 0;
    HIMAGELIST old = *slot;
    *slot = list;
    UpdateScrollBar();
    Redraw();
    return reinterpret_cast<LRESULT>(old);
}

LRESULT ListView::GetImageList(int which) {
    HIMAGELIST* slot = ImageListSlot(which);
    return slot ? reinterpret_cast<LRESULT>(*slot) : 0;
}

LRESULT ListView::SetExtendedStyle(DWORD mask, DWORD style) {
    const DWORD old = m_exStyle;
    if (!mask)
        mask = 0xFFFFFFFFu;
    m_exStyle = (m_exStyle & ~mask) | (style & mask);
    Redraw();
    return old;
}

void ListView::SetBackground(COLORREF color) {
    m_back = color;
    Redraw();
}

LRESULT ListView::InsertColumn(int index, const LVCOLUMN* column) {
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

LRESULT ListView::DeleteColumn(int index) {
    if (!ValidColumn(index))
        return FALSE;
    m_columns.erase(m_columns.begin() + index);
    for (Row& row : m_rows)
        if (static_cast<size_t>(index) < row.texts.size())
            row.texts.erase(row.texts.begin() + index);
    Redraw();
    return TRUE;
}

LRESULT ListView::GetColumnWidth(int index) const {
    return ValidColumn(index) ? m_columns[static_cast<size_t>(index)].width : 0;
}

LRESULT ListView::SetColumnWidth(int index, int width) {
    if (!ValidColumn(index))
        return FALSE;
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER)
        width = AutoWidth(index, width == LVSCW_AUTOSIZE_USEHEADER);
    m_columns[static_cast<size_t>(index)].width = width;
    Redraw();
    return TRUE;
}

LRESULT ListView::GetColumn(int index, LVCOLUMN* column) const {
    if (!column || !ValidColumn(index))
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

LRESULT ListView::SetColumn(int index, const LVCOLUMN* column) {
    if (!column || !ValidColumn(index))
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

void ListView::OnFocus(UINT code) {
    Redraw();
    NMHDR nm{};
    Notify(nm, code);
}

// ---- the pen and the keys ----------------------------------------------------------

void ListView::OnTap(POINT at, bool twice) {
    if (GetFocus() != m_hwnd)
        SetFocus(m_hwnd);
    const int row = RowAt(at);
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
    nm.ptAction = at;
    if (row >= 0) {
        nm.uNewState = m_rows[static_cast<size_t>(row)].state;
        nm.lParam = m_rows[static_cast<size_t>(row)].data;
    }
    Notify(nm.hdr, NM_CLICK);
    if (twice) {
        NMITEMACTIVATE again = nm;
        Notify(again.hdr, NM_DBLCLK);
    }
}

void ListView::OnKeyDown(UINT key, UINT flags) {
    NMLVKEYDOWN down{};
    down.wVKey = static_cast<WORD>(key);
    down.flags = flags;
    Notify(down.hdr, LVN_KEYDOWN);
    if (key == VK_RETURN) {
        NMHDR nm{};
        Notify(nm, NM_RETURN);
        return;
    }
    // The parent may have changed the list.
    if (Count() == 0)
        return;
    const std::optional<int> next =
        RowScroller::RowAfterKey(key, GetNextItem(-1, LVNI_FOCUSED), Count(), VisibleRows());
    if (next)
        KeyTo(*next);
}

void ListView::OnChar(wchar_t ch) {
    const int count = Count();
    if ((ch > L' ' || (ch == L' ' && Single() && m_typeAhead.Typing())) && count > 0) {
        // Typing jumps to the row whose label starts with what was typed.
        static const std::wstring kNone;
        const int found =
            m_typeAhead.Find(ch, GetNextItem(-1, LVNI_FOCUSED), count, [&](int i) -> const std::wstring& {
                const Row& r = m_rows[static_cast<size_t>(i)];
                return r.texts.empty() ? kNone : r.texts.front();
            });
        if (found >= 0)
            KeyTo(found);
        return;
    }
    if (ch == L' ' && !Single()) {
        const int focus = GetNextItem(-1, LVNI_FOCUSED);
        if (Valid(focus)) {
            bool selected = (m_rows[static_cast<size_t>(focus)].state & LVIS_SELECTED) != 0;
            SetState(focus, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
        }
    }
}

// ---- drawing ---------------------------------------------------------------------

struct ListView::RowLook {
    int scale;
    RECT area;
    int height;
    int iconLeft;
    int labelLeft;
    bool focused;
    bool fullRow;
    bool showSelection;
    COLORREF text;      // a row's text
    COLORREF mark;      // the band behind a selected row
    COLORREF markText;  // a selected row's text
};

void ListView::Paint(HDC hdc, const RECT& rc) {
    FillSolid(hdc, rc, Background());
    const RECT area = ListArea();
    const int saved = SaveDC(hdc);
    IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
    const bool focused = Focused();
    const RowLook look{Scale(),
                       area,
                       RowHeight(),
                       IconLeft(),
                       LabelLeft(),
                       focused,
                       (m_exStyle & LVS_EX_FULLROWSELECT) != 0,
                       focused || (Style() & LVS_SHOWSELALWAYS),
                       Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT),
                       focused ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNSHADOW),
                       GetSysColor(COLOR_HIGHLIGHTTEXT)};
    for (int i = m_scroller.Top(); i < Count(); ++i) {
        const RECT row = RowRect(i);
        if (row.top >= area.bottom)
            break;
        PaintRow(hdc, m_rows[static_cast<size_t>(i)], row, look);
    }
    RestoreDC(hdc, saved);
}

void ListView::PaintRow(HDC hdc, const Row& r, const RECT& row, const RowLook& look) const {
    const bool selected = look.showSelection && (r.state & LVIS_SELECTED);
    // Full-row selection marks the band first; pictures and text go on top.
    if (selected && look.fullRow)
        FillSolid(hdc, row, look.mark);
    int cx = 0, cy = 0;
    if (m_state && ImageList_GetIconSize(m_state, &cx, &cy)) {
        int picture = static_cast<int>((r.state & LVIS_STATEIMAGEMASK) >> 12);
        if (picture > 0)
            ImageList_Draw(m_state, picture - 1, hdc, row.left + look.scale, row.top + (look.height - cy) / 2,
                           ILD_TRANSPARENT);
    }
    if (m_small && ImageList_GetIconSize(m_small, &cx, &cy) && r.image >= 0)
        ImageList_Draw(m_small, r.image, hdc, look.iconLeft, row.top + (look.height - cy) / 2,
                       ILD_TRANSPARENT);
    PaintCells(hdc, r, row, selected, look);
    if (look.focused && (r.state & LVIS_FOCUSED) && !Single()) {
        RECT focus = row;
        if (!look.fullRow)
            focus.left = look.labelLeft;
        DrawFocusRect(hdc, &focus);
    }
}

void ListView::PaintCells(HDC hdc, const Row& r, const RECT& row, bool selected, const RowLook& look) const {
    // The label first, then the sub-items.
    const int s = look.scale;
    int x = row.left;
    const size_t columns = std::max<size_t>(1, m_columns.size());
    for (size_t c = 0; c < columns; ++c) {
        int width = c < m_columns.size() && m_columns[c].width > 0 ? m_columns[c].width : look.area.right - x;
        if (columns == 1)
            width = std::max<int>(width, look.area.right - x);
        RECT cell{c == 0 ? look.labelLeft : x, row.top, x + width, row.bottom};
        const std::wstring& label = c < r.texts.size() ? r.texts[c] : std::wstring();
        COLORREF color = look.text;
        if (selected && (look.fullRow || c == 0)) {
            if (!look.fullRow) {
                RECT band = cell;
                band.right = std::min<LONG>(band.right, look.labelLeft + TextWidth(label) + 4 * s);
                FillSolid(hdc, band, look.mark);
            }
            color = look.markText;
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
}

}  // namespace ob::ui
