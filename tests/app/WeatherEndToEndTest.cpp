// End to end with real processes: the program (on the headless screen) starts
// the real downloader, which fetches from the fake forecast service; Update
// Weather, the busy animation while the service holds its answers, the new
// temperatures in the list afterwards, and the detail page with the served values.
#include <signal.h>

#include <chrono>
#include <thread>

#include "dialogs/CityWeatherDialog.h"
#include "platform/ui/win/WindowSystem.h"
#include "support/FakeForecastService.h"
#include "support/Wait.h"
#include "tests/app/WeatherFixture.h"

namespace shelltest {
namespace {

// The downloader is another process: what it does is waited for in real time.
using ob::test::WaitUntil;
using OBPumpTest::Gate;

class WeatherEndToEnd : public ::testing::Test, public WeatherFixture {
protected:
    void TearDown() override {
        OBWeather::StopDownloader();
        WaitUntil(
            [] { return !ob::kernel::NamedLivenessLock::IsHeld(OBWeather::kDownloaderRunningLockName); },
            5000);
        ::unsetenv("ORBELLINE_FORECAST_URL");
        ::unsetenv("ORBELLINE_EVENT_SCOPE");
        OBWeather::ReleaseDownloaderEvents();
    }
};

TEST_F(WeatherEndToEnd, UpdateWeatherAnimatesThenShowsTheServedForecast) {
    Gate gate;
    OBPumpTest::FakeForecastService service([&](const OBPumpTest::FakeRequest& request) {
        gate.WaitOpen();
        const double base = std::stod(request.query.at("latitude")) > 50 ? 20.2 : 3.0;  // London, New York
        return OBPumpTest::FakeReply{OBPumpTest::FakeReply::Kind::Normal, 200,
                                     OBPumpTest::ForecastJson("2026-12-07", 8, base)};
    });
    const fs::path app = AppFolder();
    fs::copy_file(fs::path(ORBELLINE_APP_DIR) / "ForecastPumpCF", app / "ForecastPumpCF");
    std::ofstream(app / "settings.csv") << "cities,234;292\r\nweatherusenetwork,0\r\nloglevel,0\r\n";
    // The downloader inherits the events' scope and the service's address.
    // Events of their own: an earlier test in this process may have left the
    // "update now" event set, which would start a second fetch.
    OBWeather::ReleaseDownloaderEvents();
    ob::kernel::SetNamedObjectScope("weather-end-to-end-" + std::to_string(::getpid()));
    ::setenv("ORBELLINE_EVENT_SCOPE", ob::kernel::NamedObjectScope().c_str(), 1);
    ::setenv("ORBELLINE_FORECAST_URL", service.Url().c_str(), 1);

    WriteSettings("cities,234;292\r\ntab,2\r\nweatherupdatewarning,0\r\n");
    GetAppSettings() = AppSettings();
    this->app = std::make_unique<OrbellineApp>();
    this->app->SetStartDownloader(true);
    ASSERT_TRUE(this->app->InitInstance());
    ui.RunUntilIdle();
    ASSERT_TRUE(WaitUntil([] {
        return ob::kernel::NamedLivenessLock::IsHeld(OBWeather::kDownloaderRunningLockName);
    })) << "the program did not start the downloader";
    EXPECT_EQ(List().GetCellText(City(0), 0), L"-/-");

    Command(OBControls::kCmdUpdateWeather);
    ASSERT_TRUE(WaitUntil([&] { return gate.SomeoneWaiting(); })) << "no fetch";
    ASSERT_TRUE(WaitUntil([] { return OBWeather::IsDownloaderBusy(); }));
    ui.Advance(1000);
    EXPECT_TRUE(List().IsBusy());
    const int frame = List().GetBusyAnimation().GetCurrentFrame();
    ui.Advance(250);
    EXPECT_NE(List().GetBusyAnimation().GetCurrentFrame(), frame);
    EXPECT_FALSE(Enabled(OBControls::kCmdUpdateWeather));

    gate.Open();
    ASSERT_TRUE(WaitUntil([] { return !OBWeather::IsDownloaderBusy(); }));
    ui.Advance(1000);
    EXPECT_FALSE(List().IsBusy());
    EXPECT_EQ(List().GetCellText(City(0), 0), L"21/14");  // 8 December: base + 1 and base - 6
    EXPECT_EQ(List().GetCellText(City(1), 1), L"5/-4");   // New York on the 9th
    EXPECT_EQ(service.Requests().size(), 2u);

    std::wstring page;
    ui.WhenIdle([&] {
        if (auto* dialog = dynamic_cast<OBControls::CityWeatherDialogBase*>(
                ZEP_Wnd::GetWindowManager()->Find(::GetActiveWindow())))
            page = dialog->GetHtml();
        ::SendMessage(::GetActiveWindow(), WM_COMMAND, IDOK, 0);
    });
    Command(OBControls::kCmdWeatherDetail);
    EXPECT_NE(page.find(L"<h1>London</h1>"), std::wstring::npos) << ob::kernel::ToUtf8(page);
    EXPECT_NE(page.find(L"21 C"), std::wstring::npos);
    EXPECT_NE(page.find(L"14 C"), std::wstring::npos);
}

// The downloader started from the app folder, found by its executable.
pid_t DownloaderPid(const fs::path& exe) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::error_code ec;
        if (fs::read_symlink(entry.path() / "exe", ec) == exe)
            return static_cast<pid_t>(std::stol(entry.path().filename().string()));
    }
    return -1;
}

