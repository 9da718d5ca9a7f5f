// The shell: the menu bar from a menu resource with drop-down buttons, the
// navigation bar's title and "ok" for full-screen dialogs, tap-and-hold with
// its notification, the input panel calls, the work area, the wait cursor.
#include "platform/ui/Shell.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "platform/ui/win/WindowSystem.h"

#include "platform/kernel/Clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using ob::ui::testing::UiDriver;

namespace {

std::vector<std::string>* g_log = nullptr;
POINT g_gesturePoint{};
DWORD g_gestureResult = 0;

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND && g_log)
        g_log->push_back("command " + std::to_string(LOWORD(w)));
    if (m == WM_INITMENUPOPUP && g_log) {
        g_log->push_back("initmenupopup " + std::to_string(LOWORD(static_cast<DWORD>(l))));
        CheckMenuItem(reinterpret_cast<HMENU>(w), 40028, MF_BYCOMMAND | MF_CHECKED);
    }
    if (m == WM_NOTIFY && g_log) {
        auto* nm = reinterpret_cast<NMRGINFO*>(l);
        g_log->push_back("notify " + std::to_string(nm->hdr.idFrom) + " " + std::to_string(nm->hdr.code));
        g_gesturePoint = nm->ptAction;
    }
    return DefWindowProc(h, m, w, l);
}

// A list-like child that asks the shell whether the pen is being held.
LRESULT ListProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_LBUTTONDOWN) {
        SHRGINFO rg{sizeof(SHRGINFO), h, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, SHRG_NOTIFYPARENT};
        g_gestureResult = SHRecognizeGesture(&rg);
        return 0;
    }
    if (m == WM_LBUTTONUP && g_log)
        g_log->push_back("list up");
    return DefWindowProc(h, m, w, l);
}

LRESULT DoneDlgProc(HWND h, UINT m, WPARAM w, LPARAM) {
    if (m == WM_INITDIALOG) {
        SHINITDLGINFO info{SHIDIM_FLAGS, h,
                           SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU};
        EXPECT_EQ(info.dwFlags, 45u);
        EXPECT_TRUE(SHInitDialog(&info));
        SetWindowText(h, L"Options");
        return TRUE;
    }
    if (m == WM_COMMAND && (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL)) {
        EndDialog(h, LOWORD(w));
        return TRUE;
    }
    return FALSE;
}

class Shell : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        g_log = &log;
        WNDCLASS wc{};
        wc.lpfnWndProc = FrameProc;
        wc.lpszClassName = L"Frame";
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        ASSERT_NE(RegisterClass(&wc), 0);
        wc.lpfnWndProc = ListProc;
        wc.lpszClassName = L"List";
        ASSERT_NE(RegisterClass(&wc), 0);
        ob::ui::ClearResources();
        ob::ui::RegisterString(40006, L"File");
        ob::ui::RegisterString(104, L"View");
        ob::ui::MenuResource menu;
        menu.items = {
            {L"File",
             0,
             0,
             {{L"About Orbelline...", 40003, 0, {}}, {L"", 0, MF_SEPARATOR, {}}, {L"Exit", 40007, 0, {}}}},
            {L"View",
             0,
             0,
             {{L"World Map", 40027, 0, {}}, {L"Time Planner", 40028, 0, {}}, {L"Weather", 40032, 0, {}}}},
        };
        ob::ui::RegisterMenu(103, menu);
        ob::ui::RegisterMenuBar(103, {103, {{40004, 40006, 0, L""}, {40008, 104, 1, L""}}});
        DLGTEMPLATE dlg;
        dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        dlg.cx = 100;
        dlg.cy = 80;
        dlg.title = L"Options";
        ob::ui::RegisterDialog(106, dlg);
    }
    void TearDown() override {
        g_log = nullptr;
        ob::ui::ClearResources();
    }
    HWND MakeFrame() {
        HWND f = CreateWindowEx(0, L"Frame", L"Orbelline", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        SHMENUBARINFO mb{sizeof(SHMENUBARINFO), f, 0, 103, nullptr, 0, 0, nullptr, 0};
        EXPECT_TRUE(SHCreateMenuBar(&mb));
        bar = mb.hwndMB;
        return f;
    }
    std::string Shot(const std::string& name) {
        return UiDriver::OutputPath(name + "_" + GetParam() + ".png");
    }
    UiDriver ui{GetParam()};
    std::vector<std::string> log;
    HWND bar = nullptr;
};

