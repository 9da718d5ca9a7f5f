// List boxes and combo boxes: sorting, item data, selection in its two
// kinds, the notifications, scrolling, and the answers to bad indexes.
#include "ControlsFixture.h"
#include "platform/ui/controls/Control.h"

using controls_test::ControlsTest;

// A pause long enough to start a new prefix.
constexpr unsigned TypeAheadPause = ob::ui::TypeAhead::kPauseMs + 1;

namespace {
std::wstring ItemText(HWND list, UINT getText, int index) {
    wchar_t buffer[64] = {};
    SendMessage(list, getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}
void Add(HWND list, UINT add, const wchar_t* text, LPARAM data, UINT setData) {
    auto at = static_cast<int>(SendMessage(list, add, 0, reinterpret_cast<LPARAM>(text)));
    SendMessage(list, setData, static_cast<WPARAM>(at), data);
}
}  // namespace

// Names sort as they read: "São Paulo" with "Sao", "Ürümqi" among the U's.
TEST_F(ControlsTest, SortedListIgnoresAccents) {
    HWND list = Make(WC_LISTBOX, LBS_SORT | WS_BORDER, 10, 10, 150, 100, 1002);
    for (const wchar_t* name : {L"Vaduz", L"\u00dcr\u00fcmqi", L"Sao Tome", L"S\u00e3o Paulo", L"Santiago"})
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    const wchar_t* expected[] = {L"Santiago", L"S\u00e3o Paulo", L"Sao Tome", L"\u00dcr\u00fcmqi", L"Vaduz"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ItemText(list, LB_GETTEXT, i), expected[i]) << i;
}

TEST_F(ControlsTest, SortedListKeepsItemDataWithItsItem) {
    HWND list = Make(WC_LISTBOX, LBS_SORT | LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 10, 10, 150, 100, 1002);
    Add(list, LB_ADDSTRING, L"munich", 3, LB_SETITEMDATA);
    Add(list, LB_ADDSTRING, L"Berlin", 1, LB_SETITEMDATA);
    Add(list, LB_ADDSTRING, L"Hamburg", 2, LB_SETITEMDATA);
    Add(list, LB_ADDSTRING, L"aachen", 0, LB_SETITEMDATA);
    ASSERT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 4);
    // Case does not count in the order.
    EXPECT_EQ(ItemText(list, LB_GETTEXT, 0), L"aachen");
    EXPECT_EQ(ItemText(list, LB_GETTEXT, 3), L"munich");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, i, 0), i);
    // Inserting at an index ignores sorting, as the real one does.
    SendMessage(list, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(L"Zwickau"));
    EXPECT_EQ(ItemText(list, LB_GETTEXT, 1), L"Zwickau");
    EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 2, 0), 1);
    EXPECT_EQ(SendMessage(list, LB_GETTEXTLEN, 1, 0), 7);
    EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 1, 0), 4);
    EXPECT_EQ(
        SendMessage(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"HAMBURG")),
        2);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Ber")), 1);
    // Bad indexes fail as they should.
    EXPECT_EQ(SendMessage(list, LB_GETTEXTLEN, 9, 0), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, static_cast<WPARAM>(-1), 0), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_SETITEMDATA, 4, 7), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 4, 0), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>(L"x")), LB_ERR);
}

TEST_F(ControlsTest, SingleSelectionFollowsPenAndKeysWithNotifications) {
    HWND list = Make(WC_LISTBOX, LBS_NOTIFY | WS_BORDER, 10, 10, 150, 100, 1005);
    for (const wchar_t* t : {L"London [HOME]", L"New York", L"Tokyo", L"Sydney"})
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), LB_ERR);
    // Setting the selection from the program is silent.
    SendMessage(list, LB_SETCURSEL, 1, 0);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Codes(WM_COMMAND).empty());
    int rowHeight = static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
    ui.Tap(ScreenPoint(list, 20, rowHeight * 2 + rowHeight / 2));
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
    ui.Key(VK_DOWN);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
    ui.Key(VK_DOWN);  // already last: no change, no notification
    ui.Type(L"n");    // the first letter finds the next match, wrapping round
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
    int changes = 0;
    for (int code : Codes(WM_COMMAND))
        changes += code == LBN_SELCHANGE;
    EXPECT_EQ(changes, 3);
    // Deleting the selected item leaves none selected; deleting above shifts it.
    SendMessage(list, LB_SETCURSEL, 2, 0);
    SendMessage(list, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
    SendMessage(list, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), LB_ERR);
    // Multiple-selection calls fail on a single-selection list.
    EXPECT_EQ(SendMessage(list, LB_SETSEL, TRUE, 0), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), LB_ERR);
}

