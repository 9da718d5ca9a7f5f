// The "Button" class: push buttons (also owner-drawn), check boxes, radio
// buttons and group boxes.
#include "platform/ui/controls/Button.h"

#include <algorithm>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/MessageParams.h"
#include "platform/ui/gdi/SelectGuard.h"

namespace ob::ui {

Button::Button(HWND hwnd) : Control(hwnd) {}

DWORD Button::Type() const { return Style() & BS_TYPEMASK; }

bool Button::IsCheckType() const {
    DWORD t = Type();
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE ||
           t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

void Button::SetPushed(bool pushed) {
    if (m_pushed == pushed)
        return;
    m_pushed = pushed;
    Redraw();
    if (Style() & BS_NOTIFY || Type() == BS_OWNERDRAW)
        NotifyCommand(pushed ? BN_HILITE : BN_UNHILITE);
}

void Button::Click() {
    // Automatic boxes toggle themselves before the parent hears of the click.
    switch (Type()) {
    case BS_AUTOCHECKBOX: SetCheck(m_check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); break;
    case BS_AUTO3STATE: SetCheck((m_check + 1) % 3); break;
    case BS_AUTORADIOBUTTON: SetCheck(BST_CHECKED); break;
    default: break;
    }
    NotifyCommand(BN_CLICKED);
}

void Button::SetCheck(UINT check) {
    if (!IsCheckType())
        return;
    if (Type() != BS_3STATE && Type() != BS_AUTO3STATE && check == BST_INDETERMINATE)
        check = BST_CHECKED;
    if (m_check == check)
        return;
    m_check = check;
    Redraw();
}

LRESULT Button::State() const {
    return (IsCheckType() ? m_check : 0) | (m_pushed ? BST_PUSHED : 0) | (Focused() ? BST_FOCUS : 0);
}

void Button::SetButtonStyle(WORD type, bool redraw) {
    DWORD style = (Style() & ~0xFFFFu) | type;
    SetWindowLong(m_hwnd, GWL_STYLE, static_cast<LONG>(style));
    if (redraw)
        Redraw();
}

LRESULT Button::DialogCode() const {
    switch (Type()) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
    }
}

void Button::SinkGroupBox() {
    // A group box lies beneath the controls it frames, so they stay
    // visible and it paints only what shows around them. Siblings made
    // after it go below it, so it sinks when it first paints.
    if (Type() == BS_GROUPBOX && GetWindow(m_hwnd, GW_HWNDNEXT))
        SetWindowPos(m_hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Button::OnLButtonDown() {
    if (Type() == BS_GROUPBOX)
        return;
    SetFocus(m_hwnd);
    SetCapture(m_hwnd);
    m_tracking = true;
    SetPushed(true);
}

void Button::OnMouseMove(POINT at) {
    if (m_tracking) {
        RECT rc = Client();
        SetPushed(PtInRect(&rc, at) != FALSE);
    }
}

void Button::OnLButtonUp() {
    if (m_tracking) {
        m_tracking = false;
        bool inside = m_pushed;
        SetPushed(false);
        ReleaseCapture();
        if (inside)
            Click();
    }
}

void Button::OnCaptureChanged(HWND taker) {
    if (m_tracking && taker != m_hwnd) {
        m_tracking = false;
        SetPushed(false);
    }
}

void Button::OnKeyDown(WPARAM key) {
    if (key == VK_SPACE && Type() != BS_GROUPBOX)
        SetPushed(true);
}

void Button::OnKeyUp(WPARAM key) {
    if (key == VK_SPACE && m_pushed) {
        SetPushed(false);
        Click();
    }
}

void Button::OnSetFocus() {
    Redraw();
    if (Style() & BS_NOTIFY)
        NotifyCommand(BN_SETFOCUS);
}

void Button::OnKillFocus() {
    if (m_pushed && !m_tracking)
        SetPushed(false);
    Redraw();
    if (Style() & BS_NOTIFY)
        NotifyCommand(BN_KILLFOCUS);
}

LRESULT Button::OnSetText(WPARAM wParam, LPARAM lParam) {
    LRESULT result = Default(WM_SETTEXT, wParam, lParam);
    Redraw();
    return result;
}

LRESULT Button::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case BM_GETCHECK: return IsCheckType() ? m_check : BST_UNCHECKED;
    case BM_SETCHECK: SetCheck(static_cast<UINT>(wParam)); return 0;
    case BM_GETSTATE: return State();
    case BM_SETSTATE: SetPushed(wParam != 0); return 0;
    case BM_SETSTYLE: SetButtonStyle(LOWORD(wParam), SignedLowWord(lParam) != 0); return 0;
    case BM_CLICK:
        if (Enabled() && Type() != BS_GROUPBOX)
            Click();
        return 0;
    case WM_GETDLGCODE: return DialogCode();
    case WM_PAINT: SinkGroupBox(); return Control::OnMessage(msg, wParam, lParam);
    // A group box lets taps through to the controls it frames.
    case WM_NCHITTEST: return Type() == BS_GROUPBOX ? HTTRANSPARENT : Control::OnMessage(msg, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLButtonDown(); return 0;  // a quick second tap is a tap like any other
    case WM_MOUSEMOVE: OnMouseMove(PointFromParam(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    case WM_KEYUP: OnKeyUp(wParam); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_SETTEXT: return OnSetText(wParam, lParam);
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

void Button::Paint(HDC hdc, const RECT& rc) {
    switch (Type()) {
    case BS_OWNERDRAW: PaintOwnerDraw(hdc, rc); break;
    case BS_GROUPBOX: PaintGroupBox(hdc, rc); break;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: PaintPush(hdc, rc); break;
    default:
        if (Style() & BS_PUSHLIKE)
            PaintPush(hdc, rc);
        else
            PaintCheck(hdc, rc);
        break;
    }
}

void Button::PaintOwnerDraw(HDC hdc, const RECT& rc) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(Id());
    dis.itemID = 0;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState =
        (m_pushed ? ODS_SELECTED : 0) | (Focused() ? ODS_FOCUS : 0) | (Enabled() ? 0 : ODS_DISABLED);
    dis.hwndItem = m_hwnd;
    dis.hDC = hdc;
    dis.rcItem = rc;
    HWND parent = GetParent(m_hwnd);
    if (parent)
        SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

void Button::PaintPush(HDC hdc, const RECT& rc) {
    // A white face in a black frame; pressed (or checked, when push-like)
    // the colours invert. The default button has a double frame.
    const int s = Scale();
    bool down = m_pushed || ((Style() & BS_PUSHLIKE) && m_check == BST_CHECKED);
    COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    COLORREF face = down ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE);
    COLORREF text = !Enabled() ? GetSysColor(COLOR_GRAYTEXT)
                    : down     ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                               : GetSysColor(COLOR_BTNTEXT);
    FillSolid(hdc, rc, face);
    FrameSolid(hdc, rc, Enabled() ? frame : GetSysColor(COLOR_GRAYTEXT), s);
    if (Type() == BS_DEFPUSHBUTTON) {
        RECT inner = rc;
        InflateRect(&inner, -s, -s);
        FrameSolid(hdc, inner, frame, s);
    }
    RECT textRect = rc;
    InflateRect(&textRect, -2 * s, -s);
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (Style() & BS_MULTILINE)
        format = DT_CENTER | DT_WORDBREAK;
    DrawLabel(hdc, Font(), WindowText(m_hwnd), textRect, format, text);
    if (Focused() && !down) {
        RECT focus = rc;
        InflateRect(&focus, -2 * s, -2 * s);
        if (Type() == BS_DEFPUSHBUTTON)
            InflateRect(&focus, -s, -s);
        DrawFocusRect(hdc, &focus);
    }
}

void Button::PaintCheck(HDC hdc, const RECT& rc) {
    const int s = Scale();
    COLORREF text = FillBackground(hdc, rc, WM_CTLCOLORSTATIC);
    int box = 11 * s + (s > 1 ? 1 : 0);
    bool leftText = (Style() & BS_LEFTTEXT) != 0;
    bool multiline = (Style() & BS_MULTILINE) != 0;
    // The box sits beside the first line of text.
    int lineHeight = LineHeight();
    int boxTop =
        multiline ? rc.top + std::max(0, (lineHeight - box) / 2) : rc.top + ((rc.bottom - rc.top) - box) / 2;
    int boxLeft = leftText ? rc.right - box : rc.left;
    RECT boxRect{boxLeft, boxTop, boxLeft + box, boxTop + box};
    PaintCheckBox(hdc, boxRect);
    RECT textRect = rc;
    int gap = 4 * s;
    if (leftText)
        textRect.right = boxRect.left - gap;
    else
        textRect.left = boxRect.right + gap;
    UINT format = multiline ? DT_LEFT | DT_WORDBREAK : DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    if (leftText)
        format |= DT_RIGHT;
    std::wstring label = WindowText(m_hwnd);
    DrawLabel(hdc, Font(), label, textRect, format, text);
    if (Focused() && !label.empty())
        PaintLabelFocus(hdc, label, textRect, format, rc);
}

void Button::PaintCheckBox(HDC hdc, const RECT& boxRect) {
    const int s = Scale();
    COLORREF ink = Enabled() ? GetSysColor(COLOR_WINDOWFRAME) : GetSysColor(COLOR_GRAYTEXT);
    COLORREF fill = m_pushed ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
    if (Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON) {
        HBRUSH brush = CreateSolidBrush(fill);
        HPEN pen = CreatePen(PS_SOLID, s, ink);
        {
            SelectGuard selectBrush(hdc, brush), selectPen(hdc, pen);
            Ellipse(hdc, boxRect.left, boxRect.top, boxRect.right, boxRect.bottom);
        }
        DeleteObject(brush);
        DeleteObject(pen);
        if (m_check == BST_CHECKED) {
            RECT dot = boxRect;
            InflateRect(&dot, -3 * s, -3 * s);
            HBRUSH inkBrush = CreateSolidBrush(ink);
            {
                SelectGuard selectBrush(hdc, inkBrush), selectPen(hdc, GetStockObject(NULL_PEN));
                Ellipse(hdc, dot.left, dot.top, dot.right + 1, dot.bottom + 1);
            }
            DeleteObject(inkBrush);
        }
        return;
    }
    FillSolid(hdc, boxRect, fill);
    FrameSolid(hdc, boxRect, ink, s);
    RECT mark = boxRect;
    InflateRect(&mark, -2 * s, -2 * s);
    if (m_check == BST_CHECKED)
        DrawCheckMark(hdc, mark, ink);
    else if (m_check == BST_INDETERMINATE)
        DrawCheckMark(hdc, mark, GetSysColor(COLOR_GRAYTEXT));
}

void Button::PaintLabelFocus(HDC hdc, const std::wstring& label, const RECT& textRect, UINT format,
                             const RECT& rc) {
    // The focus frame hugs the text, as on the device.
    RECT measure = textRect;
    {
        SelectGuard font(hdc, Font());
        DrawText(hdc, label.c_str(), static_cast<int>(label.size()), &measure, format | DT_CALCRECT);
    }
    if (!(Style() & BS_MULTILINE))
        OffsetRect(&measure, 0, ((rc.bottom - rc.top) - (measure.bottom - measure.top)) / 2);
    InflateRect(&measure, Scale(), 0);
    IntersectRect(&measure, &measure, &rc);
    DrawFocusRect(hdc, &measure);
}

void Button::PaintGroupBox(HDC hdc, const RECT& rc) {
    // A frame whose top line runs through the middle of the caption. The
    // controls inside are siblings above the box and paint themselves.
    const int s = Scale();
    HBRUSH back = ParentColorBrush(m_hwnd, WM_CTLCOLORSTATIC, hdc);
    if (back)
        FillRect(hdc, &rc, back);
    else
        FillSolid(hdc, rc, GetSysColor(COLOR_WINDOW));
    std::wstring label = WindowText(m_hwnd);
    SIZE extent{0, 0};
    if (!label.empty()) {
        SelectGuard font(hdc, Font());
        GetTextExtentPoint32(hdc, label.c_str(), static_cast<int>(label.size()), &extent);
    }
    int lineHeight = LineHeight();
    int lineY = rc.top + lineHeight / 2;
    COLORREF frame = GetSysColor(COLOR_BTNSHADOW);
    RECT box{rc.left, lineY, rc.right, rc.bottom};
    FrameSolid(hdc, box, frame, s);
    if (!label.empty()) {
        RECT caption{rc.left + 6 * s, rc.top, rc.left + 6 * s + extent.cx + 4 * s, rc.top + lineHeight};
        caption.right = std::min(caption.right, rc.right - 2 * s);
        if (back)
            FillRect(hdc, &caption, back);
        else
            FillSolid(hdc, caption, GetSysColor(COLOR_WINDOW));
        RECT textRect{caption.left + 2 * s, caption.top, caption.right, caption.bottom};
        DrawLabel(hdc, Font(), label, textRect, DT_LEFT | DT_TOP | DT_SINGLELINE,
                  Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
    }
}

}  // namespace ob::ui
