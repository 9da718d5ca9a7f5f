// The report-style list view: rows, item data, the two selection kinds,
// pictures as check boxes, and the notifications with their codes.
#include "ControlsFixture.h"

using controls_test::ControlsTest;

namespace {

int Insert(HWND list, int at, const wchar_t* text, LPARAM data, int image = -1) {
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = at;
    item.pszText = const_cast<LPWSTR>(text);
    item.lParam = data;
    item.iImage = image;
    return static_cast<int>(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
}

std::wstring Text(HWND list, int row) {
    wchar_t buffer[64] = {};
    LVITEM item{};
    item.iSubItem = 0;
    item.pszText = buffer;
    item.cchTextMax = 64;
    SendMessage(list, LVM_GETITEMTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

}  // namespace

class ListViewTest : public ControlsTest {
protected:
    HWND MakeList(DWORD style, int rows = 5) {
        HWND list = Make(WC_LISTVIEW, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | WS_BORDER | style,
                         10, 10, 200, 150, 1011);
        LVCOLUMN column{};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<LPWSTR>(L"City");
        SendMessage(list, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&column));
        SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        const wchar_t* names[] = {L"Paris; France",     L"Reims; France", L"Rouen; France", L"Lille; France",
                                  L"Brussels; Belgium", L"Caen; France",  L"Tours; France"};
        for (int i = 0; i < rows; ++i)
            Insert(list, i, names[i % 7], 100 + i);
        ui.RunUntilIdle();
        return list;
    }
    POINT Row(HWND list, int row) {
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        SendMessage(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return ScreenPoint(list, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    int Selected(HWND list, int after = -1) {
        return static_cast<int>(
            SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
    }
};

TEST_F(ListViewTest, RowsKeepTextAndDataThroughInsertAndDelete) {
    HWND list = MakeList(0, 3);
    EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Insert(list, 1, L"Amiens; France", 7), 1);
    EXPECT_EQ(Insert(list, 99, L"Tours; France", 8), 4);  // past the end: appended
    EXPECT_EQ(Text(list, 1), L"Amiens; France");
    LVITEM item{};
    item.mask = LVIF_PARAM;
    item.iItem = 2;
    ASSERT_TRUE(SendMessage(list, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 101);
    Clear();
    EXPECT_TRUE(SendMessage(list, LVM_DELETEITEM, 1, 0));
    EXPECT_EQ(Text(list, 1), L"Reims; France");
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back().code, static_cast<int>(LVN_DELETEITEM));
    EXPECT_EQ(heard.back().value, 1);
    EXPECT_FALSE(SendMessage(list, LVM_DELETEITEM, 9, 0));
    item.iItem = 9;
    EXPECT_FALSE(SendMessage(list, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_TRUE(SendMessage(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(Selected(list), -1);
}

TEST_F(ListViewTest, SingleSelectionKeepsOneRowAndReportsChanges) {
    HWND list = MakeList(LVS_SINGLESEL);
    ui.Tap(Row(list, 1));
    EXPECT_EQ(Selected(list), 1);
    Clear();
    ui.Tap(Row(list, 3));
    EXPECT_EQ(Selected(list), 3);
    EXPECT_EQ(Selected(list, 3), -1);
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    // Row 1 lost the selection, row 3 gained it, then the tap itself (-2).
    std::vector<int> codes = Codes(WM_NOTIFY);
    EXPECT_NE(std::find(codes.begin(), codes.end(), static_cast<int>(LVN_ITEMCHANGED)), codes.end());
    EXPECT_EQ(codes.back(), -2);
    EXPECT_EQ(static_cast<int>(LVN_ITEMCHANGED), -101);
    EXPECT_EQ(lastItem.iItem, 3);
    EXPECT_TRUE(lastItem.uNewState & LVIS_SELECTED);
    EXPECT_EQ(lastItem.lParam, 103);
    // Keys move the selection and are reported first.
    Clear();
    ui.Key(VK_DOWN);
    EXPECT_EQ(Selected(list), 4);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front().code, static_cast<int>(LVN_KEYDOWN));
    EXPECT_EQ(heard.front().value, static_cast<int>(VK_DOWN));
    // The parent may refuse a change.
    refuseChanging = TRUE;
    ui.Tap(Row(list, 0));
    EXPECT_EQ(Selected(list), 4);
}

TEST_F(ListViewTest, MultipleSelectionTogglesRowsAndProgramStateWorksOnAll) {
    HWND list = MakeList(0);
    ui.Tap(Row(list, 0));
    ui.Tap(Row(list, 2));
    ui.Tap(Row(list, 4));
    ui.Tap(Row(list, 2));
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 2);
    EXPECT_EQ(Selected(list), 0);
    EXPECT_EQ(Selected(list, 0), 4);
    EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 2);
    LVITEM state{};
    state.stateMask = LVIS_SELECTED;
    state.state = 0;
    SendMessage(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessage(list, LVM_GETITEMSTATE, 2, LVIS_FOCUSED), static_cast<LRESULT>(LVIS_FOCUSED));
}

TEST_F(ListViewTest, PicturesServeAsCheckBoxes) {
    HWND list = MakeList(LVS_SINGLESEL, 0);
    HIMAGELIST pictures = ImageList_Create(16, 16, ILC_COLOR | ILC_MASK, 2, 10);
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 32, 16);
    ReleaseDC(nullptr, screen);
    ImageList_AddMasked(pictures, strip, RGB(255, 0, 255));
    SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(pictures));
    Insert(list, 0, L"Date", 0, 1);
    Insert(list, 1, L"Dial", 4, 0);
    // A tap on the picture is told apart from a tap on the text.
    RECT icon{LVIR_ICON, 0, 0, 0};
    SendMessage(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&icon));
    LVHITTESTINFO hit{};
    hit.pt = POINT{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    EXPECT_EQ(SendMessage(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
    EXPECT_EQ(hit.flags, LVHT_ONITEMICON);
    hit.pt.x = icon.right + 30;
    SendMessage(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(hit.flags, LVHT_ONITEMLABEL);
    hit.pt.y = 140;
    EXPECT_EQ(SendMessage(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), -1);
    // Changing the picture is reported as a change of the row.
    Clear();
    LVITEM item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    item.iImage = 1;
    EXPECT_TRUE(SendMessage(list, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(lastItem.uChanged, LVIF_IMAGE);
    item.iImage = -5;
    item.mask = LVIF_IMAGE;
    SendMessage(list, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, 1);
    ui.RunUntilIdle();
    ImageList_Destroy(pictures);
    DeleteObject(strip);
}

TEST_F(ListViewTest, ColumnsSizeToTheirTextOrFillTheList) {
    HWND list = MakeList(LVS_SINGLESEL);
    // The widths arrive as MAKELPARAM(width, 0), so -1 and -2 come as 0xFFFF and 0xFFFE.
    SendMessage(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(static_cast<WORD>(LVSCW_AUTOSIZE), 0));
    int fitted = static_cast<int>(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_GT(fitted, 40);
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_LT(fitted, client.right);
    SendMessage(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(static_cast<WORD>(LVSCW_AUTOSIZE_USEHEADER), 0));
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0), client.right);
    SendMessage(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(50, 0));
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0), 50);
    EXPECT_FALSE(SendMessage(list, LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(50, 0)));
}

TEST_F(ListViewTest, LongListScrollsToShowARow) {
    HWND list = MakeList(LVS_SINGLESEL, 40);
    EXPECT_TRUE(GetWindowLong(list, GWL_STYLE) & WS_VSCROLL);
    int perPage = static_cast<int>(SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GT(perPage, 3);
    EXPECT_TRUE(SendMessage(list, LVM_ENSUREVISIBLE, 30, FALSE));
    int top = static_cast<int>(SendMessage(list, LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(top, 30 - perPage + 1);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), top);
    SendMessage(list, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 0);
    // Emptied, the bar goes away.
    SendMessage(list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_FALSE(GetWindowLong(list, GWL_STYLE) & WS_VSCROLL);
}
