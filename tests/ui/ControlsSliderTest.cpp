// Track bars, scroll bars and the date picker: ranges, the scroll codes in
// their order, and the date change notification.
#include "ControlsFixture.h"

#include "platform/kernel/Clock.h"

using controls_test::ControlsTest;

TEST_F(ControlsTest, TrackBarReportsKeysPagesAndDrags) {
    HWND track = Make(TRACKBAR_CLASS, TBS_AUTOTICKS, 10, 10, 160, 32, 1012);
    SendMessage(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 95));
    SendMessage(track, TBM_SETTICFREQ, 4, 0);
    SendMessage(track, TBM_SETPOS, TRUE, 48);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 48);
    EXPECT_EQ(SendMessage(track, TBM_GETNUMTICS, 0, 0), 25);  // every hour and the end
    SendMessage(track, TBM_SETPOS, TRUE, 120);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 95);
    EXPECT_TRUE(Codes(WM_HSCROLL).empty());  // the program's changes are silent

    SetFocus(track);
    ui.Key(VK_LEFT);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 94);
    EXPECT_EQ(Codes(WM_HSCROLL), (std::vector<int>{TB_LINEUP, TB_ENDTRACK}));
    EXPECT_EQ(heard.front().id, 1012);

    // A tap on the channel left of the thumb pages down by a fifth of the range.
    Clear();
    RECT channel{};
    SendMessage(track, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    ui.Tap(ScreenPoint(track, channel.left + 3, (channel.top + channel.bottom) / 2));
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 94 - 19);
    EXPECT_EQ(Codes(WM_HSCROLL), (std::vector<int>{TB_PAGEUP, TB_ENDTRACK}));

    // Dragging the thumb reports its positions as it goes, then where it ended.
    Clear();
    RECT thumb{};
    SendMessage(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    POINT from = ScreenPoint(track, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
    ui.Drag(from, POINT{from.x - 400, from.y}, 4);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 0);
    std::vector<int> codes = Codes(WM_HSCROLL);
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), TB_THUMBTRACK);
    EXPECT_EQ(codes[codes.size() - 2], TB_THUMBPOSITION);
    EXPECT_EQ(codes.back(), TB_ENDTRACK);
    EXPECT_EQ(heard[heard.size() - 2].value, 0);

    // The ends of a packed range are signed.
    SendMessage(track, TBM_SETRANGE, FALSE, MAKELPARAM(static_cast<WORD>(-12), 95));
    EXPECT_EQ(SendMessage(track, TBM_GETRANGEMIN, 0, 0), -12);
}

TEST_F(ControlsTest, ScrollBarKeepsPositionWithinRangeAndPage) {
    HWND bar = Make(WC_SCROLLBAR, SBS_HORZ, 10, 10, 150, 14, 1042);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 99, 20, 95, 0};
    EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &info, TRUE), 80);  // the last full page starts at 80
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, -5, TRUE), 80);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
    int low = 1, high = 1;
    EXPECT_TRUE(GetScrollRange(bar, SB_CTL, &low, &high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 99);
    // Taps report; the bar itself stays where the owner put it.
    RECT rc{};
    GetClientRect(bar, &rc);
    ui.Tap(ScreenPoint(bar, rc.right - 3, 5));
    ui.Tap(ScreenPoint(bar, rc.right - 30, 5));
    EXPECT_EQ(Codes(WM_HSCROLL), (std::vector<int>{SB_LINERIGHT, SB_ENDSCROLL, SB_PAGERIGHT, SB_ENDSCROLL}));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
    EXPECT_FALSE(GetScrollInfo(nullptr, SB_CTL, &info));
    EXPECT_EQ(SetScrollInfo(bar, SB_CTL, nullptr, TRUE), 0);
}

