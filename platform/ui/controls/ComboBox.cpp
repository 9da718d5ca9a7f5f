#include "platform/ui/controls/ComboBox.h"

#include <algorithm>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/ListBox.h"

namespace ob::ui {

ComboBox::ComboBox(HWND hwnd) : Control(hwnd) {}

ComboBox::~ComboBox() {
    if (m_list && IsWindow(m_list))
        DestroyWindow(m_list);
}

int ComboBox::FieldHeight() const { return LineHeight() + 4 * Scale(); }
int ComboBox::ButtonWidth() const { return 13 * Scale(); }

LRESULT ComboBox::ToList(UINT msg, WPARAM wParam, LPARAM lParam) {
    return m_list ? SendMessage(m_list, msg, wParam, lParam) : CB_ERR;
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
    int count = m_list ? static_cast<int>(ToList(LB_GETCOUNT, 0, 0)) : 0;
    switch (msg) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
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
        RECT rc = Client();
        m_sizing = true;
        SetWindowPos(m_hwnd, nullptr, 0, 0, rc.right - rc.left, FieldHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_sizing = false;
        return 0;
    }
    case WM_DESTROY:
        if (m_list && IsWindow(m_list))
            DestroyWindow(m_list);
        m_list = nullptr;
        return Control::OnMessage(msg, wParam, lParam);
    case WM_SIZE: {
        if (m_sizing)
            return 0;
        RECT rc = Client();
        int field = FieldHeight();
        if (rc.bottom - rc.top != field) {
            // A new size from the program means the dropped height, as on the device.
            m_dropHeight = rc.bottom - rc.top;
            m_sizing = true;
            SetWindowPos(m_hwnd, nullptr, 0, 0, rc.right - rc.left, field,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            m_sizing = false;
        }
        return 0;
    }
    case WM_SETFONT:
        if (m_list)
            SendMessage(m_list, WM_SETFONT, wParam, FALSE);
        Control::OnMessage(msg, wParam, lParam);
        if (!m_sizing) {
            RECT rc = Client();
            m_sizing = true;
            SetWindowPos(m_hwnd, nullptr, 0, 0, rc.right - rc.left, FieldHeight(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            m_sizing = false;
        }
        return 0;
    case CB_ADDSTRING: {
        LRESULT at = ToList(LB_ADDSTRING, wParam, lParam);
        if (at >= 0 && m_selection >= at)
            ++m_selection;
        return at;
    }
    case CB_INSERTSTRING: {
        LRESULT at = ToList(LB_INSERTSTRING, wParam, lParam);
        if (at >= 0 && m_selection >= at)
            ++m_selection;
        return at;
    }
    case CB_DELETESTRING: {
        auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
        LRESULT left = ToList(LB_DELETESTRING, wParam, lParam);
        if (left >= 0) {
            if (m_selection == index)
                m_selection = -1;
            else if (m_selection > index)
                --m_selection;
            Redraw();
        }
        return left;
    }
    case CB_RESETCONTENT:
        ToList(LB_RESETCONTENT, 0, 0);
        m_selection = -1;
        Redraw();
        return CB_OKAY;
    case CB_GETCOUNT: return count;
    case CB_GETLBTEXT: return ToList(LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return ToList(LB_GETTEXTLEN, wParam, lParam);
    case CB_GETITEMDATA: return ToList(LB_GETITEMDATA, wParam, lParam);
    case CB_SETITEMDATA: return ToList(LB_SETITEMDATA, wParam, lParam);
    case CB_FINDSTRING: return ToList(LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return ToList(LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: {
        LRESULT at = ToList(LB_FINDSTRING, wParam, lParam);
        if (at >= 0) {
            m_selection = static_cast<int>(at);
            Redraw();
        }
        return at;
    }
    case CB_SETCURSEL: {
        auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
        m_selection = index >= 0 && index < count ? index : -1;
        ToList(LB_SETCURSEL, static_cast<WPARAM>(m_selection), 0);
        Redraw();
        return m_selection >= 0 ? m_selection : CB_ERR;
    }
    case CB_GETCURSEL: return m_selection >= 0 ? m_selection : CB_ERR;
    case CB_SHOWDROPDOWN: Drop(wParam != 0); return TRUE;
    case CB_GETDROPPEDSTATE: return m_dropped ? TRUE : FALSE;
    case CB_GETITEMHEIGHT: return ToList(LB_GETITEMHEIGHT, 0, 0);
    case CB_GETDROPPEDCONTROLRECT: {
        if (!lParam)
            return CB_ERR;
        RECT rc{};
        GetWindowRect(m_hwnd, &rc);
        rc.bottom = rc.top + std::max<LONG>(m_dropHeight, rc.bottom - rc.top);
        *reinterpret_cast<RECT*>(lParam) = rc;
        return CB_OKAY;
    }
    case OBM_COMBOLIST_DONE: Choose(static_cast<int>(static_cast<std::intptr_t>(wParam))); return 0;
    case WM_GETDLGCODE:
        // While open, Enter and Escape close the list instead of the dialog.
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (m_dropped ? DLGC_WANTALLKEYS : 0);
    case WM_LBUTTONDOWN:
        SetFocus(m_hwnd);
        if (Enabled())
            Drop(!m_dropped);
        return 0;
    case WM_SETFOCUS:
        Redraw();
        NotifyCommand(CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (m_dropped) {
            NotifyCommand(CBN_SELENDCANCEL);
            Drop(false);
        }
        Redraw();
        NotifyCommand(CBN_KILLFOCUS);
        return 0;
    case WM_CHAR: {
        // Typing chooses the item that starts with what was typed.
        if ((wParam < L' ' || (wParam == L' ' && !m_typeAhead.Typing())) || count == 0)
            return 0;
        int from = m_dropped ? static_cast<int>(ToList(LB_GETCURSEL, 0, 0)) : m_selection;
        std::wstring text;
        int found =
            m_typeAhead.Find(static_cast<wchar_t>(wParam), from, count, [&](int i) -> const std::wstring& {
                auto length = static_cast<int>(ToList(LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
                text.assign(static_cast<size_t>(std::max(0, length)) + 1, L'\0');
                ToList(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
                text.resize(static_cast<size_t>(std::max(0, length)));
                return text;
            });
        if (found < 0)
            return 0;
        if (m_dropped)
            ToList(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        else if (found != m_selection)
            Choose(found);
        return 0;
    }
    case WM_KEYDOWN: {
        if (count == 0)
            return 0;
        int current = m_dropped ? static_cast<int>(ToList(LB_GETCURSEL, 0, 0)) : m_selection;
        int next = current;
        switch (wParam) {
        case VK_UP: next = std::max(0, current - 1); break;
        case VK_DOWN: next = std::min(count - 1, current + 1); break;
        case VK_HOME: next = 0; break;
        case VK_END: next = count - 1; break;
        case VK_RETURN:
            if (m_dropped)
                Choose(current);
            return 0;
        case VK_ESCAPE:
            if (m_dropped)
                Choose(-1);
            return 0;
        default: return 0;
        }
        if (m_dropped) {
            ToList(LB_SETCURSEL, static_cast<WPARAM>(next), 0);
        } else if (next != m_selection) {
            Choose(next);
        }
        return 0;
    }
    default: return Control::OnMessage(msg, wParam, lParam);
    }
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
        auto length = static_cast<int>(ToList(LB_GETTEXTLEN, static_cast<WPARAM>(m_selection), 0));
        std::wstring label(static_cast<size_t>(std::max(0, length)) + 1, L'\0');
        ToList(LB_GETTEXT, static_cast<WPARAM>(m_selection), reinterpret_cast<LPARAM>(label.data()));
        label.resize(static_cast<size_t>(std::max(0, length)));
        RECT inner = text;
        inner.left += 2 * s;
        DrawLabel(hdc, Font(), label, inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, color);
    }
}

}  // namespace ob::ui