TEST_P(Shell, MenuBarDropDownsCommandsAndTheWorkArea) {
    HWND frame = MakeFrame();
    ASSERT_NE(bar, nullptr);
    RECT fr, br, work;
    GetWindowRect(frame, &fr);
    GetWindowRect(bar, &br);
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(br.bottom, h);
    EXPECT_EQ(br.right, w);
    EXPECT_EQ(fr.top, work.top);     // a default frame starts below the navigation bar
    EXPECT_EQ(work.bottom, br.top);  // and the work area ends at the menu bar
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, 40008)) != nullptr, true);
    ui.RunUntilIdle();
    // Tap "View": the frame hears WM_INITMENUPOPUP for popup 1, then a tap on
    // "Weather" sends its command.
    ui.WhenIdle([&] {
        HWND popup = FindWindow(L"#32768", nullptr);
        ASSERT_NE(popup, nullptr);
        RECT pr;
        GetWindowRect(popup, &pr);
        EXPECT_EQ(pr.bottom, br.top);  // it opens upwards from the bar
        ui.Screenshot(Shot("menubar_popup"));
        ob::ui::InjectPen(0, POINT{pr.left + 10, pr.bottom - 8});
        ob::ui::InjectPen(2, POINT{pr.left + 10, pr.bottom - 8});
    });
    RECT viewButton = br;
    viewButton.left += w / 4;  // "View" is the second button
    ui.Tap(POINT{br.left + ob::ui::Scale(45), (br.top + br.bottom) / 2});
    ui.RunUntilIdle();
    std::vector<std::string> expected{"initmenupopup 1", "command 40032"};
    EXPECT_EQ(log, expected);
    EXPECT_NE(GetMenuState(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, 40008)), 40028,
                           MF_BYCOMMAND) &
                  MF_CHECKED,
              0u);
    // The input panel calls do nothing and never fail.
    SHACTIVATEINFO sai{sizeof(SHACTIVATEINFO), nullptr, 0, 0, 0, 0};
    EXPECT_TRUE(SHHandleWMActivate(frame, 0, 0, &sai, 0));
    EXPECT_TRUE(SHHandleWMSettingChange(frame, 0, 0, &sai));
    EXPECT_TRUE(SHSipPreference(frame, SIP_UP));
    EXPECT_TRUE(SipShowIM(SIPF_ON));
    // The bar goes with its owner.
    DestroyWindow(frame);
    EXPECT_FALSE(IsWindow(bar));
}

TEST_P(Shell, FullScreenDialogWithDoneInTheNavigationBar) {
    HWND frame = MakeFrame();
    RECT dr{};
    ui.WhenIdle([&] {
        HWND dlg = GetActiveWindow();
        GetWindowRect(dlg, &dr);
        ui.Screenshot(Shot("fullscreen_dialog"));
        // "ok" sits at the right end of the navigation bar.
        ui.Tap(POINT{GetSystemMetrics(SM_CXSCREEN) - ob::ui::Scale(14), ob::ui::Scale(13)});
    });
    INT_PTR r = DialogBoxParam(nullptr, MAKEINTRESOURCE(106), frame, DoneDlgProc, 0);
    EXPECT_EQ(r, IDOK);
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(dr.left, 0);
    EXPECT_EQ(dr.top, work.top);
    EXPECT_EQ(dr.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(dr.bottom, work.bottom);
    EXPECT_EQ(GetActiveWindow(), frame);
}

TEST_P(Shell, TapAndHoldNotifiesTheParentWithTheScreenPoint) {
    HWND frame = MakeFrame();
    HWND list = CreateWindowEx(0, L"List", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 150, frame,
                               reinterpret_cast<HMENU>(1001), nullptr, nullptr);
    ui.RunUntilIdle();
    RECT lr;
    GetWindowRect(list, &lr);
    POINT p{lr.left + 30, lr.top + 40};
    // A tap is not a hold: the pen-up reaches the list.
    g_gestureResult = 99;
    ui.Tap(p);
    EXPECT_EQ(g_gestureResult, 0u);
    EXPECT_EQ(log, std::vector<std::string>{"list up"});
    // Nor when the lift was already waiting and the clock moved on before
    // the list asked (a busy program): input stamped before the question
    // does not count as after the delay.
    g_gestureResult = 99;
    ui.PenDown(p);
    ui.PenUp(p);
    ob::kernel::AdvanceVirtualClock(5 * ob::kernel::kTicksPerMillisecond);
    ui.RunUntilIdle();
    EXPECT_EQ(g_gestureResult, 0u);
    // Held for less than half a second, still not.
    log.clear();
    ui.Hold(p, 300);
    EXPECT_EQ(g_gestureResult, 0u);
    // Held long enough: code 1000 from control 1001 with the point on the screen.
    log.clear();
    ui.Hold(p, 600);
    EXPECT_EQ(g_gestureResult, GN_CONTEXTMENU);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "notify 1001 1000");
    EXPECT_EQ(g_gesturePoint.x, p.x);
    EXPECT_EQ(g_gesturePoint.y, p.y);
    // A pen that wanders off is no hold either.
    ui.PenDown(p);
    ui.PenMove(POINT{p.x + 30, p.y});
    ui.PenUp(POINT{p.x + 30, p.y});
    ui.RunUntilIdle();
    EXPECT_EQ(g_gestureResult, 0u);
    EXPECT_EQ(SHRecognizeGesture(nullptr), 0u);
}