TEST_F(ControlsTest, FrameBarOfAnyWindowKeepsItsOwnRangeAndReportsToIt) {
    HWND window = Make(L"ControlsTestParent", WS_VSCROLL, 10, 10, 100, 100, 5);
    HWND other = Make(L"ControlsTestParent", WS_VSCROLL, 10, 120, 100, 100, 6);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 9, 4, 0, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    ui.RunUntilIdle();
    // The bar shows in the frame: its down arrow's frame is drawn in ink.
    RECT rc{};
    GetWindowRect(window, &rc);
    EXPECT_EQ(ui.Pixel(rc.right - 1, rc.bottom - 5), GetSysColor(COLOR_WINDOWFRAME));
    // A tap on it is heard by the window's own procedure, here the recording parent's.
    Clear();
    ui.Tap(POINT{rc.right - 4, rc.bottom - 4});
    EXPECT_EQ(Codes(WM_VSCROLL), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front().id, 0);               // from the frame, not from a control
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 0);  // the window moves it, not the bar
    EXPECT_EQ(SetScrollPos(window, SB_VERT, 9, TRUE), 0);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 6);  // the last page starts at 6
    EXPECT_EQ(GetScrollPos(other, SB_VERT), 0);
    SCROLLINFO back{sizeof back, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &back));
    EXPECT_EQ(back.nMax, 9);
    EXPECT_EQ(back.nPage, 4u);
    // A page larger than the range is cut to it.
    info.nPage = 50;
    SetScrollInfo(window, SB_VERT, &info, FALSE);
    GetScrollInfo(window, SB_VERT, &back);
    EXPECT_EQ(back.nPage, 10u);
    EXPECT_EQ(back.nPos, 0);
    DestroyWindow(window);
    EXPECT_FALSE(GetScrollInfo(window, SB_VERT, &back));
}

TEST_F(ControlsTest, DatePickerChangesByKeysAndCalendarAndReports) {
    HWND picker = Make(DATETIMEPICK_CLASS, DTS_LONGDATEFORMAT, 10, 10, 200, 24, 1015);
    SYSTEMTIME st{2026, 1, 0, 31, 17, 45, 0, 0};
    ASSERT_TRUE(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)));
    SYSTEMTIME got{};
    ASSERT_EQ(SendMessage(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got)),
              static_cast<LRESULT>(GDT_VALID));
    EXPECT_EQ(got.wDay, 31);
    EXPECT_EQ(got.wDayOfWeek, 6);  // a Saturday
    EXPECT_EQ(got.wHour, 17);      // the time of day is kept
    EXPECT_TRUE(Codes(WM_NOTIFY).empty());
    SYSTEMTIME bad{2026, 2, 0, 30, 0, 0, 0, 0};
    EXPECT_FALSE(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&bad)));
    EXPECT_FALSE(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0));

    // The first field takes the keys; moving right reaches the month.
    SetFocus(picker);
    ui.Key(VK_UP);
    ASSERT_FALSE(Codes(WM_NOTIFY).empty());
    EXPECT_EQ(Codes(WM_NOTIFY).back(), -759);
    EXPECT_EQ(lastDate.dwFlags, GDT_VALID);
    SendMessage(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    bool dayOrMonthMoved = got.wDay != 31 || got.wMonth != 1;
    EXPECT_TRUE(dayOrMonthMoved);
    // Month up from 31 January lands on the last of February.
    SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    SendMessage(picker, DTM_SETFORMAT, 0, reinterpret_cast<LPARAM>(L"MMMM d, yyyy"));
    SetFocus(parent);
    SetFocus(picker);
    ui.Key(VK_HOME);
    ui.Key(VK_UP);
    SendMessage(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.wMonth, 2);
    EXPECT_EQ(got.wDay, 28);
    EXPECT_EQ(lastDate.st.wDay, 28);
    ui.Key(VK_RIGHT);  // the day
    ui.Key(VK_UP);     // wraps within the month
    SendMessage(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.wMonth, 2);
    EXPECT_EQ(got.wDay, 1);

    // The drop-down calendar: a tap on a day sets it and reports.
    Clear();
    RECT rc{};
    GetWindowRect(picker, &rc);
    ui.Tap(POINT{rc.right - 4, (rc.top + rc.bottom) / 2});
    HWND calendar = ui.FindByClass(L"ob_MonthCalendar");
    ASSERT_NE(calendar, nullptr);
    std::vector<int> codes = Codes(WM_NOTIFY);
    EXPECT_EQ(codes.front(), static_cast<int>(DTN_DROPDOWN));
    RECT cal{};
    GetClientRect(calendar, &cal);
    // Bottom-right cell of six weeks: February 2026 starts on a Sunday, so
    // the last cell is 14 March.
    ui.Tap(ScreenPoint(calendar, cal.right - 6, cal.bottom - 6));
    EXPECT_FALSE(IsWindow(calendar));
    SendMessage(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.wMonth, 3);
    EXPECT_EQ(got.wDay, 14);
    codes = Codes(WM_NOTIFY);
    EXPECT_NE(std::find(codes.begin(), codes.end(), -759), codes.end());
    EXPECT_EQ(codes.back(), static_cast<int>(DTN_CLOSEUP));
}