TEST_F(ControlsTest, MultipleSelectionTogglesEachTappedItem) {
    HWND list = Make(WC_LISTBOX, LBS_SORT | LBS_MULTIPLESEL | LBS_NOTIFY | WS_BORDER, 10, 10, 150, 100, 1002);
    for (const wchar_t* t : {L"Bremen", L"Berlin", L"Cologne", L"Dresden"})
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    int h = static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
    ui.Tap(ScreenPoint(list, 20, h / 2));          // Berlin
    ui.Tap(ScreenPoint(list, 20, 2 * h + h / 2));  // Cologne
    ui.Tap(ScreenPoint(list, 20, 3 * h + h / 2));  // Dresden
    ui.Tap(ScreenPoint(list, 20, 2 * h + h / 2));  // Cologne again: off
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 2);
    int items[8] = {};
    ASSERT_EQ(SendMessage(list, LB_GETSELITEMS, 8, reinterpret_cast<LPARAM>(items)), 2);
    EXPECT_EQ(items[0], 0);
    EXPECT_EQ(items[1], 3);
    EXPECT_EQ(Codes(WM_COMMAND).size(), 5u);  // the focus, then one change per tap
    // The program deselects one by one, as the Add button does.
    SendMessage(list, LB_SETSEL, FALSE, 0);
    EXPECT_EQ(SendMessage(list, LB_GETSEL, 0, 0), 0);
    EXPECT_EQ(SendMessage(list, LB_GETSEL, 3, 0), 1);
    SendMessage(list, LB_SETSEL, TRUE, -1);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 1, 0), LB_ERR);
}

TEST_F(ControlsTest, LongListScrollsWithItsFrameBar) {
    HWND list = Make(WC_LISTBOX, LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 10, 10, 150, 80, 1002);
    SendMessage(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < 30; ++i) {
        std::wstring t = L"City " + std::to_wstring(i);
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
    }
    SendMessage(list, WM_SETREDRAW, TRUE, 0);
    ui.RunUntilIdle();
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
    RECT client{};
    GetClientRect(list, &client);
    int h = static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(info.nMax, 29);
    EXPECT_EQ(static_cast<int>(info.nPage), client.bottom / h);
    // Whole rows only: the box shrank to fit them.
    EXPECT_EQ(client.bottom % h, 0);
    // The bar's down arrow scrolls one row.
    RECT window{};
    GetWindowRect(list, &window);
    ui.Tap(POINT{window.right - 4, window.bottom - 4});
    EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 1);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), 1);
    // Selecting an item below the shown rows brings it into view.
    SendMessage(list, LB_SETCURSEL, 20, 0);
    int top = static_cast<int>(SendMessage(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_LE(top, 20);
    EXPECT_GT(top + static_cast<int>(info.nPage), 20);
}

TEST_F(ControlsTest, DropDownListChoosesWithThePenAndKeys) {
    HWND combo = Make(WC_COMBOBOX, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 10, 10, 140, 120, 1001);
    RECT field{};
    GetWindowRect(combo, &field);
    // The window is only as tall as its field; the rest is the list's.
    EXPECT_LT(field.bottom - field.top, 40);
    Add(combo, CB_ADDSTRING, L"Japan", 4, CB_SETITEMDATA);
    Add(combo, CB_ADDSTRING, L"Australia", 1, CB_SETITEMDATA);
    Add(combo, CB_ADDSTRING, L"Germany", 3, CB_SETITEMDATA);
    Add(combo, CB_ADDSTRING, L"Brazil", 2, CB_SETITEMDATA);
    EXPECT_EQ(ItemText(combo, CB_GETLBTEXT, 0), L"Australia");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, i, 0), i + 1);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    SendMessage(combo, CB_SETCURSEL, 0, 0);
    EXPECT_TRUE(Codes(WM_COMMAND).empty());

    ui.Tap(combo);
    ASSERT_TRUE(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0));
    HWND list = ui.FindByClass(WC_COMBOLBOX);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT listRect{};
    GetWindowRect(list, &listRect);
    EXPECT_EQ(listRect.top, field.bottom);
    int h = static_cast<int>(SendMessage(combo, CB_GETITEMHEIGHT, 0, 0));
    ui.Tap(ScreenPoint(list, 20, 2 * h + h / 2));  // Germany
    EXPECT_FALSE(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
    std::vector<int> codes = Codes(WM_COMMAND);
    EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_SELCHANGE), codes.end());
    EXPECT_EQ(codes.back(), CBN_SELCHANGE);

    Clear();
    ui.Key(VK_DOWN);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(Codes(WM_COMMAND), std::vector<int>{CBN_SELCHANGE});
    // Opening and tapping elsewhere closes without a change.
    Clear();
    ui.Tap(combo);
    EXPECT_TRUE(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0));
    HWND other = Make(WC_BUTTON, BS_PUSHBUTTON, 10, 200, 60, 20, 9, L"Other");
    ui.Tap(other);
    EXPECT_FALSE(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
    codes = Codes(WM_COMMAND);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<int>(CBN_SELCHANGE)), 0);

    // A letter picks the next item starting with it, from the keyboard or the input panel.
    Clear();
    SetFocus(combo);
    ui.Type(L"a");
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 0);  // Australia
    ui.Type(L"j");
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);  // Japan
    ui.Type(L"x");
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
    codes = Codes(WM_COMMAND);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<int>(CBN_SELCHANGE)), 2);

    EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessage(combo, CB_SETCURSEL, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    // Destroying the combo box takes its list along.
    DestroyWindow(combo);
    EXPECT_FALSE(IsWindow(list));
}

