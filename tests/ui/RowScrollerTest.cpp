// The row scrolling both lists share, on a plain window with a frame bar:
// every way of scrolling stays within the rows, and the bar follows.
#include "ControlsFixture.h"
#include "platform/ui/controls/RowScroller.h"

using controls_test::ControlsTest;
using ob::ui::RowScroller;

namespace {
constexpr int kPage = 10;
}  // namespace

TEST_F(ControlsTest, RowScrollerKeepsThePageFullAndTheBarInStep) {
    HWND window = Make(L"ControlsTestParent", WS_VSCROLL, 10, 10, 100, 100, 5);
    RowScroller rows(window);
    rows.Fit(100, kPage, false);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &info));
    EXPECT_EQ(info.nMax, 99);
    EXPECT_EQ(info.nPage, static_cast<UINT>(kPage));
    // Each action from where the last one left the top row.
    const std::pair<WORD, int> steps[] = {{SB_PAGEDOWN, 10}, {SB_LINEUP, 9},    {SB_ENDSCROLL, 9},
                                          {SB_BOTTOM, 90},   {SB_LINEDOWN, 90}, {SB_PAGEDOWN, 90},
                                          {SB_TOP, 0},       {SB_PAGEUP, 0}};
    for (const auto& [code, top] : steps) {
        rows.Scroll(code, 0, 100, kPage);
        EXPECT_EQ(rows.Top(), top) << code;
        EXPECT_EQ(GetScrollPos(window, SB_VERT), top) << code;
    }
    rows.Scroll(SB_THUMBTRACK, 95, 100, kPage);  // a thumb dragged past the last page
    EXPECT_EQ(rows.Top(), 90);
    // Fewer rows pull the top row back to keep the page full.
    rows.Fit(25, kPage, false);
    EXPECT_EQ(rows.Top(), 15);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 15);
    // Rows that all fit need no bar, unless it is asked to stay.
    rows.Fit(5, kPage, true);
    EXPECT_EQ(rows.Top(), 0);
    EXPECT_TRUE(GetWindowLong(window, GWL_STYLE) & WS_VSCROLL);
    rows.Fit(5, kPage, false);
    EXPECT_FALSE(GetWindowLong(window, GWL_STYLE) & WS_VSCROLL);
    DestroyWindow(window);
}

TEST_F(ControlsTest, RowScrollerRevealsARowWithTheLeastMoveAndStepsTheCaretByKeys) {
    HWND window = Make(L"ControlsTestParent", WS_VSCROLL, 10, 10, 100, 100, 5);
    RowScroller rows(window);
    rows.Fit(100, kPage, false);
    rows.Reveal(15, 100, kPage);  // below: it becomes the last row shown
    EXPECT_EQ(rows.Top(), 6);
    rows.Reveal(10, 100, kPage);  // shown already
    EXPECT_EQ(rows.Top(), 6);
    rows.Reveal(3, 100, kPage);  // above: it becomes the first
    EXPECT_EQ(rows.Top(), 3);
    rows.Reveal(100, 100, kPage);  // no such row
    EXPECT_EQ(rows.Top(), 3);
    EXPECT_EQ(rows.RowAt(25, 10), 5);
    EXPECT_EQ(rows.RowOffset(1, 10), -20);
    // Without a caret the first key lands on the first row, or a page less one down.
    EXPECT_EQ(RowScroller::RowAfterKey(VK_DOWN, -1, 100, kPage), 0);
    EXPECT_EQ(RowScroller::RowAfterKey(VK_UP, -1, 100, kPage), 0);
    EXPECT_EQ(RowScroller::RowAfterKey(VK_NEXT, -1, 100, kPage), 9);
    EXPECT_EQ(RowScroller::RowAfterKey(VK_NEXT, 95, 100, kPage), 99);
    EXPECT_EQ(RowScroller::RowAfterKey(VK_PRIOR, 12, 100, kPage), 3);
    EXPECT_EQ(RowScroller::RowAfterKey(VK_END, 0, 100, kPage), 99);
    EXPECT_EQ(RowScroller::RowAfterKey(VK_DOWN, 99, 100, kPage), 99);
    EXPECT_FALSE(RowScroller::RowAfterKey(VK_LEFT, 5, 100, kPage));
    DestroyWindow(window);
}
