// Dialogs, menus and message boxes: templates in dialog units, the dialog
// procedure's protocol, keyboard navigation, nested modal loops, menu state
// on opening, commands from popups, and bad templates failing cleanly.
#include "platform/ui/Windows.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/win/ResourceRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using ob::ui::testing::UiDriver;

namespace {

std::vector<std::string>* g_log = nullptr;
std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> g_dlg;

// A small focusable control: wants no keys, takes tab stops, and reports
// BN_CLICKED-like commands to its parent when tapped.
LRESULT FieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONUP:
        SendMessage(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), 0),
                    reinterpret_cast<LPARAM>(hwnd));
        return 0;
    case WM_GETDLGCODE: return 0;
    default: return DefWindowProc(hwnd, msg, wp, lp);
    }
}

LRESULT DlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_dlg)
        return g_dlg(hwnd, msg, wp, lp);
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        if (g_log)
            g_log->push_back("end " + std::to_string(LOWORD(wp)));
        EndDialog(hwnd, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

DLGTEMPLATE SampleDialog() {
    DLGTEMPLATE t;
    t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    t.x = 0;
    t.y = 0;
    t.cx = 140;
    t.cy = 120;
    t.title = L"Sample";
    t.items = {
        {L"Field", L"one", 101, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 8, 8, 60, 12},
        {L"Field", L"two", 102, WS_VISIBLE | WS_TABSTOP, 0, 8, 24, 60, 12},
        {L"Field", L"label", 103, WS_VISIBLE, 0, 8, 40, 60, 12},
        {L"Field", L"three", 104, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 8, 56, 60, 12},
        {L"Field", L"OK", IDOK, WS_VISIBLE | WS_TABSTOP, 0, 8, 90, 40, 14},
    };
    return t;
}

class WinDialogMenu : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = &log;
        WNDCLASS wc{};
        wc.lpfnWndProc = FieldProc;
        wc.lpszClassName = L"Field";
        ASSERT_NE(RegisterClass(&wc), 0);
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (g_log) {
                if (m == WM_INITMENUPOPUP)
                    g_log->push_back("initmenupopup " + std::to_string(HIWORD(static_cast<DWORD>(l))) + " " +
                                     std::to_string(LOWORD(static_cast<DWORD>(l))));
                if (m == WM_COMMAND)
                    g_log->push_back("command " + std::to_string(LOWORD(w)));
            }
            if (m == WM_INITMENUPOPUP) {  // the owner sets the state as the menu opens
                CheckMenuItem(reinterpret_cast<HMENU>(w), 11, MF_BYCOMMAND | MF_CHECKED);
                EnableMenuItem(reinterpret_cast<HMENU>(w), 12, MF_BYCOMMAND | MF_GRAYED);
            }
            return DefWindowProc(h, m, w, l);
        };
        wc.lpszClassName = L"Owner";
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        ASSERT_NE(RegisterClass(&wc), 0);
        ob::ui::ClearResources();
        ob::ui::RegisterDialog(200, SampleDialog());
        ob::ui::MenuResource menu;
        menu.items = {{L"&File",
                       0,
                       0,
                       {{L"First", 11, 0, {}},
                        {L"Grey", 12, 0, {}},
                        {L"", 0, MF_SEPARATOR, {}},
                        {L"Last", 13, 0, {}}}}};
        ob::ui::RegisterMenu(300, menu);
        owner = CreateWindowEx(0, L"Owner", L"Owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        ui.RunUntilIdle();
    }
    void TearDown() override {
        g_log = nullptr;
        g_dlg = nullptr;
        ob::ui::ClearResources();
    }
    UiDriver ui;
    std::vector<std::string> log;
    HWND owner = nullptr;
};

