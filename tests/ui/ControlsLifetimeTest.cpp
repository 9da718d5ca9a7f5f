// Controls that the parent destroys from inside their own notifications.
#include "ControlsFixture.h"

#include <functional>

using controls_test::ControlsTest;

namespace {

// A parent that runs `react` on every WM_COMMAND/WM_NOTIFY it hears.
std::function<void(UINT, WPARAM, LPARAM)> g_react;

LRESULT ReactingParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == WM_COMMAND || msg == WM_NOTIFY) && g_react)
        g_react(msg, wParam, lParam);
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

class LifetimeTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        WNDCLASS wc{};
        wc.lpfnWndProc = ReactingParent;
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        wc.lpszClassName = L"ReactingParent";
        RegisterClass(&wc);
        host = CreateWindowEx(0, L"ReactingParent", L"", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr,
                              nullptr, nullptr);
    }
    void TearDown() override {
        g_react = nullptr;
        if (IsWindow(host))
            DestroyWindow(host);
        ControlsTest::TearDown();
    }
    HWND Child(LPCWSTR cls, DWORD style, int x, int y, int w, int h, int id, LPCWSTR text = L"") {
        HWND hwnd =
            CreateWindowEx(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, host,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
        ui.RunUntilIdle();
        return hwnd;
    }
    // Destroys `victim` the first time the parent hears `code` from it.
    void DestroyOn(HWND* victim, int code) {
        g_react = [victim, code](UINT msg, WPARAM wParam, LPARAM lParam) {
            int heardCode =
                msg == WM_COMMAND ? HIWORD(wParam) : static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->code);
            if (heardCode == code && IsWindow(*victim))
                DestroyWindow(*victim);
        };
    }
    HWND host = nullptr;
};

}  // namespace

TEST_F(LifetimeTest, ControlsSurviveBeingDestroyedByTheirOwnNotifications) {
    HWND button = Child(WC_BUTTON, BS_AUTOCHECKBOX, 10, 10, 100, 16, 1, L"Check");
    DestroyOn(&button, BN_CLICKED);
    ui.Tap(button);
    EXPECT_FALSE(IsWindow(button));

    HWND list = Child(WC_LISTBOX, LBS_NOTIFY | WS_BORDER, 10, 30, 100, 60, 2);
    for (const wchar_t* t : {L"a", L"b", L"c"})
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    DestroyOn(&list, LBN_SELCHANGE);
    ui.Tap(list);
    EXPECT_FALSE(IsWindow(list));

    // The choice travels from the pop-up list through the combo box to the
    // parent, which destroys the combo box and with it the list.
    HWND combo = Child(WC_COMBOBOX, CBS_DROPDOWNLIST | WS_VSCROLL, 10, 100, 100, 80, 3);
    for (const wchar_t* t : {L"a", L"b", L"c"})
        SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    ui.Tap(combo);
    HWND dropped = ui.FindByClass(WC_COMBOLBOX);
    ASSERT_NE(dropped, nullptr);
    DestroyOn(&combo, CBN_SELENDOK);
    ui.Tap(ScreenPoint(dropped, 10, 5));
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_FALSE(IsWindow(dropped));

    HWND view = Child(WC_LISTVIEW, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL, 10, 130, 100, 60, 4);
    LVITEM item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<LPWSTR>(L"row");
    SendMessage(view, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    DestroyOn(&view, static_cast<int>(LVN_ITEMCHANGED));
    ui.Tap(ScreenPoint(view, 20, 5));
    EXPECT_FALSE(IsWindow(view));

    HWND picker = Child(DATETIMEPICK_CLASS, DTS_LONGDATEFORMAT, 10, 200, 200, 22, 5);
    RECT rc{};
    GetWindowRect(picker, &rc);
    ui.Tap(POINT{rc.right - 4, (rc.top + rc.bottom) / 2});
    HWND calendar = ui.FindByClass(L"ob_MonthCalendar");
    ASSERT_NE(calendar, nullptr);
    DestroyOn(&picker, -759);
    RECT cal{};
    GetClientRect(calendar, &cal);
    ui.Tap(ScreenPoint(calendar, cal.right / 2, cal.bottom - 6));
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_FALSE(IsWindow(calendar));
    ui.RunUntilIdle();
}

TEST_F(LifetimeTest, MessagesWithMissingPointersOrBadValuesFailQuietly) {
    HWND list = Child(WC_LISTBOX, LBS_MULTIPLESEL, 10, 10, 100, 60, 1);
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, 0), 0);  // no text: an empty item
    EXPECT_EQ(SendMessage(list, LB_GETTEXT, 0, 0), 0);    // length only
    EXPECT_EQ(SendMessage(list, LB_GETSELITEMS, 4, 0), 0);
    EXPECT_EQ(SendMessage(list, LB_GETITEMRECT, 0, 0), LB_ERR);
    HWND view = Child(WC_LISTVIEW, LVS_REPORT, 10, 80, 100, 60, 2);
    EXPECT_EQ(SendMessage(view, LVM_INSERTITEM, 0, 0), -1);
    EXPECT_FALSE(SendMessage(view, LVM_SETITEM, 0, 0));
    EXPECT_FALSE(SendMessage(view, LVM_GETITEM, 0, 0));
    EXPECT_FALSE(SendMessage(view, LVM_SETITEMSTATE, 0, 0));
    EXPECT_EQ(SendMessage(view, LVM_HITTEST, 0, 0), -1);
    EXPECT_EQ(SendMessage(view, LVM_INSERTCOLUMN, 0, 0), -1);
    LVITEM sub{};
    sub.mask = LVIF_TEXT;
    sub.iSubItem = 1;
    EXPECT_EQ(SendMessage(view, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&sub)),
              -1);  // sub-items are set, not inserted
    HWND picker = Child(DATETIMEPICK_CLASS, 0, 10, 150, 150, 22, 3);
    EXPECT_EQ(SendMessage(picker, DTM_GETSYSTEMTIME, 0, 0), GDT_ERROR);
    EXPECT_FALSE(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, 0));
    SYSTEMTIME nonsense{2026, 13, 0, 1, 0, 0, 0, 0};
    EXPECT_FALSE(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&nonsense)));
    HWND track = Child(TRACKBAR_CLASS, 0, 10, 180, 150, 30, 4);
    SendMessage(track, TBM_SETRANGE, FALSE, MAKELPARAM(10, 5));  // reversed: empty range at 10
    SendMessage(track, TBM_SETPOS, TRUE, 7);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(SendMessage(track, TBM_GETRANGEMAX, 0, 0), 10);
    SendMessage(track, TBM_SETTICFREQ, 0, 0);  // no endless tick loop
    ui.RunUntilIdle();
    // Anything sent to a destroyed control is answered with nothing.
    DestroyWindow(list);
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(InitCommonControlsEx(nullptr));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES};
    EXPECT_TRUE(InitCommonControlsEx(&icc));
}
