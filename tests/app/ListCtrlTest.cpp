// The city list through the test driver: geometry and scrolling, selection
// by tap and key, what the parent is told, the information buttons and
// field stepping, the stored field choice and painting.
#include "tests/app/ListFixture.h"

#include "platform/ui/Controls.h"

using namespace listtest;
using OBControls::CityGroupInfoList;
using OBControls::CityGroupListCtrl;

TEST_F(ListTest, RowsStackBelowEachOtherAndTheScrollBarCoversTheGroup) {
    OBData::CityGroup group = MakeGroup(12);
    auto list = MakeList(group);
    const int line = list->GetLineHeight();
    const SIZE button = list->GetPreviousInfoButton().GetSize();
    EXPECT_EQ(list->GetRowHeightPixels(), line + 1 + std::max<int>(line, button.cy));
    EXPECT_EQ(list->GetHeaderHeightPixels(), 0);

    const RECT client = list->GetClientRect();
    const int visible = (client.bottom - client.top) / list->GetRowHeightPixels();
    EXPECT_EQ(list->GetVisibleRowCount(), visible);
    ASSERT_LT(visible, 12);

    const RECT second = list->GetRowRect(1);
    EXPECT_EQ(second.top, list->GetRowHeightPixels());
    EXPECT_EQ(list->RowFromPoint(POINT{5, second.top}), 1);
    EXPECT_EQ(list->RowFromPoint(POINT{5, second.top - 1}), 0);

    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(::GetScrollInfo(list->GetHandle(), SB_VERT, &info));
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 11);
    EXPECT_EQ(static_cast<int>(info.nPage), visible);
    EXPECT_EQ(info.nPos, 0);

    // Scroll bar actions, limited to the range.
    list->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(list->GetTopRow(), 1);
    list->SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(list->GetTopRow(), std::min(1 + visible, 12 - visible));
    list->SendMessage(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(list->GetTopRow(), 12 - visible);
    EXPECT_EQ(::GetScrollPos(list->GetHandle(), SB_VERT), 12 - visible);
    // A point in the first band now names the top row; below the last city nothing.
    EXPECT_EQ(list->RowFromPoint(POINT{5, 1}), 12 - visible);
    list->SendMessage(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(list->GetTopRow(), 0);
    list->SendMessage(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(list->GetTopRow(), 0);

    // Dragging the thumb of the frame's bar to its far end follows it there.
    const RECT frame = list->GetWindowRect();
    const int barX = frame.right - ::GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int arrow = ::GetSystemMetrics(SM_CYVSCROLL);
    const POINT grip{barX, frame.top + arrow + 3}, end{barX, frame.bottom - 2};
    // The bar tracks the pen in a loop of its own: the moves come when it waits.
    driver.WhenIdle([&] { driver.PenMove(end); });
    driver.WhenIdle([&] { driver.PenUp(end); });
    driver.PenDown(grip);
    driver.RunUntilIdle();
    EXPECT_FALSE(driver.PendingIdleSteps());
    EXPECT_EQ(list->GetTopRow(), 12 - visible);

    // A shorter group cannot scroll at all.
    OBData::CityGroup two = MakeGroup(2);
    list->SetCityGroup(&two, true);
    EXPECT_EQ(group.GetCount(), 2);  // the list's own group took the cities
    list->SendMessage(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(list->GetTopRow(), 0);
    EXPECT_EQ(list->RowFromPoint(POINT{5, 2 * list->GetRowHeightPixels() + 1}), -1);
}

TEST_F(ListTest, SelectingBelowTheVisibleRowsScrollsExactlyToTheBottomEdge) {
    OBData::CityGroup group = MakeGroup(12);
    auto list = MakeList(group);
    const int visible = list->GetVisibleRowCount();

    list->SelectRow(visible + 2);
    EXPECT_EQ(list->GetSelectedRow(), visible + 2);
    EXPECT_EQ(list->GetTopRow(), 3);
    const RECT band = list->GetRowRect(visible + 2);
    EXPECT_EQ(band.bottom, visible * list->GetRowHeightPixels());
    EXPECT_LE(band.bottom, list->GetClientRect().bottom);

    // Above the top row: it becomes the top row.
    list->SelectRow(1);
    EXPECT_EQ(list->GetTopRow(), 1);
    // Out of range: clamped to the last row.
    list->SelectRow(99);
    EXPECT_EQ(list->GetSelectedRow(), 11);
    EXPECT_EQ(list->GetTopRow(), 12 - visible);
    EXPECT_EQ(list->GetSelectedCity(), group.GetCities()[11]);

    // Every change was told once with the old and new row.
    ASSERT_EQ(host.Count(OBControls::kCityListSelectionChanged), 3);
    EXPECT_EQ(host.notifications[0].a, 0);
    EXPECT_EQ(host.notifications[0].b, visible + 2);
    EXPECT_EQ(host.notifications[2].a, 1);
    EXPECT_EQ(host.notifications[2].b, 11);

    // Selecting the selected row again says nothing.
    list->SelectRow(11);
    EXPECT_EQ(host.Count(OBControls::kCityListSelectionChanged), 3);

    // A new city group returns to the top with the first row selected.
    list->SetCityGroup(&group, false);
    EXPECT_EQ(list->GetSelectedRow(), 0);
    EXPECT_EQ(list->GetTopRow(), 0);
    EXPECT_EQ(host.notifications.back().code, OBControls::kCityListSelectionChanged);
    EXPECT_EQ(host.notifications.back().a, -1);
    EXPECT_EQ(host.notifications.back().b, 0);
}

TEST_F(ListTest, TapsSelectAndReportAndHoldingAsksForTheMenu) {
    OBData::CityGroup group = MakeGroup(5);
    auto list = MakeList(group);
    const int rowHeight = list->GetRowHeightPixels();

    // A tap on another row selects it; lifting the pen on it reports the tap.
    driver.Tap(ScreenPoint(*list, 60, rowHeight * 2 + 3));
    driver.RunUntilIdle();
    EXPECT_EQ(list->GetSelectedRow(), 2);
    EXPECT_EQ(::GetFocus(), list->GetHandle());
    ASSERT_EQ(host.Count(OBControls::kCityListTapped), 1);
    for (const Notification& n : host.notifications)
        if (n.code == OBControls::kCityListTapped) {
            EXPECT_EQ(n.a, 2);
            EXPECT_EQ(n.b, 60);
        }

    // Below the last city nothing is selected or reported.
    host.notifications.clear();
    driver.Tap(ScreenPoint(*list, 60, rowHeight * 5 + 3));
    driver.RunUntilIdle();
    EXPECT_EQ(list->GetSelectedRow(), 2);
    EXPECT_EQ(host.Count(OBControls::kCityListTapped), 0);
    EXPECT_EQ(host.Count(OBControls::kCityListSelectionChanged), 0);

    // Holding the pen: the parent hears of the gesture at the screen point.
    host.notifications.clear();
    const POINT held = ScreenPoint(*list, 80, rowHeight + 4);
    driver.Hold(held);
    driver.RunUntilIdle();
    EXPECT_EQ(list->GetSelectedRow(), 1);
    ASSERT_EQ(host.Count(NM_RECOGNIZEGESTURE), 1);
    for (const Notification& n : host.notifications)
        if (n.code == NM_RECOGNIZEGESTURE) {
            EXPECT_EQ(n.a, held.x);
            EXPECT_EQ(n.b, held.y);
        }
}

TEST_F(ListTest, KeysMoveTheSelectionAndStepTheFieldAndTheDialogAsksWhichKeysItWants) {
    OBData::CityGroup group = MakeGroup(3);
    auto list = MakeList(group);
    list->SetFocus();

    driver.Key(VK_DOWN);
    driver.RunUntilIdle();
    EXPECT_EQ(list->GetSelectedRow(), 1);
    EXPECT_EQ(host.Count(OBControls::kCityListKeyDown), 1);
    EXPECT_EQ(host.notifications.back().a, static_cast<int>(VK_DOWN));
    driver.Key(VK_DOWN);
    driver.Key(VK_DOWN);
    driver.RunUntilIdle();
    EXPECT_EQ(list->GetSelectedRow(), 2);
    driver.Key(VK_RIGHT);
    driver.RunUntilIdle();
    EXPECT_EQ(list->GetFieldSet().GetCurrentDefinition(), 1);
    driver.Key(VK_LEFT);
    driver.Key(VK_LEFT);
    driver.RunUntilIdle();
    EXPECT_EQ(list->GetFieldSet().GetCurrentDefinition(), OBControls::kFieldOffset);  // wrapped to the last

    MSG up{list->GetHandle(), WM_KEYDOWN, VK_UP, 0, 0, {0, 0}};
    MSG down{list->GetHandle(), WM_KEYDOWN, VK_DOWN, 0, 0, {0, 0}};
    const LRESULT wanted = DLGC_WANTARROWS | DLGC_WANTTAB;
    EXPECT_EQ(list->SendMessage(WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&up)), wanted);
    EXPECT_EQ(list->SendMessage(WM_GETDLGCODE, 0, 0), 0);
    list->SelectRow(0);
    // Up on the first row is left to the dialog's navigation.
    EXPECT_EQ(list->SendMessage(WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&up)), 0);
    EXPECT_EQ(list->SendMessage(WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&down)), wanted);
}

