#include "platform/ui/controls/RowScroller.h"

#include <algorithm>

#include "platform/ui/controls/ScrollBar.h"

namespace ob::ui {

namespace {
int LastTop(int count, int page) { return std::max(0, count - page); }

bool HasBar(HWND hwnd) { return (static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & WS_VSCROLL) != 0; }
}  // namespace

void RowScroller::Fit(int count, int page, bool keepBar) {
    m_top = std::clamp(m_top, 0, LastTop(count, page));
    if (!HasBar(m_hwnd))
        return;
    SCROLLINFO info{sizeof info,
                    SIF_ALL | (keepBar ? SIF_DISABLENOSCROLL : 0u),
                    0,
                    std::max(0, count - 1),
                    static_cast<UINT>(page),
                    m_top,
                    0};
    SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
}

void RowScroller::ScrollTo(int top, int count, int page) {
    top = std::clamp(top, 0, LastTop(count, page));
    if (top == m_top)
        return;
    m_top = top;
    if (HasBar(m_hwnd))
        SetScrollPos(m_hwnd, SB_VERT, m_top, TRUE);
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void RowScroller::Reveal(int row, int count, int page) {
    if (row < 0 || row >= count)
        return;
    if (row < m_top)
        ScrollTo(row, count, page);
    else if (row >= m_top + page)
        ScrollTo(row - page + 1, count, page);
}

void RowScroller::Scroll(UINT code, int thumb, int count, int page) {
    switch (code) {
    case SB_LINEUP: ScrollTo(m_top - 1, count, page); break;
    case SB_LINEDOWN: ScrollTo(m_top + 1, count, page); break;
    case SB_PAGEUP: ScrollTo(m_top - page, count, page); break;
    case SB_PAGEDOWN: ScrollTo(m_top + page, count, page); break;
    case SB_TOP: ScrollTo(0, count, page); break;
    case SB_BOTTOM: ScrollTo(count, count, page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(thumb, count, page); break;
    default: break;
    }
}

std::optional<int> RowScroller::RowAfterKey(UINT key, int at, int count, int page) {
    switch (key) {
    case VK_UP: return std::max(0, at - 1);
    case VK_DOWN: return std::min(count - 1, at + 1);
    case VK_PRIOR: return std::max(0, at - page + 1);
    case VK_NEXT: return std::min(count - 1, std::max(0, at) + page - 1);
    case VK_HOME: return 0;
    case VK_END: return count - 1;
    default: return std::nullopt;
    }
}

}  // namespace ob::ui
