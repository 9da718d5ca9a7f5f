// The application and its main window: start-up, the views, the View menu,
// the moments the settings file is written, exit and a second instance.
#include "tests/app/ShellFixture.h"

#include "platform/ui/Shell.h"
#include "platform/ui/display/Display.h"
#include "platform/ui/win/WindowSystem.h"

namespace shelltest {
namespace {

class Shell : public ::testing::Test, public ShellFixture {};

TEST_F(Shell, StartsWithMenuBarThreeViewsAndTheStoredView) {
    WriteSettings(std::string(kTwelveCities) + "tab,1\r\n");
    ASSERT_TRUE(Start());
    AppMainWindow* main = Main();
    EXPECT_EQ(main->GetWindowText(), L"Orbelline");
    ASSERT_NE(main->GetMenuBar(), nullptr);
    // The frame ends where the menu bar begins.
    RECT frame = main->GetWindowRect(), bar{};
    ::GetWindowRect(main->GetMenuBar(), &bar);
    EXPECT_EQ(frame.bottom, bar.top);

    ASSERT_EQ(main->GetViews().size(), 3u);
    EXPECT_EQ(main->GetActiveView(), &main->GetPlannerView());
    EXPECT_TRUE(main->GetPlannerView().IsVisible());
    EXPECT_FALSE(main->GetMapView().IsVisible());
    EXPECT_FALSE(main->GetWeatherView().IsVisible());
    EXPECT_TRUE(main->GetPlannerView().IsTimerRunning());
    EXPECT_FALSE(main->GetMapView().IsTimerRunning());
    // Every view fills the client area, and so does its list.
    const RECT client = main->GetClientRect();
    for (OBControls::BaseView* view : main->GetViews()) {
        const RECT r = view->GetClientRect();
        EXPECT_EQ(r.right, client.right);
        EXPECT_EQ(r.bottom, client.bottom);
    }
    EXPECT_EQ(Group().GetCount(), 12);
    EXPECT_EQ(ActiveListView()->GetDlgItem(OBControls::kCityListId), ActiveList()->GetHandle());
}

TEST_F(Shell, StoredViewOutsideTheThreeOpensTheMap) {
    for (const char* tab : {"7", "-1"}) {
        WriteSettings(std::string("tab,") + tab + "\r\n");
        ASSERT_TRUE(Start());
        EXPECT_EQ(Main()->GetActiveView(), &Main()->GetMapView()) << tab;
        EXPECT_TRUE(Checked(kCmdViewMap));
        Exit();
        EXPECT_EQ(StoredValue("tab"), "0");
    }
}

TEST_F(Shell, SwitchingViewsWritesTheFileOnlyOnARealSwitch) {
    WriteSettings(kTwelveCities);
    ASSERT_TRUE(Start());
    RemoveSettings();
    Command(kCmdViewMap);  // already shown
    EXPECT_FALSE(SettingsExist());
    EXPECT_TRUE(Main()->GetMapView().IsVisible());

    Command(kCmdViewWeather);
    ASSERT_TRUE(SettingsExist());
    EXPECT_EQ(StoredValue("tab"), "2");
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetWeatherView());
    EXPECT_FALSE(Main()->GetMapView().IsVisible());
    EXPECT_FALSE(Main()->GetMapView().IsTimerRunning());
    // The list's field choice went to the file with the view's departure.
    EXPECT_NE(StoredValue("mapview_list"), "(none)");

    RemoveSettings();
    Command(kCmdViewWeather);
    EXPECT_FALSE(SettingsExist());

    Restart();
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetWeatherView());
}