TEST_F(ListTest, ButtonsSitOnTheSelectedRowStepTheFieldAndShowTheirTips) {
    OBData::CityGroup group = MakeGroup(4);
    auto list = MakeList(group);
    ImageButton& previous = list->GetPreviousInfoButton();
    ImageButton& next = list->GetNextInfoButton();
    ASSERT_TRUE(previous.GetHandle() && next.GetHandle());
    EXPECT_EQ(previous.GetSize().cx, 14);  // the low-density frames

    auto placed = [&](ImageButton& b) { return list->ScreenToClient(b.GetWindowRect()); };
    EXPECT_TRUE(previous.IsVisible());
    EXPECT_TRUE(next.IsVisible());
    const int line = list->GetLineHeight();
    EXPECT_GE(placed(previous).top, line);
    EXPECT_LE(placed(previous).bottom, list->GetRowHeightPixels());
    EXPECT_EQ(placed(next).left, placed(previous).right);

    list->SelectRow(2);
    driver.RunUntilIdle();
    const RECT band = list->GetRowRect(2);
    EXPECT_GE(placed(previous).top, band.top + line);
    EXPECT_LE(placed(previous).bottom, band.bottom);

    driver.Tap(next.GetHandle());
    driver.RunUntilIdle();
    EXPECT_EQ(list->GetFieldSet().GetCurrentDefinition(), 1);
    driver.Tap(previous.GetHandle());
    driver.Tap(previous.GetHandle());
    driver.RunUntilIdle();
    EXPECT_EQ(list->GetFieldSet().GetCurrentDefinition(), OBControls::kFieldOffset);  // wrapped to the last

    // Resting the pen on a button shows its tip until the pen lifts.
    const POINT centre = ob::ui::testing::CentreOf(next.GetHandle());
    driver.PenDown(centre);
    driver.RunUntilIdle();
    driver.Advance(300);
    EXPECT_FALSE(list->GetToolTip().IsVisible());
    driver.Advance(200);
    driver.RunUntilIdle();
    EXPECT_TRUE(list->GetToolTip().IsVisible());
    EXPECT_EQ(next.GetToolTipText(), L"Display next city info");
    EXPECT_EQ(previous.GetToolTipText(), L"Display previous city info");
    driver.PenUp(centre);
    driver.RunUntilIdle();
    EXPECT_FALSE(list->GetToolTip().IsVisible());

    // One-line rows have no buttons and no stepping.
    list->SetFlags(CityGroupListCtrl::kSeparatorLines | CityGroupListCtrl::kOneLineRows);
    driver.RunUntilIdle();
    EXPECT_FALSE(previous.IsVisible());
    EXPECT_FALSE(next.IsVisible());
    EXPECT_EQ(list->GetRowHeightPixels(), line + 1);
    const int before = list->GetFieldSet().GetCurrentDefinition();
    list->ShowNextInfo();
    EXPECT_EQ(list->GetFieldSet().GetCurrentDefinition(), before);
}

