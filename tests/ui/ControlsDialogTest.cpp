// Controls inside a dialog made from a template: what the dialog manager
// learns from them (WM_GETDLGCODE) decides where the keys go, and their
// drawing at both densities.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Windows.h"
#include "platform/ui/testing/UiDriver.h"

using ob::ui::testing::CentreOf;
using ob::ui::testing::UiDriver;

namespace {

std::vector<int> g_commands;

LRESULT DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND) {
        g_commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dlg, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

DLGITEMTEMPLATE Item(const wchar_t* cls, const wchar_t* text, WORD id, DWORD style, short x, short y,
                     short cx, short cy) {
    DLGITEMTEMPLATE item;
    item.className = cls;
    item.text = text;
    item.id = id;
    item.style = style | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return item;
}

DLGTEMPLATE Template() {
    DLGTEMPLATE t;
    t.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
    t.cx = 136;
    t.cy = 150;
    t.title = L"Controls";
    t.items = {
        Item(L"EDIT", L"20", 1018, ES_NUMBER | WS_BORDER | WS_TABSTOP, 4, 4, 30, 12),
        Item(L"LISTBOX", L"", 1002, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 4, 20, 128, 40),
        Item(L"COMBOBOX", L"", 1031, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 4, 64, 80, 60),
        Item(L"BUTTON", L"Map day/night shadow", 1015, BS_AUTOCHECKBOX | WS_TABSTOP, 4, 80, 128, 10),
        Item(L"STATIC", L"Label", 0xFFFF, SS_LEFT, 4, 94, 60, 8),
        Item(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 4, 130, 48, 12),
        Item(L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 84, 130, 48, 12),
    };
    return t;
}

class ControlsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        g_commands.clear();
        InitCommonControls();
        DLGTEMPLATE t = Template();
        dlg = CreateDialogIndirectParam(nullptr, &t, nullptr, DialogProc, 0);
        ASSERT_NE(dlg, nullptr);
        for (const wchar_t* c : {L"Berlin", L"Bremen", L"Cologne"})
            SendDlgItemMessage(dlg, 1002, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c));
        for (const wchar_t* c : {L"AM/PM", L"24 Hour"})
            SendDlgItemMessage(dlg, 1031, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c));
        ui.RunUntilIdle();
    }
    // The dialog's own loop: keys pass through the dialog manager first.
    void Key(UINT vk) {
        ob::ui::InjectKey(vk, true);
        ob::ui::InjectKey(vk, false);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsWindow(dlg) && IsDialogMessage(dlg, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    HWND Item(int id) { return GetDlgItem(dlg, id); }
    UiDriver ui;
    HWND dlg = nullptr;
};

}  // namespace

TEST_F(ControlsDialog, TabVisitsTheControlsAndArrowsStayInTheList) {
    SetFocus(Item(1018));
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), Item(1002));
    // The list keeps the arrows: they move its selection, not the focus.
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(GetFocus(), Item(1002));
    EXPECT_EQ(SendDlgItemMessage(dlg, 1002, LB_GETCURSEL, 0, 0), 1);
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), Item(1031));
    Key(VK_DOWN);
    EXPECT_EQ(SendDlgItemMessage(dlg, 1031, CB_GETCURSEL, 0, 0), 0);
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), Item(1015));
    Key(VK_SPACE);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1015), BST_CHECKED);
    Key(VK_TAB);  // the label is skipped
    EXPECT_EQ(GetFocus(), Item(IDOK));
}

TEST_F(ControlsDialog, EnterPressesTheDefaultButtonFromAnEdit) {
    SetFocus(Item(1018));
    Key(VK_RETURN);
    ASSERT_FALSE(g_commands.empty());
    EXPECT_EQ(g_commands.back(), IDOK);
}