TEST_F(WeatherEndToEnd, AnUnreachableServiceIsToldInTheHeaderAndAKilledDownloaderIsStartedAgain) {
    const fs::path app = AppFolder();
    fs::copy_file(fs::path(ORBELLINE_APP_DIR) / "ForecastPumpCF", app / "ForecastPumpCF");
    std::ofstream(app / "settings.csv") << "cities,234;292\r\nweatherusenetwork,0\r\n";
    OBWeather::ReleaseDownloaderEvents();
    ob::kernel::SetNamedObjectScope("weather-unreachable-" + std::to_string(::getpid()));
    ::setenv("ORBELLINE_EVENT_SCOPE", ob::kernel::NamedObjectScope().c_str(), 1);
    ::setenv("ORBELLINE_FORECAST_URL", "http://127.0.0.1:9/v1/forecast", 1);  // nothing listens
    WriteSettings("cities,234;292\r\ntab,2\r\nweatherupdatewarning,0\r\nweatherusenetwork,0\r\n");
    GetAppSettings() = AppSettings();
    this->app = std::make_unique<OrbellineApp>();
    this->app->SetStartDownloader(true);
    ASSERT_TRUE(this->app->InitInstance());
    ui.RunUntilIdle();
    const auto running = [] {
        return ob::kernel::NamedLivenessLock::IsHeld(OBWeather::kDownloaderRunningLockName);
    };
    ASSERT_TRUE(WaitUntil(running));
    EXPECT_EQ(List().GetStatusText(), L"Not updated yet");

    const fs::path status = app / "weather/data/status.csv";
    const auto fetchOnce = [&] {
        fs::remove(status);
        Command(OBControls::kCmdUpdateWeather);
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(status) && !OBWeather::IsDownloaderBusy(); }));
        ob::ui::WaitForWork(2000);  // the folder watcher's news
        ui.RunUntilIdle();
    };
    fetchOnce();
    EXPECT_EQ(List().GetStatusText(), L"Failed: no connection");

    // Killed: the next Update Weather starts it again and is served.
    const pid_t pid = DownloaderPid(app / "ForecastPumpCF");
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGKILL);
    ASSERT_TRUE(WaitUntil([&] { return !running(); }));
    fetchOnce();
    EXPECT_TRUE(running());
    EXPECT_EQ(List().GetStatusText(), L"Failed: no connection");
    EXPECT_EQ(OBWeather::DownloaderProblem(), L"");
}

}  // namespace
}  // namespace shelltest
