// The vertical scrolling of a list of equal rows, shared by the list box
// and the list view: the row shown at the top, kept where the page stays
// full while there are rows enough, and the window's vertical bar kept in
// step (range 0..count-1, page the whole rows that fit, position the top
// row). The list passes its row count and page to each call, since both
// change under the scroller (items added, the window resized).
#pragma once

#include <optional>

#include "platform/ui/Windows.h"

namespace ob::ui {

class RowScroller {
public:
    explicit RowScroller(HWND hwnd) : m_hwnd(hwnd) {}

    int Top() const { return m_top; }
    // The row under a point `offset` pixels below the list's top edge (it
    // may be past the last row).
    int RowAt(int offset, int rowHeight) const { return m_top + offset / rowHeight; }
    // The top edge of `row` in pixels below the list's top edge; negative
    // for the rows scrolled off above.
    int RowOffset(int row, int rowHeight) const { return (row - m_top) * rowHeight; }

    // After the rows or the page changed: clamps the top row and, when the
    // window has WS_VSCROLL, gives the bar its range, page and position.
    // `keepBar` keeps a bar that has nothing to scroll, disabled.
    void Fit(int count, int page, bool keepBar);
    // Back to the first row (the list was emptied). The bar follows at the
    // next Fit.
    void Reset() { m_top = 0; }
    // Puts `top`, clamped, at the top; when that moves the rows it moves
    // the bar's thumb and asks for a repaint.
    void ScrollTo(int top, int count, int page);
    // Scrolls as little as brings `row` into the page; rows outside the
    // list are ignored.
    void Reveal(int row, int count, int page);
    // A scroll-bar action (WM_VSCROLL's code and thumb position); actions a
    // list does not use (SB_ENDSCROLL) are ignored.
    void Scroll(UINT code, int thumb, int count, int page);

    // Where a navigation key takes the caret from row `at` (-1: none yet) in
    // a list of `count` rows, at least one: the arrows by one row, Page Up
    // and Page Down by a page less one row, Home and End to the ends.
    // Nothing for other keys.
    static std::optional<int> RowAfterKey(UINT key, int at, int count, int page);

private:
    HWND m_hwnd;
    int m_top = 0;
};

}  // namespace ob::ui