TEST_F(WinDialogMenu, ModalDialogLayoutNavigationAndResult) {
    HWND seen = nullptr;
    RECT fieldRect{};
    std::vector<int> focusOrder;
    ui.WhenIdle([&] {
        seen = GetActiveWindow();
        EXPECT_FALSE(IsWindowEnabled(owner));  // the owner waits
        GetWindowRect(GetDlgItem(seen, 101), &fieldRect);
        focusOrder.push_back(GetDlgCtrlID(GetFocus()));
        // Tab and shift-tab walk the tab stops; the arrows stay in a group.
        ob::ui::InjectKey(VK_TAB, true);
        ob::ui::InjectKey(VK_TAB, false);
    });
    ui.WhenIdle([&] {
        focusOrder.push_back(GetDlgCtrlID(GetFocus()));
        ob::ui::InjectKey(VK_DOWN,
                          true);  // 102 -> wraps within 101..103 (103 has no tab stop but is in the group)
        ob::ui::InjectKey(VK_DOWN, false);
    });
    ui.WhenIdle([&] {
        focusOrder.push_back(GetDlgCtrlID(GetFocus()));
        ob::ui::InjectKey(VK_TAB, true);
        ob::ui::InjectKey(VK_TAB, false);
    });
    ui.WhenIdle([&] {
        focusOrder.push_back(GetDlgCtrlID(GetFocus()));
        ob::ui::InjectKey(VK_RETURN, true);  // the default button: IDOK
        ob::ui::InjectKey(VK_RETURN, false);
    });
    HWND list = CreateWindowEx(0, L"Owner", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, owner, nullptr, nullptr,
                               nullptr);
    SetFocus(list);
    INT_PTR r = DialogBoxParam(nullptr, MAKEINTRESOURCE(200), owner, DlgProc, 0);
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(GetFocus(), list);  // the keyboard goes back where it was
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
    // Dialog units: 8 units across is two base-unit widths, 12 down is 1.5 heights.
    LONG base = GetDialogBaseUnits();
    EXPECT_EQ(fieldRect.right - fieldRect.left, 60 * LOWORD(static_cast<DWORD>(base)) / 4);
    EXPECT_EQ(fieldRect.bottom - fieldRect.top, 12 * HIWORD(static_cast<DWORD>(base)) / 8);
    ASSERT_EQ(focusOrder.size(), 4u);
    EXPECT_EQ(focusOrder[0], 101);
    EXPECT_EQ(focusOrder[1], 102);
    EXPECT_EQ(focusOrder[2], 103);
    EXPECT_EQ(focusOrder[3], 104);
    EXPECT_EQ(log, std::vector<std::string>{"end 1"});
}

TEST_F(WinDialogMenu, NestedModalLoopsEndInOrder) {
    std::vector<std::string> order;
    g_dlg = [&](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_INITDIALOG) {
            SetWindowText(hwnd, lp ? L"inner" : L"outer");
            return TRUE;
        }
        if (msg == WM_COMMAND && LOWORD(wp) == 101) {  // open a dialog from inside this one
            INT_PTR inner = DialogBoxParam(nullptr, MAKEINTRESOURCE(200), hwnd, DlgProc, 1);
            order.push_back("inner returned " + std::to_string(inner));
            return TRUE;
        }
        if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
            wchar_t title[16];
            GetWindowText(hwnd, title, 16);
            order.push_back(std::string(title[0] == L'i' ? "inner" : "outer") + " ends");
            EndDialog(hwnd, LOWORD(wp) + (title[0] == L'i' ? 10 : 0));
            return TRUE;
        }
        return FALSE;
    };
    ui.WhenIdle([&] { ui.Tap(GetDlgItem(GetActiveWindow(), 101)); });  // opens the inner dialog
    ui.WhenIdle([&] {
        // The inner dialog is up and the outer one disabled under it.
        wchar_t title[16];
        GetWindowText(GetActiveWindow(), title, 16);
        EXPECT_EQ(std::wstring(title), L"inner");
        EXPECT_FALSE(IsWindowEnabled(GetWindow(GetActiveWindow(), GW_OWNER)));
        ob::ui::InjectKey(VK_ESCAPE, true);
        ob::ui::InjectKey(VK_ESCAPE, false);
    });
    ui.WhenIdle([&] {
        wchar_t title[16];
        GetWindowText(GetActiveWindow(), title, 16);
        EXPECT_EQ(std::wstring(title), L"outer");
        ob::ui::InjectKey(VK_RETURN, true);
        ob::ui::InjectKey(VK_RETURN, false);
    });
    INT_PTR r = DialogBoxParam(nullptr, MAKEINTRESOURCE(200), owner, DlgProc, 0);
    EXPECT_EQ(r, IDOK);
    std::vector<std::string> expected{"inner ends", "inner returned 12", "outer ends"};
    EXPECT_EQ(order, expected);
}

