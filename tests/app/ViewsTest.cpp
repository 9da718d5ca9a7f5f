// The views: the minute timer, activation and leaving, the tap-and-hold city
// menu, and the screenshots of every view at both densities.
#include "tests/app/ShellFixture.h"

#include "platform/kernel/Clock.h"

namespace shelltest {
namespace {

using ob::ui::testing::UiDriver;

using namespace OBControls;
using ZEP_Utility::DateTime;

class Views : public ::testing::Test, public ShellFixture {
protected:
    void SetUp() override {
        WriteSettings(std::string(kTwelveCities) + "tab,0\r\n");
        ASSERT_TRUE(Start());
    }
    static bool SameMinute(const DateTime& a, const DateTime& b) {
        return a.GetYear() == b.GetYear() && a.GetMonth() == b.GetMonth() && a.GetDay() == b.GetDay() &&
               a.GetHour() == b.GetHour() && a.GetMinute() == b.GetMinute();
    }
};

TEST_F(Views, ShownTimeFollowsTheMinuteOnlyWhileTheViewIsActive) {
    MapView& map = Main()->GetMapView();
    WeatherView& weather = Main()->GetWeatherView();
    EXPECT_TRUE(SameMinute(map.GetTime(), DateTime::UtcNow()));
    // Within the minute nothing changes; at the change it follows within a second.
    const DateTime before = map.GetTime();
    ui.Advance(30 * 1000 - 1);
    EXPECT_EQ(map.GetTime(), before);
    ui.Advance(61 * 1000);
    EXPECT_TRUE(SameMinute(map.GetTime(), DateTime::UtcNow()));
    EXPECT_FALSE(SameMinute(map.GetTime(), before));

    // A hidden view is not kept up to date, and catches up when shown again.
    Command(kCmdViewWeather);
    const DateTime mapWhenLeft = map.GetTime();
    ui.Advance(5 * 60 * 1000);
    EXPECT_EQ(map.GetTime(), mapWhenLeft);
    EXPECT_TRUE(SameMinute(weather.GetTime(), DateTime::UtcNow()));
    Command(kCmdViewMap);
    EXPECT_TRUE(SameMinute(map.GetTime(), DateTime::UtcNow()));
}

TEST_F(Views, LeavingTheMapAfterMovingCitiesKeepsTheOrderAcrossARestart) {
    ActiveList()->SelectRow(5);
    Command(kCmdMoveUp);
    Command(kCmdMoveUp);
    const std::wstring third = NameAt(3);
    RemoveSettings();
    Command(kCmdViewPlanner);
    EXPECT_EQ(StoredValue("cities"), "1;2;3;6;4;5;7;8;9;10;11;12");
    // Activation gives the list the group again, from the first row.
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 0);
    Restart();
    EXPECT_EQ(NameAt(3), third);
}

TEST_F(Views, TapAndHoldOpensTheCityMenuAndRemoveAsksTheSameQuestion) {
    ActiveList()->SelectRow(1);
    const RECT list = ActiveList()->GetWindowRect();
    const POINT held{(list.left + list.right) / 2, list.top + 3};  // on the first row
    RECT popup{};
    bool asked = false;
    // The pen rests until the gesture is recognised; then the menu waits
    // for a choice, then the question for an answer.
    ui.PenDown(held);
    ui.WhenIdle([&] {
        ob::kernel::AdvanceVirtualClock(800 * ob::kernel::kTicksPerMillisecond);
        ob::ui::InjectPen(2, held);
    });
    ui.WhenIdle([&] {
        HWND menu = ::FindWindow(L"#32768", nullptr);
        ASSERT_NE(menu, nullptr);
        ::GetWindowRect(menu, &popup);
        ui.Screenshot(UiDriver::OutputPath("shell_city_menu_qvga.png"));
        for (UINT key :
             {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})  // Information, Weather, Set as Home, Remove
            PressKey(key);
    });
    ui.WhenIdle([&] {
        asked = ui.FindByClass(L"#MessageBox") != nullptr;
        PressKey(VK_RIGHT);
        PressKey(VK_RETURN);  // No
    });
    ui.RunUntilIdle();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(ui.PendingIdleSteps());
    EXPECT_TRUE(popup.left <= held.x && held.x <= popup.right) << "the menu opens at the pen";
    EXPECT_EQ(Group().GetCount(), 12);
    // The pen went down on the first row, which is selected now.
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 0);
}

// Screenshots of each view with 0, 1 and 12 cities at both densities, to look at.
class ViewScreens : public ::testing::TestWithParam<std::string> {};

TEST_P(ViewScreens, EveryViewWithNoneOneAndTwelveCities) {
    const std::string screen = GetParam();
    const char* counts[] = {"", "cities,1\r\n", kTwelveCities};
    const char* names[] = {"0", "1", "12"};
    for (int c = 0; c < 3; ++c) {
        ShellFixture shell(screen);
        shell.WriteSettings(counts[c]);
        ASSERT_TRUE(shell.Start());
        const UINT ids[] = {kCmdViewMap, kCmdViewPlanner, kCmdViewWeather};
        const char* views[] = {"map", "planner", "weather"};
        for (int v = 0; v < 3; ++v) {
            shell.Command(ids[v]);
            shell.ui.Screenshot(UiDriver::OutputPath(std::string("shell_") + views[v] + "_" + names[c] + "_" +
                                                     screen + ".png"));
            OBControls::CityGroupListCtrl* list = shell.ActiveList();
            EXPECT_TRUE(list->IsVisible());
            // The list fills the view, which ends at the menu bar.
            RECT lr = list->GetWindowRect(), bar{};
            ::GetWindowRect(shell.Main()->GetMenuBar(), &bar);
            EXPECT_EQ(lr.bottom, bar.top) << views[v];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Densities, ViewScreens, ::testing::Values("240x320", "480x640"));

}  // namespace
}  // namespace shelltest
