#include "dialogs/DialogScroller.h"

#include <algorithm>

#include "dialogs/ListDialogLayout.h"
#include "platform/ui/Controls.h"

namespace OBControls {

namespace {

int ClientHeight(HWND dialog) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    return client.bottom - client.top;
}

}  // namespace

void DialogScroller::Update(HWND dialog) {
    if (m_updating || !dialog)
        return;
    m_updating = true;
    m_dialog = dialog;
    // The page's width follows the screen's; its height scrolls.
    FitWidthToClient(dialog, m_position);
    int bottom = 0;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        if (::GetWindowLong(c, GWL_STYLE) & WS_VISIBLE)  // the dialog itself may not be shown yet
            bottom = std::max<int>(bottom, ControlRectInDialog(dialog, c).bottom + m_position);
    m_contentHeight = bottom > 0 ? bottom + 2 * ::GetSystemMetrics(SM_CYBORDER) : 0;

    // The platform shows the bar when the range stops fitting the page and
    // hides it when it fits again; either changes the client area's width only.
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = std::max(0, m_contentHeight - 1);
    info.nPage = static_cast<UINT>(std::max(0, ClientHeight(dialog)));
    ::SetScrollInfo(dialog, SB_VERT, &info, TRUE);
    // The bar shown or hidden made the page narrower or wider.
    FitWidthToClient(dialog, m_position);
    m_updating = false;
    ScrollTo(m_position);  // a taller client may leave less to scroll
}

void DialogScroller::OnScroll(int code) {
    if (!m_dialog)
        return;
    const int page = ClientHeight(m_dialog);
    const int line = std::max(1, ::GetSystemMetrics(SM_CYVSCROLL));
    switch (code) {
    case SB_LINEUP: ScrollTo(m_position - line); break;
    case SB_LINEDOWN: ScrollTo(m_position + line); break;
    case SB_PAGEUP: ScrollTo(m_position - page); break;
    case SB_PAGEDOWN: ScrollTo(m_position + page); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(m_contentHeight); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit position, not the message's 16 bits.
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        if (::GetScrollInfo(m_dialog, SB_VERT, &info))
            ScrollTo(info.nTrackPos);
        break;
    }
    default: break;
    }
}

void DialogScroller::EnsureVisible(HWND control) {
    if (!m_dialog || !control)
        return;
    const RECT r = ControlRectInDialog(m_dialog, control);
    const int page = ClientHeight(m_dialog);
    if (r.bottom > page)
        ScrollTo(m_position + std::min<int>(r.bottom - page, r.top));
    else if (r.top < 0)
        ScrollTo(m_position + r.top);
}

bool DialogScroller::OnKey(UINT key) {
    switch (key) {
    case VK_UP: OnScroll(SB_LINEUP); return true;
    case VK_DOWN: OnScroll(SB_LINEDOWN); return true;
    case VK_PRIOR: OnScroll(SB_PAGEUP); return true;
    case VK_NEXT: OnScroll(SB_PAGEDOWN); return true;
    case VK_HOME: OnScroll(SB_TOP); return true;
    case VK_END: OnScroll(SB_BOTTOM); return true;
    default: return false;
    }
}

void DialogScroller::ScrollTo(int position) {
    if (!m_dialog)
        return;
    position = std::clamp(position, 0, std::max(0, m_contentHeight - ClientHeight(m_dialog)));
    const int by = m_position - position;
    if (by != 0) {
        for (HWND c = ::GetWindow(m_dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            const RECT r = ControlRectInDialog(m_dialog, c);
            ::SetWindowPos(c, nullptr, r.left, r.top + by, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        m_position = position;
        ::InvalidateRect(m_dialog, nullptr, TRUE);
    }
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = m_position;
    ::SetScrollInfo(m_dialog, SB_VERT, &info, TRUE);
}

}  // namespace OBControls