TEST_P(Shell, WaitCursorShowsOverTheScreen) {
    MakeFrame();
    ui.RunUntilIdle();
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    std::vector<COLORREF> before;
    for (int dx = -20; dx <= 20; dx += 4)
        before.push_back(ui.Pixel(cx + ob::ui::Scale(dx / 2), cy));
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    ui.Screenshot(Shot("wait_cursor"));
    std::vector<COLORREF> during;
    for (int dx = -20; dx <= 20; dx += 4)
        during.push_back(ob::ui::ScreenPixel(cx + ob::ui::Scale(dx / 2), cy));
    EXPECT_NE(before, during);
    SetCursor(old);
    std::vector<COLORREF> after;
    for (int dx = -20; dx <= 20; dx += 4)
        after.push_back(ui.Pixel(cx + ob::ui::Scale(dx / 2), cy));
    EXPECT_EQ(before, after);
}

INSTANTIATE_TEST_SUITE_P(Screens, Shell, ::testing::Values("240x320", "480x640"));

}  // namespace

namespace {

TEST(ShellTitle, NavigationBarFollowsTheActiveWindowsTitle) {
    UiDriver ui("240x320");
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = L"Titled";
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClass(&wc);
    HWND a = CreateWindowEx(0, L"Titled", L"Orbelline", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ui.RunUntilIdle();
    auto bar = [&] {
        std::vector<COLORREF> px;
        for (int x = 30; x < 200; x += 2)
            for (int y = 6; y < 20; y += 2)
                px.push_back(ui.Pixel(x, y));
        return px;
    };
    auto first = bar();
    SetWindowText(a, L"Time Planner");
    auto renamed = bar();
    EXPECT_NE(first, renamed);
    // Another window's title only shows once that window is active.
    HWND b = CreateWindowEx(0, L"Titled", L"Orbelline", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(bar(), first);
    SetWindowText(a, L"Weather");  // inactive now: the bar keeps b's title
    EXPECT_EQ(bar(), first);
    DestroyWindow(b);
    EXPECT_NE(bar(), first);  // a is active again with its new title
}

TEST(ShellGesture, ReturnsTheCommandWithoutNotifyingAndTimersRunInsideModalLoops) {
    UiDriver ui("240x320");
    static int ticks = 0;
    static int notifies = 0;
    WNDCLASS wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_TIMER)
            ++ticks;
        if (m == WM_NOTIFY)
            ++notifies;
        return DefWindowProc(h, m, w, l);
    };
    wc.lpszClassName = L"Host";
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClass(&wc);
    HWND host = CreateWindowEx(0, L"Host", L"Host", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowEx(0, L"Host", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, host, nullptr,
                                nullptr, nullptr);
    ui.RunUntilIdle();
    ui.PenDown(POINT{50, 80});
    ui.RunUntilIdle();
    ui.WhenIdle([] { ob::kernel::AdvanceVirtualClock(700 * ob::kernel::kTicksPerMillisecond); });
    SHRGINFO rg{sizeof(SHRGINFO), child, POINT{50, 54}, SHRG_RETURNCMD};
    EXPECT_EQ(SHRecognizeGesture(&rg), GN_CONTEXTMENU);
    EXPECT_EQ(notifies, 0);
    ui.PenUp(POINT{50, 80});
    ui.RunUntilIdle();
    // A view's one-second timer keeps ticking while a message box is open.
    SetTimer(host, 1002, 1000, nullptr);
    ui.WhenIdle([&] { ui.Advance(3000); });
    ui.WhenIdle([] {
        ob::ui::InjectKey(VK_RETURN, true);
        ob::ui::InjectKey(VK_RETURN, false);
    });
    EXPECT_EQ(MessageBox(host, L"Saved.", L"Orbelline", MB_OK), IDOK);
    EXPECT_EQ(ticks, 3);
}

}  // namespace