TEST_F(ListTest, WithOnlyTheHomeCityTheFieldNeverShowsDialOrDistance) {
    OBData::CityGroup group = MakeGroup(1);
    auto list = MakeList(group);
    for (int i = 0; i < 8; ++i) {
        driver.Tap(list->GetNextInfoButton().GetHandle());
        driver.RunUntilIdle();
        const int field = list->GetFieldSet().GetCurrentDefinition();
        EXPECT_NE(field, OBControls::kFieldDial);
        EXPECT_NE(field, OBControls::kFieldDistance);
    }
    // Chosen anyway (the Change Fields dialog), the home row's line is empty.
    list->SetSelectedFields({OBControls::kFieldDial, OBControls::kFieldDistance});
    EXPECT_EQ(list->GetInfoText(*group.GetHomeCity()), L"");
    list->SetSelectedFields({OBControls::kFieldDistance});
    EXPECT_EQ(list->GetInfoText(*group.GetHomeCity()), L"");
}

TEST_F(ListTest, TheFieldChoiceIsStoredUnderTheListNameAndReadBack) {
    OBData::CityGroup group = MakeGroup(2);
    {
        auto list = MakeList(group, 1, L"plannerview_list");
        list->SetSelectedFields({3, 4, 6});
        list->ShowNextInfo();
        list->StoreState();
    }
    std::wstring stored;
    ASSERT_TRUE(GetSettingsStore().GetString(L"plannerview_list", stored));
    EXPECT_EQ(stored, L"1;3;4;6;");
    EXPECT_FALSE(GetSettingsStore().GetString(L"mapview_list", stored));

    CityGroupInfoList again(L"plannerview_list", &group, 8);
    EXPECT_EQ(again.GetFieldSet().ToText(), L"1;3;4;6;");
    GetSettingsStore().SetString(L"mapview_list", L"0;3;12;");
    CityGroupInfoList damaged(L"mapview_list", &group, 8);
    EXPECT_EQ(damaged.GetFieldSet().ToText(), L"0;0;1;2;3;4;5;6;7;");
}

