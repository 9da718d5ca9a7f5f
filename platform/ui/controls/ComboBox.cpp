#include "platform/ui/controls/ComboBox.h"

#include <algorithm>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/ListBox.h"

namespace ob::ui {

ComboBox::ComboBox(HWND hwnd) : Control(hwnd) {}

ComboBox::~ComboBox() {
    if (list_ && IsWindow(list_)) DestroyWindow(list_);
}

int ComboBox::FieldHeight() const { return LineHeight() + 4 * Scale(); }
int ComboBox::ButtonWidth() const { return 13 * Scale(); }

LRESULT ComboBox::ToList(UINT msg, WPARAM wParam, LPARAM lParam) {
    return list_ ? SendMessage(list_, msg, wParam, lParam) : CB_ERR;
}

void ComboBox::Drop(bool open) {
    if (!list_ || open == dropped_) return;
    if (open) {
        NotifyCommand(CBN_DROPDOWN);
        RECT field{};
        GetWindowRect(hwnd_, &field);
        int count = static_cast<int>(ToList(LB_GETCOUNT, 0, 0));
        int itemHeight = static_cast<int>(ToList(LB_GETITEMHEIGHT, 0, 0));
        int border = 1;  // the list's WS_BORDER frame
        // As tall as the template asked for, but no taller than the items.
        int wanted = std::max(dropHeight_ - (field.bottom - field.top), itemHeight + 2 * border);
        int height = std::min(wanted, std::max(1, count) * itemHeight + 2 * border);
        RECT work{};
        SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
        int top = field.bottom;
        if (top + height > work.bottom && field.top - height >= work.top) top = field.top - height;
        else if (top + height > work.bottom) height = std::max(itemHeight + 2 * border, static_cast<int>(work.bottom - top));
        SendMessage(list_, LB_SETCURSEL, static_cast<WPARAM>(selection_), 0);
        SetWindowPos(list_, HWND_TOPMOST, field.left, top, field.right - field.left, height, SWP_NOACTIVATE);
        SendMessage(list_, WM_SIZE, 0, 0);
        if (selection_ >= 0) SendMessage(list_, LB_SETTOPINDEX, static_cast<WPARAM>(selection_), 0);
        ShowWindow(list_, SW_SHOWNA);
        dropped_ = true;
    } else {
        dropped_ = false;
        ShowWindow(list_, SW_HIDE);
        NotifyCommand(CBN_CLOSEUP);
    }
    Redraw();
}

void ComboBox::Choose(int index) {
    if (index < 0 || index == selection_) {
        if (dropped_) {
            NotifyCommand(index < 0 ? CBN_SELENDCANCEL : CBN_SELENDOK);
            Drop(false);
        }
        return;
    }
    selection_ = index;
    SendMessage(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Redraw();
    bool wasDropped = dropped_;
    if (wasDropped) NotifyCommand(CBN_SELENDOK);
    if (wasDropped) Drop(false);
    NotifyCommand(CBN_SELCHANGE);
}

LRESULT ComboBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    int count = list_ ? static_cast<int>(ToList(LB_GETCOUNT, 0, 0)) : 0;
    switch (msg) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        dropHeight_ = cs ? cs->cy : 0;
        // The scroll bar and border styles are the list's; the field draws its own frame.
        DWORD own = Style();
        if (own & (WS_VSCROLL | WS_HSCROLL | WS_BORDER)) {
            SetWindowLong(hwnd_, GWL_STYLE, static_cast<LONG>(own & ~(WS_VSCROLL | WS_HSCROLL | WS_BORDER)));
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        DWORD listStyle = WS_POPUP | WS_BORDER | WS_VSCROLL;
        if (Style() & CBS_SORT) listStyle |= LBS_SORT;
        list_ = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, WC_COMBOLBOX, L"", listStyle, 0, 0, 0, 0, hwnd_,
                               nullptr, nullptr, hwnd_);
        if (!list_) return -1;
        if (font_) SendMessage(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        // The window itself is only as tall as its field.
        RECT rc = Client();
        sizing_ = true;
        SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, FieldHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        sizing_ = false;
        return 0;
    }
    case WM_DESTROY:
        if (list_ && IsWindow(list_)) DestroyWindow(list_);
        list_ = nullptr;
        return Control::OnMessage(msg, wParam, lParam);
    case WM_SIZE: {
        if (sizing_) return 0;
        RECT rc = Client();
        int field = FieldHeight();
        if (rc.bottom - rc.top != field) {
            // A new size from the program means the dropped height, as on the device.
            dropHeight_ = rc.bottom - rc.top;
            sizing_ = true;
            SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, field, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            sizing_ = false;
        }
        return 0;
    }
    case WM_SETFONT:
        if (list_) SendMessage(list_, WM_SETFONT, wParam, FALSE);
        Control::OnMessage(msg, wParam, lParam);
        if (!sizing_) {
            RECT rc = Client();
            sizing_ = true;
            SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, FieldHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            sizing_ = false;
        }
        return 0;
    case CB_ADDSTRING: {
        LRESULT at = ToList(LB_ADDSTRING, wParam, lParam);
        if (at >= 0 && selection_ >= at) ++selection_;
        return at;
    }
    case CB_INSERTSTRING: {
        LRESULT at = ToList(LB_INSERTSTRING, wParam, lParam);
        if (at >= 0 && selection_ >= at) ++selection_;
        return at;
    }
    case CB_DELETESTRING: {
        auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
        LRESULT left = ToList(LB_DELETESTRING, wParam, lParam);
        if (left >= 0) {
            if (selection_ == index) selection_ = -1;
            else if (selection_ > index) --selection_;
            Redraw();
        }
        return left;
    }
    case CB_RESETCONTENT:
        ToList(LB_RESETCONTENT, 0, 0);
        selection_ = -1;
        Redraw();
        return CB_OKAY;
    case CB_GETCOUNT:
        return count;
    case CB_GETLBTEXT:
        return ToList(LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN:
        return ToList(LB_GETTEXTLEN, wParam, lParam);
    case CB_GETITEMDATA:
        return ToList(LB_GETITEMDATA, wParam, lParam);
    case CB_SETITEMDATA:
        return ToList(LB_SETITEMDATA, wParam, lParam);
    case CB_FINDSTRING:
        return ToList(LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT:
        return ToList(LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: {
        LRESULT at = ToList(LB_FINDSTRING, wParam, lParam);
        if (at >= 0) {
            selection_ = static_cast<int>(at);
            Redraw();
        }
        return at;
    }
    case CB_SETCURSEL: {
        auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
        selection_ = index >= 0 && index < count ? index : -1;
        ToList(LB_SETCURSEL, static_cast<WPARAM>(selection_), 0);
        Redraw();
        return selection_ >= 0 ? selection_ : CB_ERR;
    }
    case CB_GETCURSEL:
        return selection_ >= 0 ? selection_ : CB_ERR;
    case CB_SHOWDROPDOWN:
        Drop(wParam != 0);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return dropped_ ? TRUE : FALSE;
    case CB_GETITEMHEIGHT:
        return ToList(LB_GETITEMHEIGHT, 0, 0);
    case CB_GETDROPPEDCONTROLRECT: {
        if (!lParam) return CB_ERR;
        RECT rc{};
        GetWindowRect(hwnd_, &rc);
        rc.bottom = rc.top + std::max<LONG>(dropHeight_, rc.bottom - rc.top);
        *reinterpret_cast<RECT*>(lParam) = rc;
        return CB_OKAY;
    }
    case OBM_COMBOLIST_DONE:
        Choose(static_cast<int>(static_cast<std::intptr_t>(wParam)));
        return 0;
    case WM_GETDLGCODE:
        // While open, Enter and Escape close the list instead of the dialog.
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (dropped_ ? DLGC_WANTALLKEYS : 0);
    case WM_LBUTTONDOWN:
        SetFocus(hwnd_);
        if (Enabled()) Drop(!dropped_);
        return 0;
    case WM_SETFOCUS:
        Redraw();
        NotifyCommand(CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (dropped_) {
            NotifyCommand(CBN_SELENDCANCEL);
            Drop(false);
        }
        Redraw();
        NotifyCommand(CBN_KILLFOCUS);
        return 0;
    case WM_CHAR: {
        // Typing chooses the item that starts with what was typed.
        if ((wParam < L' ' || (wParam == L' ' && !typeAhead_.Typing())) || count == 0) return 0;
        int from = dropped_ ? static_cast<int>(ToList(LB_GETCURSEL, 0, 0)) : selection_;
        std::wstring text;
        int found = typeAhead_.Find(static_cast<wchar_t>(wParam), from, count, [&](int i) -> const std::wstring& {
            auto length = static_cast<int>(ToList(LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
            text.assign(static_cast<size_t>(std::max(0, length)) + 1, L'\0');
            ToList(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<size_t>(std::max(0, length)));
            return text;
        });
        if (found < 0) return 0;
        if (dropped_) ToList(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        else if (found != selection_) Choose(found);
        return 0;
    }
    case WM_KEYDOWN: {
        if (count == 0) return 0;
        int current = dropped_ ? static_cast<int>(ToList(LB_GETCURSEL, 0, 0)) : selection_;
        int next = current;
        switch (wParam) {
        case VK_UP: next = std::max(0, current - 1); break;
        case VK_DOWN: next = std::min(count - 1, current + 1); break;
        case VK_HOME: next = 0; break;
        case VK_END: next = count - 1; break;
        case VK_RETURN:
            if (dropped_) Choose(current);
            return 0;
        case VK_ESCAPE:
            if (dropped_) Choose(-1);
            return 0;
        default: return 0;
        }
        if (dropped_) {
            ToList(LB_SETCURSEL, static_cast<WPARAM>(next), 0);
        } else if (next != selection_) {
            Choose(next);
        }
        return 0;
    }
    default:
        return Control::OnMessage(msg, wParam, lParam);
    }
}

void ComboBox::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    COLORREF ink = Enabled() ? GetSysColor(COLOR_WINDOWFRAME) : GetSysColor(COLOR_GRAYTEXT);
    bool focused = Focused();
    FillSolid(hdc, rc, GetSysColor(COLOR_WINDOW));
    FrameSolid(hdc, rc, ink, s);
    RECT button{rc.right - ButtonWidth(), rc.top, rc.right, rc.bottom};
    FillSolid(hdc, button, dropped_ ? ink : GetSysColor(COLOR_BTNFACE));
    FrameSolid(hdc, button, ink, s);
    DrawArrow(hdc, button, Arrow::Down, 7 * s, dropped_ ? GetSysColor(COLOR_BTNFACE) : ink);
    RECT text{rc.left + s, rc.top + s, button.left, rc.bottom - s};
    COLORREF color = Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    if (focused && !dropped_) {
        // The focused field shows its choice highlighted.
        FillSolid(hdc, text, GetSysColor(COLOR_HIGHLIGHT));
        color = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    if (selection_ >= 0 && list_) {
        auto length = static_cast<int>(ToList(LB_GETTEXTLEN, static_cast<WPARAM>(selection_), 0));
        std::wstring label(static_cast<size_t>(std::max(0, length)) + 1, L'\0');
        ToList(LB_GETTEXT, static_cast<WPARAM>(selection_), reinterpret_cast<LPARAM>(label.data()));
        label.resize(static_cast<size_t>(std::max(0, length)));
        RECT inner = text;
        inner.left += 2 * s;
        DrawLabel(hdc, Font(), label, inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, color);
    }
}

}  // namespace ob::ui
