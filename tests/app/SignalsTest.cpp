// SIGTERM, SIGINT and SIGHUP end the running program as File > Exit does:
// the settings are saved, the downloader is told to stop when the user wants
// it so, and the exit code is 0, also with a dialog open.
#include <csignal>

#include "platform/kernel/NamedEvent.h"
#include "tests/app/ShellFixture.h"
#include "weather/DownloaderControl.h"

namespace shelltest {
namespace {

using ob::kernel::NamedEvent;

class Signals : public ::testing::Test, public ShellFixture {
protected:
    // Runs the loop until it ends; `during` runs the first time it waits.
    int RunLoop(std::function<void()> during) {
        ui.WhenIdle(std::move(during));
        const int code = app->Run();
        app.reset();
        return code;
    }
};

TEST_F(Signals, EachEndingSignalSavesStopsTheDownloaderAndEndsWithZero) {
    auto stop = NamedEvent::Create(OBWeather::kStartStopEventName, NamedEvent::Kind::ManualReset, false);
    ASSERT_TRUE(stop);
    for (int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(number);
        stop->Reset();
        WriteSettings("cities,1;2;3\r\nweatherkilldownloader,1\r\n");
        ASSERT_TRUE(Start());
        ActiveList()->SelectRow(2);
        Command(OBControls::kCmdMoveUp);  // in memory only, until the program ends
        RemoveSettings();
        EXPECT_EQ(RunLoop([number] { std::raise(number); }), 0);
        EXPECT_EQ(StoredValue("cities"), "1;3;2");
        EXPECT_TRUE(stop->IsSet());
    }
    // Without the wish to stop it the downloader is left running; after the
    // loop has ended a late signal is still caught and ends nothing (the
    // default action would end this test).
    stop->Reset();
    WriteSettings("cities,1\r\nweatherkilldownloader,0\r\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(RunLoop([] { std::raise(SIGTERM); }), 0);
    EXPECT_FALSE(stop->IsSet());
    std::raise(SIGTERM);
    struct sigaction now {};
    ::sigaction(SIGTERM, nullptr, &now);
    EXPECT_NE(now.sa_handler, SIG_DFL);
    NamedEvent::Remove(OBWeather::kStartStopEventName);
}

TEST_F(Signals, ASignalWhileTheHomeCityDialogIsOpenEndsTheProgramToo) {
    GetAppSettings() = AppSettings();
    app = std::make_unique<OrbellineApp>();
    app->SetStartDownloader(false);
    ASSERT_TRUE(app->InitInstance());
    bool asked = false;
    EXPECT_EQ(RunLoop([&] {
                  asked = ui.FindByText(L"Home City") != nullptr;
                  std::raise(SIGHUP);
              }),
              0);
    EXPECT_TRUE(asked);
    EXPECT_EQ(StoredValue("cities"), "");
    EXPECT_EQ(ui.FindByText(L"Home City"), nullptr);
}

TEST_F(Signals, ASignalWhileAQuestionIsAskedEndsWithoutAnsweringIt) {
    WriteSettings("cities,1;2;3\r\n");
    ASSERT_TRUE(Start());
    ActiveList()->SelectRow(1);
    Main()->PostMessage(WM_COMMAND, OBControls::kCmdRemoveCity);
    EXPECT_EQ(RunLoop([] { std::raise(SIGTERM); }), 0);
    EXPECT_EQ(StoredValue("cities"), "1;2;3");
}

}  // namespace
}  // namespace shelltest
