#include "platform/ui/controls/Edit.h"

#include <algorithm>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/MessageParams.h"
#include "platform/ui/gdi/SelectGuard.h"

namespace ob::ui {

Edit::Edit(HWND hwnd) : Control(hwnd) {}

RECT Edit::TextArea() const {
    RECT rc = Client();
    int s = Scale();
    InflateRect(&rc, -2 * s, 0);
    return rc;
}

int Edit::TextWidth(size_t count) const {
    if (count == 0)
        return 0;
    HDC hdc = GetDC(m_hwnd);
    SIZE size{0, 0};
    {
        SelectGuard font(hdc, Font());
        GetTextExtentPoint32(hdc, m_text.c_str(), static_cast<int>(std::min(count, m_text.size())), &size);
    }
    ReleaseDC(m_hwnd, hdc);
    return size.cx;
}

size_t Edit::CharAt(int x) const {
    int target = x - TextArea().left + m_scroll;
    size_t best = 0;
    int bestDistance = std::abs(target);
    for (size_t i = 1; i <= m_text.size(); ++i) {
        int distance = std::abs(TextWidth(i) - target);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void Edit::SetSelection(size_t anchor, size_t caret) {
    m_anchor = std::min(anchor, m_text.size());
    m_caret = std::min(caret, m_text.size());
    ScrollToCaret();
    Redraw();
}

void Edit::ScrollToCaret() {
    RECT area = TextArea();
    int width = std::max<int>(1, area.right - area.left);
    int x = TextWidth(m_caret);
    if (x - m_scroll > width - 1)
        m_scroll = x - width + 1;
    if (x < m_scroll)
        m_scroll = x;
    // Never leave blank space on the right while text is hidden on the left.
    int total = TextWidth(m_text.size());
    m_scroll = std::max(0, std::min(m_scroll, std::max(0, total - width + 1)));
}

void Edit::SyncWindowText() { Default(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_text.c_str())); }

void Edit::Changed() {
    m_modified = true;
    SyncWindowText();
    ScrollToCaret();
    Redraw();
    NotifyCommand(EN_UPDATE);
    NotifyCommand(EN_CHANGE);
}

void Edit::Replace(const std::wstring& with) {
    size_t from = std::min(m_anchor, m_caret), to = std::max(m_anchor, m_caret);
    std::wstring insert = with;
    size_t room = m_limit - std::min(m_limit, m_text.size() - (to - from));
    if (insert.size() > room) {
        insert.resize(room);
        NotifyCommand(EN_MAXTEXT);
    }
    if (insert.empty() && from == to)
        return;
    m_text.replace(from, to - from, insert);
    m_anchor = m_caret = from + insert.size();
    Changed();
}

LRESULT Edit::OnSetText(WPARAM wParam, LPARAM lParam) {
    LRESULT result = Default(WM_SETTEXT, wParam, lParam);
    m_text = WindowText(m_hwnd);
    if (m_text.size() > m_limit)
        m_text.resize(m_limit);
    m_anchor = m_caret = 0;
    m_scroll = 0;
    m_modified = false;
    Redraw();
    // A single-line edit reports changes made by the program too.
    NotifyCommand(EN_UPDATE);
    NotifyCommand(EN_CHANGE);
    return result;
}

LRESULT Edit::GetSelection(DWORD* start, DWORD* end) const {
    DWORD from = static_cast<DWORD>(std::min(m_anchor, m_caret));
    DWORD to = static_cast<DWORD>(std::max(m_anchor, m_caret));
    if (start)
        *start = from;
    if (end)
        *end = to;
    return static_cast<LRESULT>(MAKELPARAM(static_cast<WORD>(std::min<DWORD>(from, 0xFFFF)),
                                           static_cast<WORD>(std::min<DWORD>(to, 0xFFFF))));
}

void Edit::SelectRange(int start, int end) {
    // (0, -1) selects everything; a negative start removes the selection.
    if (start < 0) {
        SetSelection(m_caret, m_caret);
        return;
    }
    size_t last =
        end < 0 || static_cast<size_t>(end) > m_text.size() ? m_text.size() : static_cast<size_t>(end);
    SetSelection(static_cast<size_t>(start), last);
}

void Edit::SetReadOnly(bool readOnly) {
    DWORD style = Style();
    style = readOnly ? (style | ES_READONLY) : (style & ~ES_READONLY);
    SetWindowLong(m_hwnd, GWL_STYLE, static_cast<LONG>(style));
    Redraw();
}

void Edit::OnSetFocus() {
    Redraw();
    NotifyCommand(EN_SETFOCUS);
}

void Edit::OnKillFocus() {
    m_selecting = false;
    Redraw();
    NotifyCommand(EN_KILLFOCUS);
}

void Edit::OnLButtonDown(POINT at) {
    SetFocus(m_hwnd);
    size_t index = CharAt(at.x);
    SetSelection(index, index);
    m_selecting = true;
    SetCapture(m_hwnd);
}

void Edit::OnMouseMove(POINT at) {
    if (m_selecting)
        SetSelection(m_anchor, CharAt(at.x));
}

void Edit::OnLButtonUp() {
    if (m_selecting) {
        m_selecting = false;
        ReleaseCapture();
    }
}

void Edit::OnKeyDown(WPARAM key) {
    bool shift = GetKeyState(static_cast<int>(VK_SHIFT)) < 0;
    auto move = [&](size_t to) { SetSelection(shift ? m_anchor : to, to); };
    // Without Shift, Left and Right first collapse a selection to its end.
    bool collapse = !shift && m_anchor != m_caret;
    switch (key) {
    case VK_LEFT: move(collapse ? std::min(m_anchor, m_caret) : m_caret > 0 ? m_caret - 1 : 0); break;
    case VK_RIGHT: move(collapse ? std::max(m_anchor, m_caret) : std::min(m_caret + 1, m_text.size())); break;
    case VK_HOME: move(0); break;
    case VK_END: move(m_text.size()); break;
    case VK_DELETE:
        if (Style() & ES_READONLY)
            break;
        if (m_anchor == m_caret && m_caret < m_text.size())
            m_caret = m_caret + 1;
        Replace(L"");
        break;
    default: break;
    }
}

void Edit::OnChar(wchar_t ch) {
    if (Style() & ES_READONLY)
        return;
    if (ch == L'\b') {
        if (m_anchor == m_caret && m_caret > 0)
            m_anchor = m_caret - 1;
        Replace(L"");
        return;
    }
    if (ch < L' ')
        return;  // Enter, Tab, Escape belong to the dialog
    if ((Style() & ES_NUMBER) && (ch < L'0' || ch > L'9')) {
        MessageBeep(0);
        return;
    }
    Replace(std::wstring(1, ch));
}

LRESULT Edit::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: m_text = WindowText(m_hwnd); return Control::OnMessage(msg, wParam, lParam);
    case WM_SETTEXT: return OnSetText(wParam, lParam);
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case EM_GETSEL: return GetSelection(reinterpret_cast<DWORD*>(wParam), PointerFromParam<DWORD>(lParam));
    case EM_SETSEL: SelectRange(static_cast<int>(wParam), static_cast<int>(lParam)); return 0;
    case EM_REPLACESEL: Replace(lParam ? PointerFromParam<const wchar_t>(lParam) : L""); return 0;
    case EM_LIMITTEXT: m_limit = wParam == 0 ? 0x7FFFFFFE : static_cast<size_t>(wParam); return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(m_limit);
    case EM_GETMODIFY: return m_modified ? TRUE : FALSE;
    case EM_SETMODIFY: m_modified = wParam != 0; return 0;
    case EM_GETLINECOUNT: return 1;
    case EM_SETREADONLY: SetReadOnly(wParam != 0); return TRUE;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(PointFromParam(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(PointFromParam(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(); return 0;
    case WM_LBUTTONDBLCLK: SetSelection(0, m_text.size()); return 0;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    case WM_CHAR: OnChar(static_cast<wchar_t>(wParam)); return 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

void Edit::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    bool readOnly = (Style() & ES_READONLY) != 0;
    COLORREF textColor = FillBackground(hdc, rc, readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
    RECT area = TextArea();
    SelectGuard font(hdc, Font());
    TEXTMETRIC tm{};
    GetTextMetrics(hdc, &tm);
    int top = (rc.top + rc.bottom - tm.tmHeight) / 2;
    int saved = SaveDC(hdc);
    IntersectClipRect(hdc, area.left, rc.top, area.right, rc.bottom);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, textColor);
    int x0 = area.left - m_scroll;
    ExtTextOut(hdc, x0, top, 0, nullptr, m_text.c_str(), static_cast<UINT>(m_text.size()), nullptr);
    size_t from = std::min(m_anchor, m_caret), to = std::max(m_anchor, m_caret);
    bool focused = Focused();
    if (focused && from != to) {
        // The selection: highlight colours over the selected run.
        int left = x0 + TextWidth(from), right = x0 + TextWidth(to);
        FillSolid(hdc, {left, top, right, top + tm.tmHeight}, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        ExtTextOut(hdc, left, top, 0, nullptr, m_text.c_str() + from, static_cast<UINT>(to - from), nullptr);
    }
    RestoreDC(hdc, saved);
    if (focused && from == to) {
        // A steady caret: blinking would wake the process twice a second.
        // Just left of the next character, so it never covers a glyph.
        int x = std::clamp<int>(x0 + TextWidth(m_caret) - s, rc.left + s, area.right - s);
        FillSolid(hdc, {x, top, x + s, top + tm.tmHeight}, textColor);
    }
}

}  // namespace ob::ui
