// End to end: the real downloader in its own app folder, signalled through
// the program's own downloader control.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include "downloader/FakeForecastService.h"
#include "downloader/PumpProcess.h"
#include "platform/kernel/NamedEvent.h"
#include "weather/DownloaderControl.h"

using namespace OBPumpTest;

namespace {

// Every test talks to its own downloaders only: the events and the running
// lock live in a scope of this test process, which the downloaders inherit.
class PumpProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string scope = "pumptest" + std::to_string(::getpid()) + "x" + std::to_string(++counter_);
        ::setenv("ORBELLINE_EVENT_SCOPE", scope.c_str(), 1);
        ob::kernel::SetNamedObjectScope(scope);
        OBWeather::ReleaseDownloaderEvents();
    }
    void TearDown() override {
        OBWeather::ReleaseDownloaderEvents();
        for (const wchar_t* name : {OBWeather::kGetNowEventName, OBWeather::kBusyEventName, OBWeather::kStartStopEventName})
            ob::kernel::NamedEvent::Remove(name);
        ::unsetenv("ORBELLINE_EVENT_SCOPE");
        ::unsetenv("ORBELLINE_FORECAST_URL");
    }
    static bool DownloaderRunning() {
        return ob::kernel::NamedLivenessLock::IsHeld(OBWeather::kDownloaderRunningLockName);
    }
    static inline int counter_ = 0;
};

}  // namespace

TEST_F(PumpProcessTest, CommandLineHelpAndMistakes) {
    PumpApp app;
    ProcessResult r = app.Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: ForecastPumpCF", 0), 0u) << r.out;

    r = app.Run({"--nope"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown option: --nope"), std::string::npos) << r.err;
    r = app.Run({"--once", "--service-url", "ftp://example.org/"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("ftp://example.org/"), std::string::npos) << r.err;

    // No settings file: nothing to fetch, nothing failed.
    r = app.Run({"--once", "--service-url", "http://127.0.0.1:9/v1/forecast"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 of 0 cities updated\n");
}

TEST_F(PumpProcessTest, RunsOnceAtATimeAndStopsWhenTheProgramSaysSo) {
    PumpApp app;
    WriteFile(app / "settings.csv", "loglevel,0\r\nweatherusenetwork,0\r\n");
    const pid_t first = app.Start({"--service-url", "http://127.0.0.1:9/v1/forecast"});
    ASSERT_TRUE(WaitUntil([&] { return DownloaderRunning(); })) << ReadFile(app / "weather/ForecastPumpCF.log");

    // The program starts it on every start: a second one leaves at once.
    const pid_t second = app.Start({});
    EXPECT_EQ(app.WaitFor(second, 5000), 0);
    EXPECT_TRUE(app.IsRunning(first));
    EXPECT_FALSE(OBWeather::IsDownloaderBusy());

    ASSERT_TRUE(OBWeather::RequestUpdateNow());
    ASSERT_TRUE(WaitUntil([&] {
        return ReadFile(app / "weather/ForecastPumpCF.log").find("fetch done") != std::string::npos;
    }));
    OBWeather::StopDownloader();
    EXPECT_EQ(app.WaitFor(first, 5000), 0);
    EXPECT_FALSE(DownloaderRunning());
    EXPECT_FALSE(OBWeather::IsDownloaderBusy());
    const std::string log = ReadFile(app / "weather/ForecastPumpCF.log");
    EXPECT_NE(log.find("another downloader is running; leaving"), std::string::npos) << log;
    EXPECT_NE(log.find("stopped"), std::string::npos) << log;

    // With no downloader, the stop event is gone and the next one is not stopped by it.
    OBWeather::StopDownloader();
    EXPECT_FALSE(ob::kernel::NamedEvent::Open(OBWeather::kStartStopEventName, ob::kernel::NamedEvent::Kind::ManualReset));
    const pid_t third = app.Start({});
    ASSERT_TRUE(WaitUntil([&] { return DownloaderRunning(); }));
    EXPECT_TRUE(app.IsRunning(third));
    ::kill(third, SIGTERM);  // a terminal's interrupt or a system shutdown ends it cleanly too
    EXPECT_EQ(app.WaitFor(third, 5000), 0);
}
