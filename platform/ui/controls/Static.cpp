#include "platform/ui/controls/Static.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/SelectGuard.h"

namespace ob::ui {

void Static::OnLButtonUp() {
    if (Style() & SS_NOTIFY)
        NotifyCommand(STN_CLICKED);
}

LRESULT Static::OnSetText(WPARAM wParam, LPARAM lParam) {
    LRESULT result = Default(WM_SETTEXT, wParam, lParam);
    Redraw();
    return result;
}

HBITMAP Static::SetImage(HBITMAP bitmap) {
    HBITMAP old = m_bitmap;
    m_bitmap = bitmap;
    Redraw();
    return old;
}

LRESULT Static::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool bitmap = wParam == IMAGE_BITMAP;
    switch (msg) {
    // Labels are transparent to the pen unless they asked to be told.
    case WM_NCHITTEST: return Style() & SS_NOTIFY ? Control::OnMessage(msg, wParam, lParam) : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_LBUTTONDOWN: return 0;
    case WM_LBUTTONUP: OnLButtonUp(); return 0;
    case WM_SETTEXT: return OnSetText(wParam, lParam);
    case STM_SETIMAGE:
        return bitmap ? reinterpret_cast<LRESULT>(SetImage(reinterpret_cast<HBITMAP>(lParam))) : 0;
    case STM_GETIMAGE: return bitmap ? reinterpret_cast<LRESULT>(m_bitmap) : 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

void Static::Paint(HDC hdc, const RECT& rc) {
    COLORREF text = FillBackground(hdc, rc, WM_CTLCOLORSTATIC);
    DWORD style = Style();
    DWORD type = style & SS_TYPEMASK;
    if (type == SS_BITMAP) {
        BITMAP bm{};
        if (!m_bitmap || !GetObject(m_bitmap, sizeof bm, &bm))
            return;
        int x = rc.left, y = rc.top;
        if (style & SS_CENTERIMAGE) {
            x = (rc.left + rc.right - bm.bmWidth) / 2;
            y = (rc.top + rc.bottom - bm.bmHeight) / 2;
        }
        HDC mem = CreateCompatibleDC(hdc);
        {
            SelectGuard bitmap(mem, m_bitmap);
            BitBlt(hdc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        }
        DeleteDC(mem);
        return;
    }
    UINT format = DT_WORDBREAK;
    if (type == SS_CENTER)
        format |= DT_CENTER;
    else if (type == SS_RIGHT)
        format |= DT_RIGHT;
    else if (type == SS_LEFTNOWORDWRAP)
        format = DT_SINGLELINE;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE)
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    DrawLabel(hdc, Font(), WindowText(m_hwnd), rc, format, text);
}

}  // namespace ob::ui