TEST_F(ControlsDialog, ComboFromATemplateIsAFieldWithItsListBelow) {
    RECT field{};
    GetWindowRect(Item(1031), &field);
    RECT dropped{};
    SendDlgItemMessage(dlg, 1031, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_LT(field.bottom - field.top, dropped.bottom - dropped.top);
    EXPECT_EQ(dropped.top, field.top);
    // The field neither gets a scroll bar of its own nor covers the check box under it.
    RECT check{};
    GetWindowRect(Item(1015), &check);
    EXPECT_LE(field.bottom, check.top);
    EXPECT_FALSE(GetWindowLong(Item(1031), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ControlsDialog, AListThatFitsHasNoScrollBarUnlessItAsksToKeepIt) {
    HWND list = Item(1002);
    auto hasBar = [](HWND h) { return (GetWindowLong(h, GWL_STYLE) & WS_VSCROLL) != 0; };
    RECT window{}, client{};
    GetWindowRect(list, &window);
    GetClientRect(list, &client);
    // Three names fit: the rows take the whole width inside the border.
    EXPECT_FALSE(hasBar(list));
    EXPECT_EQ(client.right, window.right - window.left - 2);
    for (int i = 0; i < 10; ++i)
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Munich"));
    ui.RunUntilIdle();
    EXPECT_TRUE(hasBar(list));
    GetClientRect(list, &client);
    EXPECT_EQ(client.right, window.right - window.left - 2 - GetSystemMetrics(SM_CXVSCROLL));
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    ui.RunUntilIdle();
    EXPECT_FALSE(hasBar(list));

    // LBS_DISABLENOSCROLL keeps the bar over a list that fits; the frame's
    // bar of any window does the same with SIF_DISABLENOSCROLL, and goes
    // without it.
    HWND kept = CreateWindowEx(0, WC_LISTBOX, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_DISABLENOSCROLL,
                               0, 0, 100, 100, dlg, nullptr, nullptr, nullptr);
    SendMessage(kept, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Berlin"));
    EXPECT_TRUE(hasBar(kept));
    HWND plain = CreateWindowEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, dlg, nullptr,
                                nullptr, nullptr);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 3, 10, 0, 0};
    SetScrollInfo(plain, SB_VERT, &info, TRUE);
    EXPECT_TRUE(hasBar(plain));
    info.fMask = SIF_RANGE | SIF_PAGE;
    SetScrollInfo(plain, SB_VERT, &info, TRUE);
    EXPECT_FALSE(hasBar(plain));
    info.nMax = 30;
    SetScrollInfo(plain, SB_VERT, &info, TRUE);
    EXPECT_TRUE(hasBar(plain));
}

class ControlsDensity : public ::testing::TestWithParam<const char*> {};

TEST_P(ControlsDensity, ChecksListsAndBarsScaleWithTheScreen) {
    UiDriver ui(GetParam());
    InitCommonControls();
    const int scale = std::string(GetParam()) == "480x640" ? 2 : 1;
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = L"DensityParent";
    RegisterClass(&wc);
    HWND parent = CreateWindowEx(0, L"DensityParent", L"", WS_VISIBLE, 0, 30 * scale, 240 * scale,
                                 200 * scale, nullptr, nullptr, nullptr, nullptr);
    HWND check = CreateWindowEx(0, WC_BUTTON, L"", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, 0, 20 * scale,
                                20 * scale, parent, nullptr, nullptr, nullptr);
    HWND list = CreateWindowEx(0, WC_LISTBOX, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                               0, 40 * scale, 120 * scale, 60 * scale, parent, nullptr, nullptr, nullptr);
    for (int i = 0; i < 20; ++i)
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Row"));
    SendMessage(list, LB_SETCURSEL, 0, 0);
    ui.RunUntilIdle();
    RECT box{};
    GetWindowRect(check, &box);
    POINT centre = CentreOf(check);
    COLORREF ink = GetSysColor(COLOR_WINDOWFRAME);
    // Unchecked: an empty box; checked: ink in its middle.
    POINT mid{box.left + 5 * scale + 1, centre.y};
    EXPECT_NE(ui.Pixel(mid.x, mid.y), ink);
    SendMessage(check, BM_SETCHECK, BST_CHECKED, 0);
    ui.RunUntilIdle();
    int inked = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left + 2 * scale; x < box.left + 10 * scale; ++x)
            inked += ui.Pixel(x, y) == ink;
    EXPECT_GT(inked, 12 * scale * scale);
    // The box's outline is as thick as a pixel of the 96-dpi screen.
    int left = box.left;
    EXPECT_EQ(ui.Pixel(left + scale - 1, centre.y), ink);
    EXPECT_NE(ui.Pixel(left + scale, centre.y), ink);
    // The selected row is marked in the highlight colour; the bar is as wide
    // as the system says.
    RECT client{};
    GetClientRect(list, &client);
    POINT row{client.right / 2, 3};
    ClientToScreen(list, &row);
    EXPECT_EQ(ui.Pixel(row.x, row.y), GetSysColor(COLOR_HIGHLIGHT));
    RECT window{};
    GetWindowRect(list, &window);
    EXPECT_EQ(window.right - window.left - client.right, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 13 * scale);
    DestroyWindow(parent);
}

INSTANTIATE_TEST_SUITE_P(Screens, ControlsDensity, ::testing::Values("240x320", "480x640"));