TEST_F(ListTest, TheScrollBarShowsOnlyWhileTheCitiesDoNotFit) {
    OBData::CityGroup three = MakeGroup(3);
    auto list = MakeList(three);
    const HWND hwnd = list->GetHandle();
    auto hasBar = [&] { return (::GetWindowLong(hwnd, GWL_STYLE) & WS_VSCROLL) != 0; };
    auto clientWidth = [&] { return list->GetClientRect().right; };
    const int rowHeight = list->GetRowHeightPixels();

    // Three cities fit: no bar, and the rows reach the window's right edge,
    // painted there in the row's own colour; no bar's arrow is drawn.
    EXPECT_FALSE(hasBar());
    EXPECT_EQ(clientWidth(), hostWidth);
    EXPECT_EQ(list->GetRowRect(1).right, hostWidth);
    const POINT edge = ScreenPoint(*list, hostWidth - 2, rowHeight + rowHeight / 2);
    EXPECT_EQ(driver.Pixel(edge.x, edge.y), ::GetSysColor(COLOR_WINDOW));
    const RECT frame = list->GetWindowRect();
    const POINT arrow{frame.right - 1, frame.bottom - 5};  // the down arrow's frame when there is a bar
    EXPECT_NE(driver.Pixel(arrow.x, arrow.y), ::GetSysColor(COLOR_WINDOWFRAME));

    // Twelve do not: the bar comes back and the rows give it its width.
    OBData::CityGroup twelve = MakeGroup(12);
    list->SetCityGroup(&twelve, true);
    driver.RunUntilIdle();
    EXPECT_TRUE(hasBar());
    EXPECT_EQ(clientWidth(), hostWidth - ::GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(list->GetRowRect(1).right, clientWidth());
    EXPECT_EQ(driver.Pixel(arrow.x, arrow.y), ::GetSysColor(COLOR_WINDOWFRAME));

    // Back to three: gone again, scrolled to the top.
    OBData::CityGroup again = MakeGroup(3);
    list->SetCityGroup(&again, true);
    driver.RunUntilIdle();
    EXPECT_FALSE(hasBar());
    EXPECT_EQ(clientWidth(), hostWidth);
    EXPECT_EQ(list->GetTopRow(), 0);
}