TEST_F(Shell, ViewMenuChecksExactlyTheShownView) {
    ASSERT_TRUE(Start());
    const UINT ids[] = {kCmdViewMap, kCmdViewPlanner, kCmdViewWeather};
    for (int shown = 0; shown < 3; ++shown) {
        Command(ids[shown]);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Checked(ids[i]), i == shown) << "shown " << shown << ", item " << i;
        // Only the map and the planner have information fields to change.
        EXPECT_EQ(Enabled(OBControls::kCmdChangeFields), shown != 2) << "shown " << shown;
    }
    // Through the real menu bar: the View popup carries the marks when it opens.
    HMENU viewMenu =
        reinterpret_cast<HMENU>(::SendMessage(Main()->GetMenuBar(), SHCMBM_GETSUBMENU, 0, 40008));
    ASSERT_NE(viewMenu, nullptr);
    UINT mapState = 0, weatherState = 0;
    ui.WhenIdle([&] {
        mapState = ::GetMenuState(viewMenu, kCmdViewMap, MF_BYCOMMAND);
        weatherState = ::GetMenuState(viewMenu, kCmdViewWeather, MF_BYCOMMAND);
        PressKey(VK_ESCAPE);
    });
    RECT bar{};
    ::GetWindowRect(Main()->GetMenuBar(), &bar);
    ui.Tap(POINT{bar.left + ob::ui::Scale(45), (bar.top + bar.bottom) / 2});  // "View"
    ui.RunUntilIdle();
    EXPECT_EQ(mapState & MF_CHECKED, 0u);
    EXPECT_NE(weatherState & MF_CHECKED, 0u);
}

TEST_F(Shell, ExitWritesTheFileAndTheNextStartKeepsEverything) {
    WriteSettings(kTwelveCities);
    ASSERT_TRUE(Start());
    ActiveList()->SelectRow(3);
    Command(OBControls::kCmdMoveUp);
    const std::wstring moved = NameAt(2);
    RemoveSettings();
    Exit();
    ASSERT_TRUE(SettingsExist());
    EXPECT_EQ(StoredValue("cities"), "1;2;4;3;5;6;7;8;9;10;11;12");
    Start();
    EXPECT_EQ(NameAt(2), moved);
}