TEST_F(WinDialogMenu, BadTemplatesAndQuitInsideAModalLoop) {
    // Unknown template, unknown control class, bad owner: the calls fail as the real ones do.
    EXPECT_EQ(DialogBoxParam(nullptr, MAKEINTRESOURCE(999), owner, DlgProc, 0), -1);
    DLGTEMPLATE bad = SampleDialog();
    bad.items.push_back({L"NoSuchControl", L"", 7, WS_VISIBLE, 0, 0, 0, 10, 10});
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, &bad, owner, DlgProc, 0), -1);
    EXPECT_EQ(CreateDialogIndirectParam(nullptr, &bad, owner, DlgProc, 0), nullptr);
    EXPECT_EQ(DialogBoxParam(nullptr, MAKEINTRESOURCE(200), reinterpret_cast<HWND>(0x999), DlgProc, 0), -1);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(EndDialog(owner, 1));  // not a dialog
    // A quit message ends the modal loop and is passed on to the outer loop.
    ui.WhenIdle([] { PostQuitMessage(3); });
    DialogBoxParam(nullptr, MAKEINTRESOURCE(200), owner, DlgProc, 0);
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(WinDialogMenu, ModelessDialogAndDialogItems) {
    HWND dlg = CreateDialogParam(nullptr, MAKEINTRESOURCE(200), owner, DlgProc, 0);
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(IsWindowVisible(dlg));  // the template has no WS_VISIBLE
    EXPECT_TRUE(SetDlgItemInt(dlg, 102, static_cast<UINT>(-42), TRUE));
    BOOL ok = FALSE;
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(dlg, 102, &ok, TRUE)), -42);
    EXPECT_TRUE(ok);
    SetDlgItemText(dlg, 102, L"12x");
    GetDlgItemInt(dlg, 102, &ok, FALSE);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetDlgItem(dlg, 555), nullptr);
    RECT r{0, 0, 4, 8};
    EXPECT_TRUE(MapDialogRect(dlg, &r));
    EXPECT_GT(r.right, 0);
    EXPECT_TRUE(DestroyWindow(dlg));
    EXPECT_FALSE(IsWindow(GetDlgItem(dlg, 101)));
}