TEST_F(ControlsTest, DatePickerCalendarStaysOnTheScreenWhenNeitherBelowNorAboveHasRoom) {
    // A tall picker across the middle of the screen: the calendar fits
    // neither under it nor over it, so it rises as far as the screen needs.
    const POINT origin = ScreenPoint(parent, 0, 0);
    HWND picker = Make(DATETIMEPICK_CLASS, 0, 10, 140 - origin.y, 200, 70);
    RECT rc{};
    GetWindowRect(picker, &rc);
    ui.Tap(POINT{rc.right - 4, (rc.top + rc.bottom) / 2});
    HWND calendar = ui.FindByClass(L"ob_MonthCalendar");
    ASSERT_NE(calendar, nullptr);
    RECT cal{}, screen{};
    GetWindowRect(calendar, &cal);
    SystemParametersInfo(SPI_GETWORKAREA, 0, &screen, 0);
    EXPECT_LE(cal.bottom, screen.bottom);
    EXPECT_GE(cal.top, screen.top);
    EXPECT_GT(cal.bottom, rc.bottom) << "below would not fit";
}

TEST_F(ControlsTest, DatePickerCalendarByKeys) {
    HWND picker = Make(DATETIMEPICK_CLASS, DTS_LONGDATEFORMAT, 10, 10, 200, 24, 1015);
    SYSTEMTIME st{2026, 1, 0, 31, 12, 0, 0, 0};
    SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    SetFocus(picker);
    ui.Key(VK_F4);
    ASSERT_NE(ui.FindByClass(L"ob_MonthCalendar"), nullptr);
    EXPECT_EQ(SendMessage(picker, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    Clear();
    for (UINT key : {VK_RIGHT, VK_DOWN, VK_PRIOR, VK_LEFT, VK_UP})  // 1 Feb, 8 Feb, 8 Jan, 7 Jan, 31 Dec
        ui.Key(key);
    EXPECT_TRUE(Codes(WM_NOTIFY).empty()) << "nothing is chosen until Enter";
    ui.Key(VK_RETURN);
    EXPECT_EQ(ui.FindByClass(L"ob_MonthCalendar"), nullptr);
    SYSTEMTIME got{};
    SendMessage(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.wYear, 2025);
    EXPECT_EQ(got.wMonth, 12);
    EXPECT_EQ(got.wDay, 31);
    EXPECT_EQ(got.wHour, 12);
    std::vector<int> codes = Codes(WM_NOTIFY);
    EXPECT_NE(std::find(codes.begin(), codes.end(), -759), codes.end());

    // Alt+Down opens it too; Escape closes it with the date unchanged.
    ob::ui::InjectKey(VK_MENU, true);
    ui.Key(VK_DOWN);
    ob::ui::InjectKey(VK_MENU, false);
    ui.RunUntilIdle();
    ASSERT_NE(ui.FindByClass(L"ob_MonthCalendar"), nullptr);
    ui.Key(VK_RIGHT);
    ui.Key(VK_ESCAPE);
    EXPECT_EQ(ui.FindByClass(L"ob_MonthCalendar"), nullptr);
    SendMessage(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.wDay, 31);
}
