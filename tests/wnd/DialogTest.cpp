#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "wnd/Controls.h"
#include "wnd/Dialog.h"

using namespace ZEP_Wnd;
using ob::ui::testing::UiDriver;

namespace {

constexpr UINT kTestDialog = 7001;

void RegisterTestDialog() {
    DLGTEMPLATE t;
    t.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
    t.cx = 120;
    t.cy = 80;
    t.title = L"Test";
    DLGITEMTEMPLATE ok;
    ok.className = L"BUTTON";
    ok.text = L"OK";
    ok.id = IDOK;
    ok.style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    ok.x = 4;
    ok.y = 4;
    ok.cx = 40;
    ok.cy = 14;
    DLGITEMTEMPLATE cancel = ok;
    cancel.text = L"Cancel";
    cancel.id = IDCANCEL;
    cancel.x = 50;
    t.items = {ok, cancel};
    ob::ui::RegisterDialog(kTestDialog, t);
}

// A dialog that answers a control colour and a notification through the
// typed handlers, and a private message through OnMessage beneath them.
class AnsweringDialog : public Dialog {
public:
    AnsweringDialog() : Dialog(kTestDialog, nullptr) {}
    bool OnInitDialog() override {
        initialised = true;
        return Dialog::OnInitDialog();
    }
    HBRUSH OnCtlColor(UINT message, HDC, HWND) override {
        return message == WM_CTLCOLORSTATIC ? reinterpret_cast<HBRUSH>(0x1234) : nullptr;
    }
    bool OnNotify(const NMHDR& header, LRESULT& result) override {
        result = static_cast<LRESULT>(header.idFrom) + 1;
        return true;
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_USER + 5) {
            result = 42;
            return true;
        }
        return Dialog::OnMessage(message, wParam, lParam, result);
    }
    bool initialised = false;
};

// A 48 x 16 picture of three frames as a 24-bit BMP file.
std::vector<std::uint8_t> ThreeFrameBitmap() {
    const int w = 48, h = 16, row = w * 3;
    std::vector<std::uint8_t> b(54 + static_cast<size_t>(row * h), 0x80);
    std::fill(b.begin(), b.begin() + 54, 0);
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    put32(34, static_cast<std::uint32_t>(row * h));
    return b;
}

}  // namespace

TEST(Dialog, DoModalReturnsOneForOkAndTwoForCancel) {
    UiDriver ui;
    InitCommonControls();
    RegisterTestDialog();
    for (const int button : {IDOK, IDCANCEL}) {
        AnsweringDialog dialog;
        ui.WhenIdle([&] {
            ASSERT_NE(dialog.GetHandle(), nullptr);
            const POINT p = ob::ui::testing::CentreOf(GetDlgItem(dialog.GetHandle(), button));
            ui.PenDown(p);
            ui.PenUp(p);
        });
        EXPECT_EQ(dialog.DoModal(), button);
        EXPECT_TRUE(dialog.initialised);
        EXPECT_EQ(dialog.GetHandle(), nullptr) << "unbound once the dialog is gone";
    }
}

TEST(Dialog, ProcedureReturnsColoursDirectlyAndStoresOtherResults) {
    UiDriver ui;
    InitCommonControls();
    RegisterTestDialog();
    AnsweringDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless());
    const HWND hwnd = dialog.GetHandle();
    EXPECT_EQ(Dialog::DialogProc(hwnd, WM_CTLCOLORSTATIC, 0, 0), 0x1234);
    EXPECT_EQ(Dialog::DialogProc(hwnd, WM_USER + 5, 0, 0), TRUE);
    EXPECT_EQ(GetWindowLongPtr(hwnd, DWLP_MSGRESULT), 42);
    NMHDR header{nullptr, 8, 0};
    EXPECT_EQ(Dialog::DialogProc(hwnd, WM_NOTIFY, 8, reinterpret_cast<LPARAM>(&header)), TRUE);
    EXPECT_EQ(GetWindowLongPtr(hwnd, DWLP_MSGRESULT), 9);
    EXPECT_EQ(Dialog::DialogProc(hwnd, WM_USER + 6, 0, 0), FALSE) << "unhandled messages say so";
    EXPECT_EQ(Dialog::DialogProc(hwnd, WM_CTLCOLOREDIT, 0, 0), FALSE);
    DestroyWindow(hwnd);
    EXPECT_EQ(dialog.GetHandle(), nullptr);
}

TEST(CheckListCtrl, PicturesAreCheckStatesAndToggleAsTheListExpects) {
    UiDriver ui;
    InitCommonControls();
    ob::ui::RegisterBitmap(CheckListCtrl::kStateBitmapId, ThreeFrameBitmap());
    const HWND list =
        CreateWindowEx(0, WC_LISTVIEW, L"", WS_POPUP | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER, 0, 0,
                       200, 120, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    CheckListCtrl checks;
    ASSERT_TRUE(checks.Subclass(list));
    checks.InsertItem(0, L"Checked", 1, 0);
    checks.InsertItem(1, L"Unchecked", 0, 0);
    checks.InsertItem(2, L"Odd picture", 5, 0);
    EXPECT_EQ(checks.GetCheck(0), 1);
    EXPECT_EQ(checks.GetCheck(1), 0);
    EXPECT_EQ(checks.GetCheck(2), 0) << "pictures above 2 read as unchecked";
    checks.ToggleCheck(0);
    checks.ToggleCheck(2);
    EXPECT_EQ(checks.GetCheck(0), 0);
    EXPECT_EQ(checks.GetCheck(2), 1) << "any picture other than 1 toggles to checked";

    // Enter toggles the selected row.
    checks.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
    ui.Key(VK_RETURN);
    EXPECT_EQ(checks.GetCheck(1), 1);
    DestroyWindow(list);
}

TEST(CheckListCtrl, TakeOverFailsWithoutItsStatePictures) {
    UiDriver ui;
    InitCommonControls();
    ob::ui::ClearResources();
    const HWND list = CreateWindowEx(0, WC_LISTVIEW, L"", WS_POPUP | LVS_REPORT, 0, 0, 100, 100, nullptr,
                                     nullptr, nullptr, nullptr);
    CheckListCtrl checks;
    EXPECT_FALSE(checks.Subclass(list));
    EXPECT_EQ(checks.GetHandle(), nullptr);
    DestroyWindow(list);
}
