#include "platform/ui/controls/Edit.h"

#include <algorithm>

#include "platform/ui/Gdi.h"

namespace ob::ui {

Edit::Edit(HWND hwnd) : Control(hwnd) {}

RECT Edit::TextArea() const {
    RECT rc = Client();
    int s = Scale();
    InflateRect(&rc, -2 * s, 0);
    return rc;
}

int Edit::TextWidth(size_t count) const {
    if (count == 0) return 0;
    HDC hdc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(hdc, Font());
    SIZE size{0, 0};
    GetTextExtentPoint32(hdc, text_.c_str(), static_cast<int>(std::min(count, text_.size())), &size);
    SelectObject(hdc, old);
    ReleaseDC(hwnd_, hdc);
    return size.cx;
}

size_t Edit::CharAt(int x) const {
    int target = x - TextArea().left + scroll_;
    size_t best = 0;
    int bestDistance = std::abs(target);
    for (size_t i = 1; i <= text_.size(); ++i) {
        int distance = std::abs(TextWidth(i) - target);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void Edit::SetSelection(size_t anchor, size_t caret) {
    anchor_ = std::min(anchor, text_.size());
    caret_ = std::min(caret, text_.size());
    ScrollToCaret();
    Redraw();
}

void Edit::ScrollToCaret() {
    RECT area = TextArea();
    int width = std::max<int>(1, area.right - area.left);
    int x = TextWidth(caret_);
    if (x - scroll_ > width - 1) scroll_ = x - width + 1;
    if (x < scroll_) scroll_ = x;
    // Never leave blank space on the right while text is hidden on the left.
    int total = TextWidth(text_.size());
    scroll_ = std::max(0, std::min(scroll_, std::max(0, total - width + 1)));
}

void Edit::SyncWindowText() { Default(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str())); }

void Edit::Changed() {
    modified_ = true;
    SyncWindowText();
    ScrollToCaret();
    Redraw();
    NotifyCommand(EN_UPDATE);
    NotifyCommand(EN_CHANGE);
}

void Edit::Replace(const std::wstring& with) {
    size_t from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
    std::wstring insert = with;
    size_t room = limit_ - std::min(limit_, text_.size() - (to - from));
    if (insert.size() > room) {
        insert.resize(room);
        NotifyCommand(EN_MAXTEXT);
    }
    if (insert.empty() && from == to) return;
    text_.replace(from, to - from, insert);
    anchor_ = caret_ = from + insert.size();
    Changed();
}

LRESULT Edit::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        text_ = WindowText(hwnd_);
        return Control::OnMessage(msg, wParam, lParam);
    case WM_SETTEXT: {
        LRESULT result = Default(msg, wParam, lParam);
        text_ = WindowText(hwnd_);
        if (text_.size() > limit_) text_.resize(limit_);
        anchor_ = caret_ = 0;
        scroll_ = 0;
        modified_ = false;
        Redraw();
        // A single-line edit reports changes made by the program too.
        NotifyCommand(EN_UPDATE);
        NotifyCommand(EN_CHANGE);
        return result;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case EM_GETSEL: {
        DWORD from = static_cast<DWORD>(std::min(anchor_, caret_));
        DWORD to = static_cast<DWORD>(std::max(anchor_, caret_));
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = from;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = to;
        return static_cast<LRESULT>(MAKELPARAM(static_cast<WORD>(std::min<DWORD>(from, 0xFFFF)),
                                               static_cast<WORD>(std::min<DWORD>(to, 0xFFFF))));
    }
    case EM_SETSEL: {
        // (0, -1) selects everything; a negative start removes the selection.
        auto start = static_cast<long long>(static_cast<int>(wParam));
        auto end = static_cast<long long>(static_cast<int>(lParam));
        if (start < 0) {
            SetSelection(caret_, caret_);
            return 0;
        }
        if (end < 0 || static_cast<size_t>(end) > text_.size()) end = static_cast<long long>(text_.size());
        SetSelection(static_cast<size_t>(start), static_cast<size_t>(end));
        return 0;
    }
    case EM_REPLACESEL:
        Replace(lParam ? std::wstring(reinterpret_cast<LPCWSTR>(lParam)) : std::wstring());
        return 0;
    case EM_LIMITTEXT:
        limit_ = wParam == 0 ? 0x7FFFFFFE : static_cast<size_t>(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(limit_);
    case EM_GETMODIFY:
        return modified_ ? TRUE : FALSE;
    case EM_SETMODIFY:
        modified_ = wParam != 0;
        return 0;
    case EM_GETLINECOUNT:
        return 1;
    case EM_SETREADONLY: {
        DWORD style = Style();
        style = wParam ? (style | ES_READONLY) : (style & ~ES_READONLY);
        SetWindowLong(hwnd_, GWL_STYLE, static_cast<LONG>(style));
        Redraw();
        return TRUE;
    }
    case WM_SETFOCUS:
        Redraw();
        NotifyCommand(EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        selecting_ = false;
        Redraw();
        NotifyCommand(EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN: {
        SetFocus(hwnd_);
        size_t at = CharAt(GET_X_LPARAM(lParam));
        SetSelection(at, at);
        selecting_ = true;
        SetCapture(hwnd_);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (selecting_) SetSelection(anchor_, CharAt(GET_X_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONUP:
        if (selecting_) {
            selecting_ = false;
            ReleaseCapture();
        }
        return 0;
    case WM_LBUTTONDBLCLK:
        SetSelection(0, text_.size());
        return 0;
    case WM_KEYDOWN: {
        bool shift = GetKeyState(static_cast<int>(VK_SHIFT)) < 0;
        auto move = [&](size_t to) { SetSelection(shift ? anchor_ : to, to); };
        switch (wParam) {
        case VK_LEFT:
            if (!shift && anchor_ != caret_) move(std::min(anchor_, caret_));
            else move(caret_ > 0 ? caret_ - 1 : 0);
            return 0;
        case VK_RIGHT:
            if (!shift && anchor_ != caret_) move(std::max(anchor_, caret_));
            else move(std::min(caret_ + 1, text_.size()));
            return 0;
        case VK_HOME: move(0); return 0;
        case VK_END: move(text_.size()); return 0;
        case VK_DELETE:
            if (Style() & ES_READONLY) return 0;
            if (anchor_ == caret_ && caret_ < text_.size()) caret_ = caret_ + 1;
            Replace(L"");
            return 0;
        default:
            return 0;
        }
    }
    case WM_CHAR: {
        if (Style() & ES_READONLY) return 0;
        auto ch = static_cast<wchar_t>(wParam);
        if (ch == L'\b') {
            if (anchor_ == caret_ && caret_ > 0) anchor_ = caret_ - 1;
            Replace(L"");
            return 0;
        }
        if (ch < L' ') return 0;  // Enter, Tab, Escape belong to the dialog
        if ((Style() & ES_NUMBER) && (ch < L'0' || ch > L'9')) {
            MessageBeep(0);
            return 0;
        }
        Replace(std::wstring(1, ch));
        return 0;
    }
    default:
        return Control::OnMessage(msg, wParam, lParam);
    }
}

void Edit::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    bool readOnly = (Style() & ES_READONLY) != 0;
    HBRUSH custom = ParentColorBrush(hwnd_, readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, hdc);
    COLORREF textColor = Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    if (custom) {
        FillRect(hdc, &rc, custom);
        if (Enabled()) textColor = GetTextColor(hdc);
    } else {
        FillSolid(hdc, rc, GetSysColor(COLOR_WINDOW));
    }
    RECT area = TextArea();
    HGDIOBJ oldFont = SelectObject(hdc, Font());
    TEXTMETRIC tm{};
    GetTextMetrics(hdc, &tm);
    int top = (rc.top + rc.bottom - tm.tmHeight) / 2;
    int saved = SaveDC(hdc);
    IntersectClipRect(hdc, area.left, rc.top, area.right, rc.bottom);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, textColor);
    int x0 = area.left - scroll_;
    ExtTextOut(hdc, x0, top, 0, nullptr, text_.c_str(), static_cast<UINT>(text_.size()), nullptr);
    size_t from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
    bool focused = Focused();
    if (focused && from != to) {
        // The selection: highlight colours over the selected run.
        int left = x0 + TextWidth(from), right = x0 + TextWidth(to);
        FillSolid(hdc, {left, top, right, top + tm.tmHeight}, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        ExtTextOut(hdc, left, top, 0, nullptr, text_.c_str() + from, static_cast<UINT>(to - from), nullptr);
    }
    RestoreDC(hdc, saved);
    if (focused && from == to) {
        // A steady caret: blinking would wake the process twice a second.
        // Just left of the next character, so it never covers a glyph.
        int x = std::clamp<int>(x0 + TextWidth(caret_) - s, rc.left + s, area.right - s);
        FillSolid(hdc, {x, top, x + s, top + tm.tmHeight}, textColor);
    }
    SelectObject(hdc, oldFont);
}

}  // namespace ob::ui
