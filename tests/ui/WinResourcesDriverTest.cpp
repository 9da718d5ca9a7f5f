// Resources, menu editing, z-order, the dialog result protocol, double taps,
// loop sources, closing from the display, screen modes, and the test
// driver's own finding, dumping and screenshots.
#include "platform/ui/Controls.h"
#include "platform/ui/Windows.h"
#include "platform/ui/display/Display.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/win/ResourceRegistry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using ob::ui::testing::UiDriver;

namespace {

std::vector<std::string>* g_log = nullptr;

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (g_log) {
        if (m == WM_LBUTTONDBLCLK)
            g_log->push_back("dblclk");
        if (m == WM_LBUTTONDOWN)
            g_log->push_back("down");
        if (m == WM_USER)
            g_log->push_back("user " + std::to_string(w));
        if (m == WM_CLOSE)
            g_log->push_back("close");
        if (m == WM_INITMENUPOPUP)
            g_log->push_back("init " + std::to_string(LOWORD(static_cast<DWORD>(l))));
    }
    return DefWindowProc(h, m, w, l);
}

class WinMisc : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = &log;
        WNDCLASS wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = L"Misc";
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        ASSERT_NE(RegisterClass(&wc), 0);
        ob::ui::ClearResources();
    }
    void TearDown() override {
        g_log = nullptr;
        ob::ui::ClearResources();
    }
    HWND Make(const wchar_t* text, HWND parent = nullptr, int id = 0, RECT r = {0, 30, 240, 290}) {
        return CreateWindowEx(0, L"Misc", text, WS_VISIBLE | (parent ? WS_CHILD : WS_POPUP), r.left, r.top,
                              r.right - r.left, r.bottom - r.top, parent,
                              reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    }
    UiDriver ui;
    std::vector<std::string> log;
};

TEST_F(WinMisc, StringsDataAndBitmapsFromTheRegistry) {
    ob::ui::RegisterString(1034, L"Orbelline");
    wchar_t buf[16];
    EXPECT_EQ(LoadString(nullptr, 1034, buf, 16), 9);
    EXPECT_EQ(std::wstring(buf), L"Orbelline");
    EXPECT_EQ(LoadString(nullptr, 1034, buf, 4), 3);  // cut to the buffer
    EXPECT_EQ(std::wstring(buf), L"Orb");
    EXPECT_EQ(LoadString(nullptr, 7777, buf, 16), 0);
    EXPECT_EQ(buf[0], 0);

    ob::ui::RegisterData(L"IMAGE", 201, {1, 2, 3, 4, 5});
    HRSRC res = FindResource(nullptr, MAKEINTRESOURCE(201), L"image");  // the type ignores case
    ASSERT_NE(res, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, res), 5u);
    auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, res)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[4], 5);
    EXPECT_EQ(FindResource(nullptr, MAKEINTRESOURCE(202), L"IMAGE"), nullptr);
    EXPECT_EQ(FindResource(nullptr, MAKEINTRESOURCE(201), L"OTHER"), nullptr);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(FindResource(nullptr, L"#201", L"IMAGE"), res);

    // A 2x1 24-bit BMP decodes; bytes that are not a picture give no bitmap.
    std::vector<std::uint8_t> bmp = {'B', 'M', 62, 0, 0, 0, 0, 0, 0,   0,   54,  0,   0,  0, 40, 0,
                                     0,   0,   2,  0, 0, 0, 1, 0, 0,   0,   1,   0,   24, 0, 0,  0,
                                     0,   0,   8,  0, 0, 0, 0, 0, 0,   0,   0,   0,   0,  0, 0,  0,
                                     0,   0,   0,  0, 0, 0, 0, 0, 255, 255, 255, 255, 0,  0};
    ob::ui::RegisterBitmap(110, bmp);
    ob::ui::RegisterBitmap(111, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
    HBITMAP good = LoadBitmap(nullptr, MAKEINTRESOURCE(110));
    ASSERT_NE(good, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObject(good, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 2);
    DeleteObject(good);
    EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(111)), nullptr);
    EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(112)), nullptr);
}

