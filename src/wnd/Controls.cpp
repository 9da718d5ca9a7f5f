#include "wnd/Controls.h"

#include <algorithm>
#include <vector>

#include "wnd/Paint.h"

namespace ZEP_Wnd {
namespace {

LPARAM Text(const std::wstring& text) { return reinterpret_cast<LPARAM>(text.c_str()); }

}  // namespace

// ----------------------------------------------------------------- ListBox

void ListBox::ResetContent() const { SendMessage(LB_RESETCONTENT); }
int ListBox::GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
int ListBox::AddString(const std::wstring& text) const {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, Text(text)));
}
int ListBox::InsertString(int index, const std::wstring& text) const {
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), Text(text)));
}
int ListBox::DeleteString(int index) const {
    return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index)));
}
bool ListBox::GetSel(int index) const { return SendMessage(LB_GETSEL, static_cast<WPARAM>(index)) > 0; }
int ListBox::SetSel(int index, bool selected) const {
    return static_cast<int>(SendMessage(LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index)));
}
int ListBox::GetTextLength(int index) const {
    return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index)));
}
std::wstring ListBox::GetText(int index) const {
    const int length = GetTextLength(index);
    if (length <= 0)
        return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const auto got =
        SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    if (got <= 0)
        return {};
    return std::wstring(buffer.data(), static_cast<size_t>(std::min<LRESULT>(got, length)));
}
int ListBox::GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
int ListBox::SetCurSel(int index) const {
    return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
}
LPARAM ListBox::GetItemData(int index) const {
    return SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index));
}
int ListBox::SetItemData(int index, LPARAM data) const {
    return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), data));
}

// ---------------------------------------------------------------- ComboBox

int ComboBox::AddString(const std::wstring& text) const {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, Text(text)));
}
int ComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
int ComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
int ComboBox::SetCurSel(int index) const {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}
LPARAM ComboBox::GetItemData(int index) const {
    return SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index));
}
int ComboBox::SetItemData(int index, LPARAM data) const {
    return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), data));
}

// ---------------------------------------------------------------- ListCtrl

DWORD ListCtrl::SetExtendedStyle(DWORD style) const {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}

int ListCtrl::InsertColumn(int index, const std::wstring& text, int width, int subItem) const {
    LVCOLUMN column{};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.pszText = const_cast<LPWSTR>(text.c_str());
    if (width >= 0) {
        column.mask |= LVCF_WIDTH;
        column.cx = width;
    }
    if (subItem >= 0) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = subItem;
    }
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMN, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

bool ListCtrl::SetColumnWidth(int column, int width) const {
    return SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                       MAKELPARAM(static_cast<WORD>(width), 0)) != 0;
}

int ListCtrl::InsertItem(int index, const std::wstring& text, int image, LPARAM data) const {
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text.c_str());
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessage(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListCtrl::DeleteItem(int index) const {
    return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index)) != 0;
}
bool ListCtrl::DeleteAllItems() const { return SendMessage(LVM_DELETEALLITEMS) != 0; }
int ListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
int ListCtrl::GetSelectedCount() const { return static_cast<int>(SendMessage(LVM_GETSELECTEDCOUNT)); }
int ListCtrl::GetNextItem(int start, UINT flags) const {
    return static_cast<int>(
        SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(static_cast<WORD>(flags), 0)));
}

