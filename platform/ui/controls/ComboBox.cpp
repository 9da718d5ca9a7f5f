#include "platform/ui/controls/ComboBox.h"

#include <algorithm>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/ListBox.h"
#include "platform/ui/controls/MessageParams.h"
#include "platform/ui/controls/RowScroller.h"

namespace ob::ui {

ComboBox::ComboBox(HWND hwnd) : Control(hwnd) {}

ComboBox::~ComboBox() {
    if (m_list && IsWindow(m_list))
        DestroyWindow(m_list);
}

int ComboBox::FieldHeight() const { return LineHeight() + 4 * Scale(); }
int ComboBox::ButtonWidth() const { return 13 * Scale(); }

LRESULT ComboBox::ToList(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return m_list ? SendMessage(m_list, msg, wParam, lParam) : CB_ERR;
}

int ComboBox::Count() const { return m_list ? static_cast<int>(ToList(LB_GETCOUNT, 0, 0)) : 0; }

int ComboBox::ListSelection() const { return static_cast<int>(ToList(LB_GETCURSEL, 0, 0)); }

std::wstring ComboBox::ItemText(int index) const {
    auto length = static_cast<int>(ToList(LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
    std::wstring text(static_cast<size_t>(std::max(0, length)) + 1, L'\0');
    ToList(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max(0, length)));
    return text;
}

void ComboBox::FitField() {
    RECT rc = Client();
    m_sizing = true;
    SetWindowPos(m_hwnd, nullptr, 0, 0, rc.right - rc.left, FieldHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_sizing = false;
}

void ComboBox::Drop(bool open) {
    if (!m_list || open == m_dropped)
        return;
    if (open) {
        NotifyCommand(CBN_DROPDOWN);
        RECT field{};
        GetWindowRect(m_hwnd, &field);
        int count = static_cast<int>(ToList(LB_GETCOUNT, 0, 0));
        int itemHeight = static_cast<int>(ToList(LB_GETITEMHEIGHT, 0, 0));
        int border = 1;  // the list's WS_BORDER frame
        // As tall as the template asked for, but no taller than the items.
        int wanted = std::max(m_dropHeight - (field.bottom - field.top), itemHeight + 2 * border);
        int height = std::min(wanted, std::max(1, count) * itemHeight + 2 * border);
        RECT work{};
        SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
        int top = field.bottom;
        if (top + height > work.bottom && field.top - height >= work.top)
            top = field.top - height;
        else if (top + height > work.bottom)
            height = std::max(itemHeight + 2 * border, static_cast<int>(work.bottom - top));
        SendMessage(m_list, LB_SETCURSEL, static_cast<WPARAM>(m_selection), 0);
        SetWindowPos(m_list, HWND_TOPMOST, field.left, top, field.right - field.left, height, SWP_NOACTIVATE);
        SendMessage(m_list, WM_SIZE, 0, 0);
        if (m_selection >= 0)
            SendMessage(m_list, LB_SETTOPINDEX, static_cast<WPARAM>(m_selection), 0);
        ShowWindow(m_list, SW_SHOWNA);
        m_dropped = true;
    } else {
        m_dropped = false;
        ShowWindow(m_list, SW_HIDE);
        NotifyCommand(CBN_CLOSEUP);
    }
    Redraw();
}

void ComboBox::Choose(int index) {
    if (index < 0 || index == m_selection) {
        if (m_dropped) {
            NotifyCommand(index < 0 ? CBN_SELENDCANCEL : CBN_SELENDOK);
            Drop(false);
        }
        return;
    }
    m_selection = index;
    SendMessage(m_list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Redraw();
    bool wasDropped = m_dropped;
    if (wasDropped)
        NotifyCommand(CBN_SELENDOK);
    if (wasDropped)
        Drop(false);
    NotifyCommand(CBN_SELCHANGE);
}

LRESULT ComboBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const int index = IndexFromParam(wParam);
    switch (msg) {
    case WM_CREATE: return OnCreate(PointerFromParam<const CREATESTRUCT>(lParam));
    case WM_DESTROY: OnDestroy(); return Control::OnMessage(msg, wParam, lParam);
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFONT:
        OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)) != 0);
        return 0;
    case CB_ADDSTRING: return Inserted(ToList(LB_ADDSTRING, wParam, lParam));
    case CB_INSERTSTRING: return Inserted(ToList(LB_INSERTSTRING, wParam, lParam));
    case CB_DELETESTRING: return DeleteString(index);
    case CB_RESETCONTENT: ResetContent(); return CB_OKAY;
    case CB_GETCOUNT: return Count();
    case CB_GETLBTEXT: return ToList(LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return ToList(LB_GETTEXTLEN, wParam, lParam);
    case CB_GETITEMDATA: return ToList(LB_GETITEMDATA, wParam, lParam);
    case CB_SETITEMDATA: return ToList(LB_SETITEMDATA, wParam, lParam);
    case CB_FINDSTRING: return ToList(LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return ToList(LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: return SelectString(index, lParam);
    case CB_SETCURSEL: return SetCurSel(index);
    case CB_GETCURSEL: return m_selection >= 0 ? m_selection : CB_ERR;
    case CB_SHOWDROPDOWN: Drop(wParam != 0); return TRUE;
    case CB_GETDROPPEDSTATE: return m_dropped ? TRUE : FALSE;
    case CB_GETITEMHEIGHT: return ToList(LB_GETITEMHEIGHT, 0, 0);
    case CB_GETDROPPEDCONTROLRECT: return GetDroppedRect(PointerFromParam<RECT>(lParam));
    case OBM_COMBOLIST_DONE: Choose(index); return 0;
    case WM_GETDLGCODE: return DialogCodes();
    case WM_LBUTTONDOWN: OnPenDown(); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_CHAR: OnChar(static_cast<wchar_t>(wParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam)); return 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

// ---- the messages ----------------------------------------------------------------

LRESULT ComboBox::OnCreate(const CREATESTRUCT* cs) {
    m_dropHeight = cs ? cs->cy : 0;
    // The scroll bar and border styles are the list's; the field draws its own frame.
    DWORD own = Style();
    if (own & (WS_VSCROLL | WS_HSCROLL | WS_BORDER)) {
        SetWindowLong(m_hwnd, GWL_STYLE, static_cast<LONG>(own & ~(WS_VSCROLL | WS_HSCROLL | WS_BORDER)));
        SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    DWORD listStyle = WS_POPUP | WS_BORDER | WS_VSCROLL;
    if (Style() & CBS_SORT)
        listStyle |= LBS_SORT;
    m_list = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, WC_COMBOLBOX, L"", listStyle, 0, 0, 0, 0,
                            m_hwnd, nullptr, nullptr, m_hwnd);
    if (!m_list)
        return -1;
    if (m_font)
        SendMessage(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    // The window itself is only as tall as its field.
    FitField();
    return 0;
}

void ComboBox::OnDestroy() {
    if (m_list && IsWindow(m_list))
        DestroyWindow(m_list);
    m_list = nullptr;
}

void ComboBox::OnSize() {
    if (m_sizing)
        return;
    RECT rc = Client();
    if (rc.bottom - rc.top != FieldHeight()) {
        // A new size from the program means the dropped height, as on the device.
        m_dropHeight = rc.bottom - rc.top;
        FitField();
    }
}

void ComboBox::OnSetFont(HFONT font, bool redraw) {
    if (m_list)
        SendMessage(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetFont(font, redraw);
    if (!m_sizing)
        FitField();
}

LRESULT ComboBox::Inserted(LRESULT at) {
    if (at >= 0 && m_selection >= at)
        ++m_selection;
    return at;
}

LRESULT ComboBox::DeleteString(int index) {
    LRESULT left = ToList(LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    if (left >= 0) {
        if (m_selection == index)
            m_selection = -1;
        else if (m_selection > index)
            --m_selection;
        Redraw();
    }
    return left;
}

void ComboBox::ResetContent() {
    ToList(LB_RESETCONTENT, 0, 0);
    m_selection = -1;
    Redraw();
}

LRESULT ComboBox::SelectString(int after, LPARAM text) {
    LRESULT at = ToList(LB_FINDSTRING, static_cast<WPARAM>(after), text);
    if (at >= 0) {
        m_selection = static_cast<int>(at);
        Redraw();
    }
    return at;
}

LRESULT ComboBox::SetCurSel(int index) {
    m_selection = index >= 0 && index < Count() ? index : -1;
    ToList(LB_SETCURSEL, static_cast<WPARAM>(m_selection), 0);
    Redraw();
    return m_selection >= 0 ? m_selection : CB_ERR;
}

LRESULT ComboBox::GetDroppedRect(RECT* out) const {
    if (!out)
        return CB_ERR;
    RECT rc{};
    GetWindowRect(m_hwnd, &rc);
    rc.bottom = rc.top + std::max<LONG>(m_dropHeight, rc.bottom - rc.top);
    *out = rc;
    return CB_OKAY;
}

UINT ComboBox::DialogCodes() const {
    // While open, Enter and Escape close the list instead of the dialog.
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (m_dropped ? DLGC_WANTALLKEYS : 0);
}

void ComboBox::OnPenDown() {
    SetFocus(m_hwnd);
    if (Enabled())
        Drop(!m_dropped);
}

void ComboBox::OnSetFocus() {
    Redraw();
    NotifyCommand(CBN_SETFOCUS);
}

void ComboBox::OnKillFocus() {
    if (m_dropped) {
        NotifyCommand(CBN_SELENDCANCEL);
        Drop(false);
    }
    Redraw();
    NotifyCommand(CBN_KILLFOCUS);
}

void ComboBox::OnChar(wchar_t ch) {
    // Typing chooses the item that starts with what was typed.
    const int count = Count();
    if ((ch < L' ' || (ch == L' ' && !m_typeAhead.Typing())) || count == 0)
        return;
    const int from = m_dropped ? ListSelection() : m_selection;
    std::wstring text;
    const int found = m_typeAhead.Find(ch, from, count, [&](int i) -> const std::wstring& {
        text = ItemText(i);
        return text;
    });
    if (found < 0)
        return;
    if (m_dropped)
        ToList(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    else if (found != m_selection)
        Choose(found);
}

void ComboBox::OnKeyDown(UINT key) {
    const int count = Count();
    if (count == 0)
        return;
    const int current = m_dropped ? ListSelection() : m_selection;
    if (key == VK_RETURN || key == VK_ESCAPE) {
        if (m_dropped)
            Choose(key == VK_RETURN ? current : -1);
        return;
    }
    // The arrows step one item, Home and End go to the ends; there are no
    // pages to turn.
    const std::optional<int> next =
        key == VK_PRIOR || key == VK_NEXT ? std::nullopt : RowScroller::RowAfterKey(key, current, count, 1);
    if (!next)
        return;
    if (m_dropped)
        ToList(LB_SETCURSEL, static_cast<WPARAM>(*next), 0);
    else if (*next != m_selection)
        Choose(*next);
}

void ComboBox::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    COLORREF ink = Enabled() ? GetSysColor(COLOR_WINDOWFRAME) : GetSysColor(COLOR_GRAYTEXT);
    bool focused = Focused();
    FillSolid(hdc, rc, GetSysColor(COLOR_WINDOW));
    FrameSolid(hdc, rc, ink, s);
    RECT button{rc.right - ButtonWidth(), rc.top, rc.right, rc.bottom};
    FillSolid(hdc, button, m_dropped ? ink : GetSysColor(COLOR_BTNFACE));
    FrameSolid(hdc, button, ink, s);
    DrawArrow(hdc, button, Arrow::Down, 7 * s, m_dropped ? GetSysColor(COLOR_BTNFACE) : ink);
    RECT text{rc.left + s, rc.top + s, button.left, rc.bottom - s};
    COLORREF color = Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    if (focused && !m_dropped) {
        // The focused field shows its choice highlighted.
        FillSolid(hdc, text, GetSysColor(COLOR_HIGHLIGHT));
        color = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    if (m_selection >= 0 && m_list) {
        const std::wstring label = ItemText(m_selection);
        RECT inner = text;
        inner.left += 2 * s;
        DrawLabel(hdc, Font(), label, inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, color);
    }
}

}  // namespace ob::ui