TEST_F(WinMisc, MenusAreEditableAndSubMenusAnnounceThemselves) {
    HMENU popup = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    EXPECT_TRUE(AppendMenu(sub, MF_STRING, 21, L"Kilometres"));
    EXPECT_TRUE(AppendMenu(sub, MF_STRING, 22, L"Miles"));
    EXPECT_TRUE(AppendMenu(popup, MF_STRING, 11, L"A"));
    EXPECT_TRUE(AppendMenu(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"Units"));
    EXPECT_TRUE(InsertMenu(popup, 0, MF_BYPOSITION | MF_STRING, 10, L"First"));
    EXPECT_EQ(GetMenuItemID(popup, 0), 10u);
    EXPECT_EQ(GetMenuItemID(popup, 2), static_cast<UINT>(-1));  // a sub-menu has no id
    EXPECT_EQ(GetSubMenu(popup, 2), sub);
    // By command, calls reach into sub-menus.
    EXPECT_TRUE(CheckMenuRadioItem(sub, 21, 22, 22, MF_BYCOMMAND));
    EXPECT_NE(GetMenuState(popup, 22, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(popup, 21, MF_BYCOMMAND) & MF_CHECKED, 0u);
    MENUITEMINFO mii{
        sizeof(MENUITEMINFO), MIIM_STATE | MIIM_TYPE, 0, 0, 0, nullptr, nullptr, nullptr, 0, nullptr, 0};
    wchar_t text[16];
    mii.dwTypeData = text;
    mii.cch = 16;
    ASSERT_TRUE(GetMenuItemInfo(popup, 22, FALSE, &mii));
    EXPECT_EQ(std::wstring(text), L"Miles");
    EXPECT_NE(mii.fState & MFS_CHECKED, 0u);
    EXPECT_TRUE(DeleteMenu(popup, 11, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(popup), 2);
    EXPECT_FALSE(DeleteMenu(popup, 11, MF_BYCOMMAND));

    // Opening the cascade tells the owner the sub-menu's position.
    HWND owner = Make(L"owner");
    ui.RunUntilIdle();
    ui.WhenIdle([&] {
        HWND first = FindWindow(L"#32768", nullptr);
        RECT r;
        GetWindowRect(first, &r);
        int row = (r.bottom - r.top) / 2;
        ob::ui::InjectPen(0, POINT{r.left + 10, r.top + row + row / 2});  // "Units"
        ob::ui::InjectPen(2, POINT{r.left + 10, r.top + row + row / 2});
    });
    ui.WhenIdle([&] {
        ob::ui::InjectKey(VK_DOWN, true);
        ob::ui::InjectKey(VK_RETURN, true);
    });
    EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 30, 60, 0, owner, nullptr), 21);
    std::vector<std::string> expected{"init 0", "init 1"};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(DestroyMenu(popup));
    EXPECT_FALSE(IsMenu(sub));  // destroyed with its parent menu
}

TEST_F(WinMisc, ZOrderAndDialogResultProtocol) {
    HWND parent = Make(L"parent");
    HWND a = Make(L"a", parent, 1, {0, 0, 50, 50});
    HWND b = Make(L"b", parent, 2, {0, 0, 50, 50});
    HWND c = Make(L"c", parent, 3, {0, 0, 50, 50});
    // Children line up in creation order (a dialog's tab order).
    EXPECT_EQ(GetWindow(parent, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
    SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), c);
    EXPECT_EQ(WindowFromPoint(POINT{10, 40}), c);  // the front one takes the pen
    SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(b, GW_HWNDLAST), c);
    EXPECT_EQ(WindowFromPoint(POINT{10, 40}), a);
    POINT pt{5, 5};
    MapWindowPoints(b, nullptr, &pt, 1);
    EXPECT_EQ(pt.y, 35);
    EXPECT_EQ(ChildWindowFromPoint(parent, POINT{100, 100}), parent);

    // A dialog procedure answers through DWLP_MSGRESULT; WM_CLOSE cancels.
    DLGTEMPLATE t;
    t.style = WS_POPUP;
    t.cx = 80;
    t.cy = 40;
    HWND dlg = CreateDialogIndirectParam(
        nullptr, &t, parent,
        [](HWND h, UINT m, WPARAM w, LPARAM) -> LRESULT {
            if (m == WM_USER) {
                SetWindowLongPtr(h, DWLP_MSGRESULT, 1234);
                return TRUE;
            }
            if (m == WM_CTLCOLORDLG)
                return 77;  // answered straight back
            if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) {
                EndDialog(h, 99);
                return TRUE;
            }
            return FALSE;
        },
        0);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(SendMessage(dlg, WM_USER, 0, 0), 1234);
    EXPECT_EQ(SendMessage(dlg, WM_CTLCOLORDLG, 0, 0), 77);
    SendMessage(dlg, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(dlg));  // ended: hidden, for its owner to destroy
    EXPECT_TRUE(DestroyWindow(dlg));
}

TEST_F(WinMisc, DoubleTapsOnlyForClassesThatAskAndCloseRequests) {
    HWND w = Make(L"w");
    ui.RunUntilIdle();
    ui.Tap(POINT{50, 100});
    ui.Tap(POINT{51, 101});
    EXPECT_EQ(log, (std::vector<std::string>{"down", "dblclk"}));
    log.clear();
    ui.Tap(POINT{50, 100});
    ui.Advance(600);  // too slow for a double tap
    ui.Tap(POINT{50, 100});
    EXPECT_EQ(log, (std::vector<std::string>{"down", "down"}));
    // Closing the display asks the program's windows to close, then ends the loop.
    log.clear();
    ob::ui::RequestClose();
    MSG msg;
    int got = 0;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        DispatchMessage(&msg);
        ++got;
    }
    EXPECT_EQ(log, std::vector<std::string>{"close"});
    EXPECT_FALSE(IsWindow(w));  // the default answer to WM_CLOSE destroys the window
}