TEST_F(WinDialogMenu, PopupMenuStateCommandsAndDismissal) {
    HMENU menu = LoadMenu(nullptr, MAKEINTRESOURCE(300));
    ASSERT_NE(menu, nullptr);
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(GetMenuItemID(file, 2), 0u);  // the separator
    UINT stateBefore = GetMenuState(file, 11, MF_BYCOMMAND);
    EXPECT_EQ(stateBefore & MF_CHECKED, 0u);
    // Open at a point, check the owner's changes, then tap "Last".
    HWND popup = nullptr;
    ui.WhenIdle([&] {
        popup = FindWindow(L"#32768", nullptr);
        ASSERT_NE(popup, nullptr);
        EXPECT_NE(GetMenuState(file, 11, MF_BYCOMMAND) & MF_CHECKED, 0u);
        EXPECT_NE(GetMenuState(file, 12, MF_BYCOMMAND) & MF_GRAYED, 0u);
        ui.Screenshot(UiDriver::OutputPath("menu_popup_qvga.png"));
        RECT pr;
        GetWindowRect(popup, &pr);
        int itemH = (pr.bottom - pr.top - 2) / 3;  // roughly: the last row is near the bottom
        (void)itemH;
        ob::ui::InjectPen(0, POINT{pr.left + 20, pr.bottom - 6});
        ob::ui::InjectPen(2, POINT{pr.left + 20, pr.bottom - 6});
    });
    EXPECT_TRUE(TrackPopupMenu(file, TPM_LEFTALIGN, 40, 100, 0, owner, nullptr));
    EXPECT_FALSE(IsWindow(popup));
    ui.RunUntilIdle();
    std::vector<std::string> expected{"initmenupopup 0 0", "command 13"};
    EXPECT_EQ(log, expected);
    // A greyed item cannot be chosen; a tap outside dismisses without a command.
    log.clear();
    ui.WhenIdle([&] {
        RECT pr;
        GetWindowRect(FindWindow(L"#32768", nullptr), &pr);
        ob::ui::InjectPen(0, POINT{pr.left + 20, pr.top + (pr.bottom - pr.top) * 3 / 8});  // "Grey"
        ob::ui::InjectPen(2, POINT{pr.left + 20, pr.top + (pr.bottom - pr.top) * 3 / 8});
    });
    ui.WhenIdle([&] {
        ob::ui::InjectPen(0, POINT{5, 310});
        ob::ui::InjectPen(2, POINT{5, 310});
    });
    EXPECT_EQ(TrackPopupMenu(file, TPM_RETURNCMD, 40, 100, 0, owner, nullptr), 0);
    ui.RunUntilIdle();
    EXPECT_EQ(log, std::vector<std::string>{"initmenupopup 0 0"});
    // The keyboard works too: down, down, enter picks the second selectable entry.
    ui.WhenIdle([&] {
        for (UINT k : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) {
            ob::ui::InjectKey(k, true);
            ob::ui::InjectKey(k, false);
        }
    });
    EXPECT_EQ(TrackPopupMenu(file, TPM_RETURNCMD, 40, 100, 0, owner, nullptr), 13);
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(file));
    EXPECT_FALSE(TrackPopupMenu(file, 0, 0, 0, 0, owner, nullptr));
    EXPECT_EQ(CheckMenuItem(file, 11, MF_CHECKED), static_cast<DWORD>(-1));
}

TEST_F(WinDialogMenu, MessageBoxAnswersAndRestoresItsOwner) {
    ui.WhenIdle([&] {
        EXPECT_FALSE(IsWindowEnabled(owner));
        ui.Screenshot(UiDriver::OutputPath("message_box_qvga.png"));
        ob::ui::InjectKey(VK_RIGHT, true);  // from Yes to No
        ob::ui::InjectKey(VK_RIGHT, false);
        ob::ui::InjectKey(VK_RETURN, true);
        ob::ui::InjectKey(VK_RETURN, false);
    });
    EXPECT_EQ(MessageBox(owner, L"Remove Amsterdam from your list of cities?", L"Orbelline",
                         MB_YESNO | MB_ICONQUESTION),
              IDNO);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
    // Y and N answer at once, Escape answers No (Cancel where there is one), and OK alone.
    const struct {
        WPARAM key;
        UINT type;
        int answer;
    } keys[] = {{'Y', MB_YESNO, IDYES},
                {'N', MB_YESNO, IDNO},
                {VK_ESCAPE, MB_YESNO, IDNO},
                {VK_ESCAPE, MB_YESNOCANCEL, IDCANCEL},
                {VK_ESCAPE, MB_OK, IDOK}};
    for (const auto& k : keys) {
        ui.WhenIdle([&] {
            ob::ui::InjectKey(k.key, true);
            ob::ui::InjectKey(k.key, false);
        });
        EXPECT_EQ(MessageBox(owner, L"Saved?", L"Orbelline", k.type), k.answer) << k.key;
    }
    // A tap on a button answers; a bad owner is no owner.
    ui.WhenIdle([&] {
        HWND box = GetActiveWindow();
        RECT r;
        GetWindowRect(box, &r);
        // Yes sits left of the centre on the button row.
        ob::ui::InjectPen(0, POINT{(r.left + r.right) / 2 - 20, r.bottom - 15});
        ob::ui::InjectPen(2, POINT{(r.left + r.right) / 2 - 20, r.bottom - 15});
    });
    EXPECT_EQ(MessageBox(reinterpret_cast<HWND>(0x77), L"Go?", L"Orbelline", MB_YESNO), IDYES);
}

}  // namespace
