// Buttons, check boxes, group boxes, static text and the single-line edit:
// the notifications and states the program's dialogs rely on.
#include "ControlsFixture.h"

using controls_test::ControlsTest;
using ob::ui::testing::CentreOf;

namespace {
const std::vector<int> kClicked{BN_CLICKED};
}

TEST_F(ControlsTest, CheckBoxTogglesBeforeTheParentHearsAndIgnoresProgramChanges) {
    HWND box = Make(WC_BUTTON, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 10, 150, 16, 1015, L"Map day/night shadow");
    // The parent reads the new state when the click arrives.
    UINT stateAtClick = 99;
    ui.Tap(box);
    for (const auto& h : heard)
        if (h.message == WM_COMMAND && h.code == BN_CLICKED)
            stateAtClick = static_cast<UINT>(SendMessage(box, BM_GETCHECK, 0, 0));
    EXPECT_EQ(stateAtClick, BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(parent, 1015), BST_CHECKED);
    ui.Tap(box);
    EXPECT_EQ(IsDlgButtonChecked(parent, 1015), BST_UNCHECKED);
    EXPECT_EQ(Codes(WM_COMMAND), (std::vector<int>{BN_CLICKED, BN_CLICKED}));

    Clear();
    CheckDlgButton(parent, 1015, BST_CHECKED);
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(Codes(WM_COMMAND).empty());

    // A disabled box neither changes nor reports.
    EnableWindow(box, FALSE);
    ui.Tap(box);
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(Codes(WM_COMMAND).empty());
    // Space toggles it from the keyboard.
    EnableWindow(box, TRUE);
    SetFocus(box);
    ui.Key(VK_SPACE);
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ControlsTest, PushButtonClicksOnlyWhenThePenIsLiftedOnIt) {
    HWND button = Make(WC_BUTTON, BS_PUSHBUTTON, 20, 20, 60, 20, 1020, L"Update");
    POINT inside = ScreenPoint(button, 30, 10);
    POINT outside = ScreenPoint(button, 30, 60);
    ui.PenDown(inside);
    ui.RunUntilIdle();
    EXPECT_TRUE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    ui.PenMove(outside);
    ui.RunUntilIdle();
    EXPECT_FALSE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    ui.PenUp(outside);
    ui.RunUntilIdle();
    EXPECT_TRUE(Codes(WM_COMMAND).empty());

    ui.Tap(button);
    EXPECT_EQ(Codes(WM_COMMAND), kClicked);
    EXPECT_EQ(heard.back().id, 1020);
    Clear();
    SendMessage(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Codes(WM_COMMAND), kClicked);
    // Buttons never toggle: the check state stays empty.
    EXPECT_EQ(SendMessage(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ControlsTest, OwnerDrawnButtonAsksTheParentWithItsState) {
    HWND button = Make(WC_BUTTON, BS_OWNERDRAW | BS_NOTIFY, 20, 20, 24, 24, 1001);
    ASSERT_FALSE(drawStates.empty());
    EXPECT_EQ(drawStates.back() & (ODS_SELECTED | ODS_DISABLED), 0u);
    ui.PenDown(CentreOf(button));
    ui.RunUntilIdle();
    EXPECT_TRUE(drawStates.back() & ODS_SELECTED);
    EXPECT_TRUE(drawStates.back() & ODS_FOCUS);
    // What the parent drew is what the screen shows.
    POINT c = CentreOf(button);
    EXPECT_EQ(ui.Pixel(c.x, c.y), GetSysColor(COLOR_HIGHLIGHT));
    ui.PenUp(CentreOf(button));
    ui.RunUntilIdle();
    EXPECT_FALSE(drawStates.back() & ODS_SELECTED);
    // BS_NOTIFY adds the press and release to the click.
    EXPECT_EQ(Codes(WM_COMMAND), (std::vector<int>{BN_SETFOCUS, BN_HILITE, BN_UNHILITE, BN_CLICKED}));
    EnableWindow(button, FALSE);
    ui.RunUntilIdle();
    EXPECT_TRUE(drawStates.back() & ODS_DISABLED);
}

TEST_F(ControlsTest, GroupBoxAndLabelsLetThePenThroughAndKeepWhatTheyFrameVisible) {
    // Made in template order, the frame first, before anything is painted.
    auto child = [&](LPCWSTR cls, DWORD style, int x, int y, int w, int h, int id, LPCWSTR text) {
        return CreateWindowEx(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                              reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    };
    HWND group = child(WC_BUTTON, BS_GROUPBOX, 0, 0, 200, 80, 1030, L"Date");
    HWND inner = child(WC_BUTTON, BS_PUSHBUTTON, 20, 30, 60, 20, 1016, L"Now");
    HWND label = child(WC_STATIC, SS_LEFT, 100, 30, 60, 20, 1050, L"12:00");
    ui.RunUntilIdle();
    ui.Tap(inner);
    EXPECT_EQ(Codes(WM_COMMAND), kClicked);
    // The button shows: its face colour inside, not the group's background.
    POINT c = ScreenPoint(inner, 3, 3);
    EXPECT_EQ(ui.Pixel(c.x, c.y), GetSysColor(COLOR_BTNFACE));
    Clear();
    ui.Tap(group);
    ui.Tap(label);
    EXPECT_TRUE(Codes(WM_COMMAND).empty());
    // Labels report taps only when asked to.
    HWND notify = Make(WC_STATIC, SS_LEFT | SS_NOTIFY, 100, 55, 60, 20, 1051, L"tap me");
    ui.Tap(notify);
    EXPECT_EQ(Codes(WM_COMMAND), std::vector<int>{STN_CLICKED});
}

TEST_F(ControlsTest, NumberEditTakesDigitsOnlyAndReportsEveryChange) {
    HWND edit = Make(WC_EDIT, ES_NUMBER | WS_BORDER, 10, 10, 40, 20, 1018);
    ui.Tap(edit);
    EXPECT_EQ(Codes(WM_COMMAND), std::vector<int>{EN_SETFOCUS});
    Clear();
    ui.Type(L"1a2-");
    wchar_t text[16] = {};
    GetWindowText(edit, text, 16);
    EXPECT_STREQ(text, L"12");
    int changes = 0;
    for (int code : Codes(WM_COMMAND))
        changes += code == EN_CHANGE;
    EXPECT_EQ(changes, 2);
    // Backspace removes the last digit; setting the text reports a change too.
    Clear();
    ui.Type(L"\b");
    EXPECT_EQ(GetDlgItemInt(parent, 1018, nullptr, FALSE), 1u);
    SetDlgItemInt(parent, 1018, 20, FALSE);
    EXPECT_EQ(GetDlgItemInt(parent, 1018, nullptr, FALSE), 20u);
    changes = 0;
    for (int code : Codes(WM_COMMAND))
        changes += code == EN_CHANGE;
    EXPECT_EQ(changes, 2);
    // Selecting everything and typing replaces it.
    SendMessage(edit, EM_SETSEL, 0, -1);
    DWORD from = 0, to = 0;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 2u);
    ui.Type(L"5");
    EXPECT_EQ(GetDlgItemInt(parent, 1018, nullptr, FALSE), 5u);
    // The limit holds against typing.
    SendMessage(edit, EM_LIMITTEXT, 3, 0);
    ui.Type(L"6789");
    GetWindowText(edit, text, 16);
    EXPECT_STREQ(text, L"567");
    // Losing the focus is reported.
    Clear();
    SetFocus(parent);
    EXPECT_EQ(Codes(WM_COMMAND), std::vector<int>{EN_KILLFOCUS});
}

TEST_F(ControlsTest, EditCaretMovesWithKeysAndDeleteWorksAtTheCaret) {
    HWND edit = Make(WC_EDIT, WS_BORDER, 10, 10, 100, 20, 7, L"abc");
    SetFocus(edit);
    ui.Key(VK_END);
    ui.Key(VK_LEFT);
    ui.Key(VK_DELETE);  // removes "c"
    ui.Key(VK_HOME);
    ui.Type(L"x");
    wchar_t text[16] = {};
    GetWindowText(edit, text, 16);
    EXPECT_STREQ(text, L"xab");
    EXPECT_TRUE(SendMessage(edit, EM_GETMODIFY, 0, 0));
}
