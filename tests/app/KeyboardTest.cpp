// The desktop keyboard through the program's own loop: the view and exit
// keys, the menu bar from F10 and Alt, the arrows in the menus, and Enter,
// Escape and Tab in a dialog.
#include "tests/app/ShellFixture.h"

#include "platform/ui/Controls.h"

namespace shelltest {
namespace {

constexpr wchar_t kMenuClass[] = L"#32768";

class Keyboard : public ::testing::Test, public ShellFixture {
protected:
    void SetUp() override {
        WriteSettings(kTwelveCities);
        ASSERT_TRUE(Start());
        ui.SetMessageFilter([this](MSG& msg) { return app && app->PreTranslateMessage(msg); });
    }
    // A popup menu is open on the screen.
    bool MenuOpen() const {
        const HWND menu = ui.FindByClass(kMenuClass);
        return menu && ::IsWindowVisible(menu);
    }
    static void Press(UINT key) { PressKey(key); }
};

TEST_F(Keyboard, CtrlDigitsSwitchTheViewsAndCtrlQExits) {
    ui.KeyWith(VK_CONTROL, '2');
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetPlannerView());
    ui.KeyWith(VK_CONTROL, '3');
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetWeatherView());
    ui.KeyWith(VK_CONTROL, '1');
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetMapView());
    // The digit alone is the list's, not a view switch.
    ui.Key('2');
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetMapView());
    EXPECT_EQ(StoredValue("tab"), "0");

    const HWND main = Main()->GetHandle();
    ui.KeyWith(VK_CONTROL, 'Q');
    EXPECT_FALSE(::IsWindow(main));
    MSG quit;
    EXPECT_TRUE(::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(Keyboard, F10OpensTheFirstMenuAndTheArrowsWalkTheBar) {
    std::vector<bool> seen;
    std::vector<int> hot;
    // F10: File opens; Right: View opens in its place; Down, Enter: its second item.
    ui.WhenIdle([&] {
        seen.push_back(MenuOpen());
        Press(VK_RIGHT);
    });
    ui.WhenIdle([&] {
        seen.push_back(MenuOpen());
        Press(VK_DOWN);
        Press(VK_RETURN);
    });
    ui.Key(VK_F10);
    ui.RunUntilIdle();
    EXPECT_FALSE(ui.PendingIdleSteps());
    EXPECT_EQ(seen, (std::vector<bool>{true, true}));
    EXPECT_FALSE(MenuOpen());
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetPlannerView());  // View > Time Planner

    // Left from the first menu wraps round to the last (Tools); Escape closes it.
    ui.WhenIdle([&] { Press(VK_LEFT); });
    ui.WhenIdle([&] {
        seen.push_back(MenuOpen());
        Press(VK_ESCAPE);
    });
    ui.Key(VK_F10);
    EXPECT_FALSE(ui.PendingIdleSteps());
    EXPECT_FALSE(MenuOpen());
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetPlannerView());
}

TEST_F(Keyboard, AltAloneOpensTheMenuAndAltWithAKeyDoesNot) {
    bool open = false;
    ui.WhenIdle([&] {
        open = MenuOpen();
        Press(VK_ESCAPE);
    });
    ui.Key(VK_MENU);
    EXPECT_FALSE(ui.PendingIdleSteps());
    EXPECT_TRUE(open);
    EXPECT_FALSE(MenuOpen());
    // Alt with another key is a chord, not a request for the menu: no loop
    // waits, so nothing is left open and the view stays.
    ui.KeyWith(VK_MENU, 'X');
    EXPECT_FALSE(MenuOpen());
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetMapView());
}

TEST_F(Keyboard, EnterConfirmsAndEscapeCancelsADialogOpenedFromTheMenu) {
    // F10, Enter: File > About opens; Escape closes it. Then again with Enter.
    for (UINT close : {VK_ESCAPE, VK_RETURN}) {
        HWND dialog = nullptr;
        ui.WhenIdle([&] { Press(VK_RETURN); });  // the first item of File
        ui.WhenIdle([&] {
            dialog = ::GetActiveWindow();
            Press(close);
        });
        ui.Key(VK_F10);
        ui.RunUntilIdle();
        EXPECT_FALSE(ui.PendingIdleSteps()) << close;
        EXPECT_NE(dialog, Main()->GetHandle()) << close;
        EXPECT_FALSE(::IsWindow(dialog)) << close;
        EXPECT_EQ(::GetActiveWindow(), Main()->GetHandle()) << close;
    }
}

}  // namespace
}  // namespace shelltest
