// The City menu through the shared command handler: menu state, Set as Home,
// the removal question, Move Up/Down and Update Weather's data-cost warning.
#include "tests/app/ShellFixture.h"

#include "platform/kernel/NamedEvent.h"
#include "weather/DownloaderControl.h"
#include "wnd/Library.h"

namespace shelltest {
namespace {

using namespace OBControls;

class Commands : public ::testing::Test, public ShellFixture {
protected:
    void SetUp() override {
        WriteSettings(std::string(kTwelveCities) + "tab,0\r\n");
        ASSERT_TRUE(Start());
    }
};

TEST_F(Commands, MenuStateFollowsTheSelection) {
    ActiveList()->SelectRow(0);
    EXPECT_TRUE(Enabled(kCmdCityInformation));
    EXPECT_TRUE(Enabled(kCmdRemoveCity));
    EXPECT_FALSE(Enabled(kCmdSetAsHome)) << "the home city is home already";
    EXPECT_FALSE(Enabled(kCmdMoveUp));
    EXPECT_TRUE(Enabled(kCmdMoveDown));
    ActiveList()->SelectRow(5);
    EXPECT_TRUE(Enabled(kCmdSetAsHome));
    EXPECT_TRUE(Enabled(kCmdMoveUp));
    EXPECT_TRUE(Enabled(kCmdMoveDown));
    ActiveList()->SelectRow(11);
    EXPECT_TRUE(Enabled(kCmdMoveUp));
    EXPECT_FALSE(Enabled(kCmdMoveDown));
    // No check marks from the handler.
    EXPECT_FALSE(Checked(kCmdRemoveCity));
}

TEST_F(Commands, SetAsHomeMovesTheCityToTheFrontAndWrites) {
    ActiveList()->SelectRow(4);
    const std::wstring chosen = SelectedName();
    RemoveSettings();
    Command(kCmdSetAsHome);
    EXPECT_EQ(NameAt(0), chosen);
    EXPECT_EQ(StoredValue("cities"), "5;1;2;3;4;6;7;8;9;10;11;12");
    // The list was given the group again: the selection is back on row 0.
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 0);
    EXPECT_FALSE(Enabled(kCmdSetAsHome));
}

TEST_F(Commands, RemovalAsksAndNoChangesNothing) {
    ActiveList()->SelectRow(2);
    const std::wstring name = SelectedName();
    RemoveSettings();
    bool asked = false;
    ui.WhenIdle([&] {
        asked = ui.FindByClass(L"#MessageBox") != nullptr;
        PressKey(VK_RIGHT);  // from Yes to No
        PressKey(VK_RETURN);
    });
    Command(kCmdRemoveCity);
    EXPECT_TRUE(asked);
    EXPECT_EQ(ViewCommandHandler::RemoveQuestion(*Group().GetCities()[2]),
              L"Are you sure you want to remove " + name + L"?");
    EXPECT_EQ(Group().GetCount(), 12);
    EXPECT_FALSE(SettingsExist());

    ui.WhenIdle([&] { PressKey(VK_RETURN); });  // Yes
    Command(kCmdRemoveCity);
    EXPECT_EQ(Group().GetCount(), 11);
    EXPECT_EQ(StoredValue("cities"), "1;2;4;5;6;7;8;9;10;11;12");
    EXPECT_EQ(Group().IndexOf(3), -1);
}

TEST_F(Commands, MoveUpAndDownKeepTheSelectionOnTheCityAndNeverLeaveTheList) {
    ActiveList()->SelectRow(1);
    const std::wstring second = SelectedName();
    RemoveSettings();
    Command(kCmdMoveUp);  // into row 0: it becomes the home city
    EXPECT_EQ(NameAt(0), second);
    EXPECT_TRUE(Group().IsHomeCity(Group().GetCities()[0]));
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 0);
    EXPECT_EQ(SelectedName(), second);
    Command(kCmdMoveUp);  // greyed at the top: nothing moves
    EXPECT_EQ(NameAt(0), second);
    Command(kCmdMoveDown);
    EXPECT_EQ(NameAt(1), second);
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 1);
    // Moving does not write; the order waits for the next save.
    EXPECT_FALSE(SettingsExist());
    ActiveList()->SelectRow(11);
    Command(kCmdMoveDown);
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 11);
}

TEST_F(Commands, DataCostWarningIsShownOnceAcrossARestart) {
    ob::kernel::NamedEvent::Remove(OBWeather::kGetNowEventName);
    int questions = 0;
    ui.WhenIdle([&] {
        questions += ui.FindByClass(L"#MessageBox") != nullptr;
        PressKey(VK_RIGHT);
        PressKey(VK_RETURN);  // No: nothing is asked of the downloader
    });
    Command(kCmdUpdateWeather);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(GetAppSettings().GetWeatherUpdateWarning());

    ui.WhenIdle([&] { PressKey(VK_RETURN); });  // Yes
    Command(kCmdUpdateWeather);
    EXPECT_FALSE(GetAppSettings().GetWeatherUpdateWarning());
    EXPECT_FALSE(ui.PendingIdleSteps());

    Restart();
    EXPECT_EQ(StoredValue("weatherupdatewarning"), "0");
    // No question this time: a scripted answer stays unused.
    auto asked = std::make_shared<bool>(false);
    ui.WhenIdle([asked] { *asked = true; });
    Command(kCmdUpdateWeather);
    EXPECT_FALSE(*asked);
    EXPECT_TRUE(ui.PendingIdleSteps());
}

TEST_F(Commands, UpdateWeatherWithNoCitiesIsNotTheViewsToHandle) {
    Exit();
    WriteSettings("weatherupdatewarning,0\r\n");
    ASSERT_TRUE(Start());
    ViewCommandHandlerPPC handler;
    EXPECT_FALSE(handler.OnCommand(Main()->GetActiveView(), 0, kCmdUpdateWeather));
    EXPECT_TRUE(handler.OnCommand(Main()->GetActiveView(), 0, kCmdRemoveCity))
        << "handled, though nothing happens";
    EXPECT_FALSE(handler.OnCommand(Main()->GetActiveView(), 0, 12345));
    EXPECT_EQ(handler.GetCityMenuId(), 104u);
    EXPECT_EQ(OBControls::ViewCommandHandler().GetCityMenuId(), 0u);
}

}  // namespace
}  // namespace shelltest