TEST_F(WinMisc, LoopSourcesWakeTheLoop) {
    HWND w = Make(L"w");
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ob::ui::AddLoopSource(fds[0], [&] {
        char c;
        if (read(fds[0], &c, 1) == 1)
            PostMessage(w, WM_USER, static_cast<WPARAM>(c), 0);
    });
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    MSG msg;
    // Nothing is queued: the loop waits, finds the descriptor ready and runs it.
    while (GetMessage(&msg, nullptr, 0, 0)) {
        DispatchMessage(&msg);
        if (msg.message == WM_USER)
            break;
    }
    EXPECT_EQ(log.back(), "user 120");
    ob::ui::RemoveLoopSource(fds[0]);
    close(fds[0]);
    close(fds[1]);
}

TEST_F(WinMisc, ScreenModesAndTheDriver) {
    ob::ui::ScreenMode m;
    EXPECT_TRUE(ob::ui::ParseScreenMode("480x640", m));
    EXPECT_EQ(m.dpi, 192);
    EXPECT_TRUE(ob::ui::ParseScreenMode("320x240", m));
    EXPECT_EQ(m.dpi, 96);
    EXPECT_TRUE(ob::ui::ParseScreenMode("800x480", m));
    EXPECT_EQ(m.dpi, 192);
    EXPECT_TRUE(ob::ui::ParseScreenMode("240x400", m));
    EXPECT_EQ(m.dpi, 96);
    EXPECT_TRUE(ob::ui::ParseScreenMode("640x480@96", m));
    EXPECT_EQ(m.dpi, 96);
    // Below 240 pixels of the 96-dpi screen, an unknown density, no size.
    EXPECT_FALSE(ob::ui::ParseScreenMode("239x320", m));
    EXPECT_FALSE(ob::ui::ParseScreenMode("400x600@192", m));
    EXPECT_FALSE(ob::ui::ParseScreenMode("240x320@120", m));
    EXPECT_FALSE(ob::ui::ParseScreenMode("240x320@", m));
    EXPECT_FALSE(ob::ui::ParseScreenMode("240x", m));
    EXPECT_FALSE(ob::ui::ParseScreenMode("x320", m));

    HWND top = Make(L"Top");
    HWND child = Make(L"Needle", top, 42, {10, 10, 60, 40});
    EXPECT_EQ(ui.FindById(42), child);
    EXPECT_EQ(ui.FindByText(L"Needle"), child);
    EXPECT_EQ(ui.FindByClass(L"misc", top), child);
    EXPECT_EQ(ui.FindById(43), nullptr);
    EnableWindow(child, FALSE);
    std::string tree = ui.DumpTree(top);
    EXPECT_NE(tree.find("Misc \"Top\" (0,30)-(240,290) visible"), std::string::npos) << tree;
    EXPECT_NE(tree.find("  Misc #42 \"Needle\" (10,40)-(60,70) visible disabled"), std::string::npos) << tree;

    // Controls report their state in the dump.
    InitCommonControls();
    HWND list = CreateWindowEx(0, WC_LISTBOX, L"", WS_CHILD | WS_VISIBLE, 0, 100, 100, 60, top,
                               reinterpret_cast<HMENU>(7), nullptr, nullptr);
    HWND check = CreateWindowEx(0, WC_BUTTON, L"Metric", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, 170, 100,
                                20, top, reinterpret_cast<HMENU>(8), nullptr, nullptr);
    ASSERT_TRUE(list && check);
    for (const wchar_t* s : {L"Berlin", L"Bremen", L"Cologne"})
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessage(list, LB_SETCURSEL, 1, 0);
    SendMessage(check, BM_SETCHECK, BST_CHECKED, 0);
    tree = ui.DumpTree(top);
    EXPECT_NE(tree.find("ListBox #7 \"\" (0,130)"), std::string::npos) << tree;
    EXPECT_NE(tree.find("visible selected=1\n"), std::string::npos) << tree;
    EXPECT_NE(tree.find("#8 \"Metric\" (0,200)-(100,220) visible checked"), std::string::npos) << tree;

    std::string path = UiDriver::OutputPath("driver_shot.png");
    ASSERT_TRUE(ui.Screenshot(path));
    std::ifstream in(path, std::ios::binary);
    char sig[8] = {};
    in.read(sig, 8);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    EXPECT_EQ(ui.Pixel(-1, 5), 0xFFFFFFFFu);  // outside the screen
}

}  // namespace