// Typing to find: letters typed together make a prefix, a pause starts a new
// one, the same letter again steps on, and a list of several choices only
// moves its caret. The combo box and the list view do the same.
TEST_F(ControlsTest, TypingJumpsToTheItemThatStartsWithWhatWasTyped) {
    const wchar_t* names[] = {L"Naples", L"Nashville", L"New Delhi", L"New York", L"Newark", L"Oslo"};
    HWND list = Make(WC_LISTBOX, LBS_SORT | LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 10, 10, 150, 40, 1036);
    HWND many = Make(WC_LISTBOX, LBS_SORT | LBS_MULTIPLESEL | WS_BORDER | WS_VSCROLL, 10, 60, 150, 40, 1002);
    HWND combo = Make(WC_COMBOBOX, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 10, 110, 150, 80, 1035);
    for (const wchar_t* name : names) {
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessage(many, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SetFocus(list);
    ui.Type(L"n");
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 0);
    ui.Type(L"nn");  // the same letter steps on
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
    ui.Advance(TypeAheadPause);
    ui.Type(L"new y");
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
    // The list scrolled to it and told its parent.
    EXPECT_GT(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(Codes(WM_COMMAND).back(), LBN_SELCHANGE);
    ui.Type(L"q");  // nothing starts with "new yq" or "q": it stays
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
    ui.Advance(TypeAheadPause);
    ui.Type(L"O");
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 5);

    SetFocus(many);
    ui.Type(L"newa");
    EXPECT_EQ(SendMessage(many, LB_GETCARETINDEX, 0, 0), 4);
    EXPECT_EQ(SendMessage(many, LB_GETSELCOUNT, 0, 0), 0);
    ui.Advance(TypeAheadPause);
    ui.Type(L" ");  // Space chooses the item under the caret
    EXPECT_EQ(SendMessage(many, LB_GETSEL, 4, 0), 1);

    SetFocus(combo);
    ui.Type(L"new d");
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Codes(WM_COMMAND).back(), CBN_SELCHANGE);

    HWND view = Make(WC_LISTVIEW, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | WS_BORDER, 10, 200, 150,
                     60, 1011);
    LVCOLUMN column{};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<LPWSTR>(L"City");
    SendMessage(view, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 6; ++i) {
        LVITEM item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<LPWSTR>(names[i]);
        SendMessage(view, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    }
    SetFocus(view);
    ui.Advance(TypeAheadPause);
    ui.Type(L"newark");
    EXPECT_EQ(SendMessage(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 4);
}