std::wstring ListCtrl::GetItemText(int index, int subItem) const {
    std::vector<wchar_t> buffer(512, L'\0');
    LVITEM item{};
    item.iSubItem = subItem;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length =
        SendMessage(LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (length <= 0)
        return {};
    return std::wstring(item.pszText);
}

bool ListCtrl::SetItem(int index, UINT state, UINT stateMask, int image) const {
    LVITEM item{};
    item.mask = LVIF_STATE | LVIF_IMAGE;
    item.iItem = index;
    item.state = state;
    item.stateMask = stateMask;
    item.iImage = image;
    return SendMessage(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool ListCtrl::SetItemState(int index, UINT state, UINT stateMask) const {
    LVITEM item{};
    item.mask = LVIF_STATE;
    item.state = state;
    item.stateMask = stateMask;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

LPARAM ListCtrl::GetItemData(int index) const {
    LVITEM item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessage(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

int ListCtrl::GetItemImage(int index) const {
    LVITEM item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    if (!SendMessage(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.iImage;
}

bool ListCtrl::EnsureVisible(int index) const {
    return SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE) != 0;
}

HIMAGELIST ListCtrl::SetImageList(HIMAGELIST list, int kind) const {
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list)));
}

// ----------------------------------------------------------- CheckListCtrl

int CheckListCtrl::GetCheck(int index) const {
    const int image = GetItemImage(index);
    return (image < 0 || image > 2) ? 0 : image;
}

bool CheckListCtrl::SetCheck(int index, bool checked) const {
    LVITEM item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = checked ? 1 : 0;
    return SendMessage(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

void CheckListCtrl::ToggleCheck(int index) const {
    if (index < 0 || index >= GetItemCount())
        return;
    SetCheck(index, GetItemImage(index) != 1);
}

bool CheckListCtrl::Prepare() {
    // The boxes grow with the screen's density, in whole pixels.
    const int scale = std::max(1, ::GetDeviceCaps(WindowDC(nullptr), LOGPIXELSX) / 96);
    if (!m_states.GetHandle() && !m_states.Load(kStateBitmapId, 16, 10, RGB(255, 0, 255), scale))
        return false;
    SetImageList(m_states.GetHandle(), LVSIL_SMALL);
    InsertColumn(0, L"");
    SetExtendedStyle(LVS_EX_FULLROWSELECT);
    return true;
}

bool CheckListCtrl::OnAttach() { return Prepare(); }

bool CheckListCtrl::OnCreate(CREATESTRUCT*) { return Prepare(); }

// A new size and a press act after the platform's list view had them (the
// column follows the new width; the box pressed toggles once the list has
// selected its row). The typed handlers run instead of the default, not
// before it, so these two are taken here.
bool CheckListCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SIZE:
        result = DefaultProc(message, wParam, lParam);
        SetColumnWidth(0, SizeFromParam(lParam).cx);
        return true;
    case WM_LBUTTONDOWN: {
        LVHITTESTINFO hit{};
        hit.pt = PointFromParam(lParam);
        SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        result = DefaultProc(message, wParam, lParam);
        if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMICON))
            ToggleCheck(hit.iItem);
        return true;
    }
    default: return Window::OnMessage(message, wParam, lParam, result);
    }
}

bool CheckListCtrl::OnKeyDown(UINT key, UINT flags) {
    if (key != VK_RETURN)
        return ListCtrl::OnKeyDown(key, flags);
    ToggleCheck(GetNextItem(-1, LVNI_SELECTED));
    return true;
}

// ---------------------------------------------------------- DateTimePicker

bool DateTimePicker::SetTime(const ZEP_Utility::DateTime& time) const {
    if (time.IsEmpty())
        return SendMessage(DTM_SETSYSTEMTIME, GDT_NONE, 0) != 0;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(time.GetYear());
    st.wMonth = static_cast<WORD>(time.GetMonth());
    st.wDayOfWeek = static_cast<WORD>(time.GetDayOfWeek());
    st.wDay = static_cast<WORD>(time.GetDay());
    st.wHour = static_cast<WORD>(time.GetHour());
    st.wMinute = static_cast<WORD>(time.GetMinute());
    st.wSecond = static_cast<WORD>(time.GetSecond());
    return SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)) != 0;
}

ZEP_Utility::DateTime DateTimePicker::GetTime() const {
    SYSTEMTIME st{};
    if (SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != static_cast<LRESULT>(GDT_VALID))
        return ZEP_Utility::DateTime();
    return ZEP_Utility::DateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

void DateTimePicker::SetFormat(const std::wstring& picture) const {
    SendMessage(DTM_SETFORMAT, 0, reinterpret_cast<LPARAM>(picture.c_str()));
}

// ---------------------------------------------------------------- TrackBar

void TrackBar::SetRange(int minimum, int maximum, bool redraw) const {
    SendMessage(TBM_SETRANGE, redraw ? TRUE : FALSE,
                MAKELPARAM(static_cast<WORD>(minimum), static_cast<WORD>(maximum)));
}
void TrackBar::SetPos(int position, bool redraw) const {
    SendMessage(TBM_SETPOS, redraw ? TRUE : FALSE, static_cast<LPARAM>(position));
}
void TrackBar::SetTicFreq(int frequency) const {
    SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(frequency));
}
int TrackBar::GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }

}  // namespace ZEP_Wnd