TEST_F(Shell, AFailedSaveIsToldOnceTriedAgainAndMakesTheExitStatusOne) {
    WriteSettings(kTwelveCities);
    ASSERT_TRUE(Start());
    // The save's temporary file cannot be made where a folder stands.
    const std::string blocker = SettingsPath() + ".tmp";
    std::filesystem::create_directory(blocker);
    int boxes = 0;
    const auto answer = [&] {
        if (ui.FindByClass(L"#MessageBox")) {
            ++boxes;
            PressKey(VK_RETURN);
        }
    };
    testing::internal::CaptureStderr();
    for (UINT view : {UINT(kCmdViewPlanner), UINT(kCmdViewWeather)}) {
        ui.WhenIdle(answer);
        Command(view);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(boxes, 1);
    EXPECT_NE(said.find("settings could not be saved: " + SettingsPath() + ": Access is denied."),
              std::string::npos)
        << said;
    EXPECT_EQ(StoredValue("tab"), "(none)");
    std::filesystem::remove(blocker);
    Command(kCmdViewMap);
    EXPECT_EQ(StoredValue("tab"), "0");
    std::filesystem::create_directory(blocker);
    testing::internal::CaptureStderr();
    Command(kCmdExit);  // no box while the windows go
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(app->ExitInstance(), 1);
    app.reset();
    MSG msg;
    while (::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    std::filesystem::remove(blocker);
}

TEST_F(Shell, FirstStartWithoutCitiesShowsTheEmptyListAndAsksAgainNextTime) {
    ASSERT_TRUE(Start());
    EXPECT_FALSE(app->SettingsFileWasRead());
    EXPECT_EQ(Group().GetCount(), 0);
    EXPECT_EQ(ActiveList()->GetSelectedCity(), nullptr);
    // Without a chosen city the City menu has nothing to act on.
    EXPECT_FALSE(Enabled(OBControls::kCmdCityInformation));
    EXPECT_FALSE(Enabled(OBControls::kCmdRemoveCity));
    EXPECT_FALSE(Enabled(OBControls::kCmdMoveDown));
    // The question is asked through command 1 only while the group is empty;
    // cancelled, it leaves the group empty and the next start asks again.
    bool asked = false;
    ui.WhenIdle([&] {
        asked = ui.FindByText(L"Home City") != nullptr;
        PressKey(VK_ESCAPE);
    });
    Command(kCmdFirstRun);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Group().GetCount(), 0);
    Exit();
    EXPECT_EQ(StoredValue("cities"), "");
    asked = false;
    ui.WhenIdle([&] {
        asked = ui.FindByText(L"Home City") != nullptr;
        PressKey(VK_ESCAPE);
    });
    Start();
    EXPECT_TRUE(asked);
}

TEST_F(Shell, CommandsOfDialogsStillToComeChangeNothing) {
    WriteSettings(kTwelveCities);
    ASSERT_TRUE(Start());
    RemoveSettings();
    // Cancelled, the Weather Detail, Options, Change Fields and Information dialogs change nothing either.
    for (UINT id : {OBControls::kCmdWeatherDetail, kCmdOptions, OBControls::kCmdChangeFields,
                    OBControls::kCmdCityInformation}) {
        ui.WhenIdle([] { ::PostMessage(::GetActiveWindow(), WM_COMMAND, IDCANCEL, 0); });
        Command(id);
        EXPECT_FALSE(ui.PendingIdleSteps()) << id;
    }
    EXPECT_FALSE(SettingsExist());
    EXPECT_EQ(Group().GetCount(), 12);
    // The About box opens over the main window and Done closes it.
    bool opened = false;
    ui.WhenIdle([&] {
        opened = ui.FindByText(L"Orbelline 1.0.0") != nullptr;
        PressKey(VK_RETURN);
    });
    Command(kCmdAbout);
    EXPECT_TRUE(opened);
    EXPECT_EQ(::GetActiveWindow(), Main()->GetHandle());
}

TEST_F(Shell, SecondInstanceBringsTheFirstForwardAndEnds) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(app->InitApplication());
    Main()->ShowWindow(SW_HIDE);
    {
        OrbellineApp second;
        second.SetRetryDelay(0);
        EXPECT_FALSE(second.InitApplication());
        EXPECT_EQ(second.GetMainWindow(), nullptr);
    }
    ZEP_Wnd::SetApp(app.get());
    ob::ui::WaitForWork(1000);
    ui.RunUntilIdle();
    EXPECT_TRUE(Main()->IsVisible());
}

// Across the size where the other density is chosen the main window is
// made again at the new one, on the same view with the same city selected
// and the planner at the same time;
// a dialog open at that moment stays as it is, and the main window follows
// once it has closed.
TEST_F(Shell, AnotherDensityRemakesTheMainWindowOnceNothingIsOpenOverIt) {
    WriteSettings(std::string(kTwelveCities) + "tab,1\r\n");
    ASSERT_TRUE(Start());
    ActiveList()->SelectRow(2);
    Main()->GetPlannerView().GetPanel()->ApplySlider(60, true);
    const int rowAt96 = ActiveList()->GetRowHeightPixels();
    ob::ui::ResizeScreen({480, 640, 192});
    ui.RunUntilIdle();
    EXPECT_EQ(Main()->GetActiveView(), &Main()->GetPlannerView());
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 2);
    EXPECT_EQ(Main()->GetPlannerView().GetPanel()->GetSliderPosition(), 60);
    EXPECT_GT(ActiveList()->GetRowHeightPixels(), rowAt96 * 3 / 2);

    const AppMainWindow* before = Main();
    bool keptWhileOpen = false;
    ui.WhenIdle([&] {
        const HWND dialog = ::GetActiveWindow();
        ob::ui::ResizeScreen({240, 320, 96});
        ui.RunUntilIdle();
        keptWhileOpen = ::GetActiveWindow() == dialog && Main() == before;
        ::PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Command(kCmdOptions);
    EXPECT_TRUE(keptWhileOpen);
    ui.Advance(200);
    EXPECT_EQ(ActiveList()->GetRowHeightPixels(), rowAt96);
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 2);
    EXPECT_EQ(::GetActiveWindow(), Main()->GetHandle());
}

}  // namespace
}  // namespace shelltest
