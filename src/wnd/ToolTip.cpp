#include "wnd/ToolTip.h"

#include <algorithm>

#include "wnd/Library.h"

namespace ZEP_Wnd {

ToolTip::ToolTip() : m_textColor(::GetSysColor(COLOR_INFOTEXT)), m_backColor(::GetSysColor(COLOR_INFOBK)) {
    RegisterWindowClass(kClassName, nullptr, ::LoadCursor(nullptr, IDC_ARROW), ::GetSysColorBrush(25));
}

bool ToolTip::Create(HWND parent, unsigned flags, unsigned autoHideMs) {
    m_flags = flags;
    m_autoHideMs = autoHideMs;
    if ((flags & AutoHide) && m_autoHideMs == 0)
        m_autoHideMs = 10000;
    return Window::Create(kClassName, L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                          RECT{0, 0, 0, 0}, parent, 0);
}

bool ToolTip::OnCreate(CREATESTRUCT*) {
    m_font.Reset(CreatePointFont(8));
    return true;
}

void ToolTip::OnDestroy() {
    StopTimer();
    m_font.Reset();
    Window::OnDestroy();
}

void ToolTip::StartTimer(UINT ms) {
    ::SetTimer(m_hwnd, kTimerId, ms, nullptr);
    m_timerRunning = true;
}

void ToolTip::StopTimer() {
    if (m_timerRunning && m_hwnd)
        ::KillTimer(m_hwnd, kTimerId);
    m_timerRunning = false;
}

void ToolTip::Hide() {
    StopTimer();
    m_waitingToHide = false;
    if (m_hwnd)
        ::ShowWindow(m_hwnd, SW_HIDE);
}

void ToolTip::ShowAt(const RECT& anchor, const std::wstring& text) {
    Hide();
    if (!m_hwnd)
        return;
    m_anchor = anchor;
    m_text = text;

    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);

    // Measure in a box from the anchor's bottom-right corner to the right
    // edge of the work area.
    RECT r{anchor.right, anchor.bottom, work.right - m_margin, anchor.bottom};
    if (r.right <= r.left)
        r.right = r.left + 1;
    {
        WindowDC dc(m_hwnd);
        SelectGuard font(dc, m_font);
        const UINT format =
            DT_CALCRECT | DT_NOPREFIX | ((m_flags & SingleLine) ? DT_SINGLELINE : DT_WORDBREAK);
        ::DrawText(dc, m_text.c_str(), static_cast<int>(m_text.size()), &r, format);
    }
    if (r.right <= r.left || r.bottom <= r.top)
        return;  // nothing to show

    ::InflateRect(&r, m_margin, m_margin);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;

    // Across.
    if (m_flags & AlignWorkAreaRight) {
        if (r.right < work.right)
            ::OffsetRect(&r, work.right - r.right, 0);
    } else if (!(m_flags & KeepAnchorRight)) {
        if (width > anchor.left - work.left)
            ::OffsetRect(&r, -r.left, 0);
        else
            ::OffsetRect(&r, anchor.left - r.right, 0);
    }

    // Up and down: below the anchor unless there is no room there.
    m_above = false;
    r.top = anchor.bottom;
    r.bottom = r.top + height;
    if (r.bottom > work.bottom || (m_flags & AlwaysAbove)) {
        const int spaceAbove = anchor.top - work.top;
        const int spaceBelow = work.bottom - anchor.bottom;
        if (spaceAbove > spaceBelow || (m_flags & AlwaysAbove)) {
            r.bottom = anchor.top;
            r.top = std::max<LONG>(work.top, anchor.top - height);
            m_above = true;
        } else {
            r.bottom = work.bottom;
        }
    }
    if (r.right > work.right) {
        if (width > work.right - work.left)
            ::OffsetRect(&r, -r.left, 0);
        else
            ::OffsetRect(&r, work.right - r.right, 0);
    }
    m_placed = r;

    if (m_flags & Slide) {
        m_appearing = true;
        m_step = 0;
        ::SetWindowPos(m_hwnd, HWND_TOPMOST, r.left, m_above ? r.bottom : r.top, r.right - r.left, 0,
                       SWP_NOACTIVATE | SWP_SHOWWINDOW);
        StartTimer(kStepMs);
    } else {
        ::SetWindowPos(m_hwnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ::InvalidateRect(m_hwnd, nullptr, TRUE);
        if ((m_flags & AutoHide) && m_autoHideMs > 0) {
            m_waitingToHide = true;
            StartTimer(m_autoHideMs);
        }
    }
}

void ToolTip::ApplyStep() {
    const int full = m_placed.bottom - m_placed.top;
    const int shown = m_appearing ? full * m_step / kSteps : full * (kSteps - m_step) / kSteps;
    // The tip grows from the anchor side: downwards below it, upwards above it.
    const int top = m_above ? m_placed.bottom - shown : m_placed.top;
    ::SetWindowPos(m_hwnd, HWND_TOPMOST, m_placed.left, top, m_placed.right - m_placed.left, shown,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void ToolTip::Paint(HDC dc) {
    RECT client = GetClientRect();
    // The text keeps its place while the tip slides, so paint in the full rectangle.
    RECT full{0, 0, m_placed.right - m_placed.left, m_placed.bottom - m_placed.top};
    int offset = 0;
    if (m_above)
        offset = client.bottom - full.bottom;
    ::OffsetRect(&full, 0, offset);
    const OwnedBrush back(::CreateSolidBrush(m_backColor));
    ::FillRect(dc, &client, back);
    {
        const OwnedPen pen(::CreatePen(PS_SOLID, m_margin, m_textColor));
        SelectGuard framePen(dc, pen);
        SelectGuard hollow(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, full.left + m_margin / 2, full.top + m_margin / 2, full.right - m_margin / 2,
                    full.bottom - m_margin / 2);
    }
    RECT textRect = full;
    ::InflateRect(&textRect, -m_margin, -m_margin);
    SelectGuard font(dc, m_font);
    ::SetTextColor(dc, m_textColor);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawText(dc, m_text.c_str(), static_cast<int>(m_text.size()), &textRect,
               DT_NOPREFIX | ((m_flags & SingleLine) ? DT_SINGLELINE : DT_WORDBREAK));
}

int ToolTip::OnMouseActivate(HWND, UINT, UINT) { return MA_NOACTIVATE; }

bool ToolTip::OnPaint() {
    PaintDC paint(m_hwnd);
    if (paint.IsValid())
        Paint(paint);
    return true;
}

bool ToolTip::OnEraseBackground(HDC) { return true; }

bool ToolTip::OnTimer(UINT_PTR id) {
    if (id != kTimerId)
        return false;
    if (m_waitingToHide) {
        m_waitingToHide = false;
        StopTimer();
        if (m_flags & Slide) {
            m_appearing = false;
            m_step = 0;
            StartTimer(kStepMs);
        } else {
            Hide();
        }
        return true;
    }
    if (!(m_flags & Slide)) {
        Hide();
        return true;
    }
    ++m_step;
    if (m_step <= kSteps) {
        ApplyStep();
        return true;
    }
    StopTimer();
    if (m_appearing) {
        m_appearing = false;
        if ((m_flags & AutoHide) && m_autoHideMs > 0) {
            m_waitingToHide = true;
            StartTimer(m_autoHideMs);
        }
    } else {
        Hide();
    }
    return true;
}

}  // namespace ZEP_Wnd
