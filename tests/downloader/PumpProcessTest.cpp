// End to end: the real downloader in its own app folder, signalled through
// the program's own downloader control.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/FakeForecastService.h"
#include "downloader/PumpProcess.h"
#include "platform/kernel/NamedEvent.h"
#include "platform/kernel/WideText.h"
#include "weather/DownloaderControl.h"
#include "weather/FileUtils.h"
#include "weather/WeatherReader.h"

using namespace OBPumpTest;
using ob::test::ReadBytes;
using ob::test::WriteFile;

namespace {

// Every test talks to its own downloaders only: the events and the running
// lock live in a scope of this test process, which the downloaders inherit.
class PumpProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string scope = "pumptest" + std::to_string(::getpid()) + "x" + std::to_string(++m_counter);
        ::setenv("ORBELLINE_EVENT_SCOPE", scope.c_str(), 1);
        ob::kernel::SetNamedObjectScope(scope);
        OBWeather::ReleaseDownloaderEvents();
    }
    void TearDown() override {
        OBWeather::ReleaseDownloaderEvents();
        for (const wchar_t* name :
             {OBWeather::kGetNowEventName, OBWeather::kBusyEventName, OBWeather::kStartStopEventName})
            ob::kernel::NamedEvent::Remove(name);
        ::unsetenv("ORBELLINE_EVENT_SCOPE");
        ::unsetenv("ORBELLINE_FORECAST_URL");
    }
    static bool DownloaderRunning() {
        return ob::kernel::NamedLivenessLock::IsHeld(OBWeather::kDownloaderRunningLockName);
    }
    static inline int m_counter = 0;
};

std::string HighOn(const std::string& file, int day) {
    pugi::xml_document doc;
    if (!doc.load_file(file.c_str()))
        return "<unreadable>";
    const std::string path = "/obWeather/forecast/forecastDays/forecastDay[date/day='" + std::to_string(day) +
                             "' and date/month='12' and date/year='2026']/high/temperature/ambient";
    return doc.select_node(path.c_str()).node().text().get();
}

FakeReply Forecast(const FakeRequest& r) {
    return FakeReply{FakeReply::Kind::Normal, 200,
                     ForecastJson("2026-12-07", 8, std::stod(r.query.at("latitude")))};
}

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
    ASSERT_TRUE(WaitUntil([&] { return DownloaderRunning(); }))
        << ReadBytes(app / "weather/ForecastPumpCF.log");

    // The program starts it on every start: a second one leaves at once.
    const pid_t second = app.Start({});
    EXPECT_EQ(app.WaitFor(second, 5000), 0);
    EXPECT_TRUE(app.IsRunning(first));
    EXPECT_FALSE(OBWeather::IsDownloaderBusy());

    ASSERT_TRUE(OBWeather::RequestUpdateNow());
    ASSERT_TRUE(WaitUntil([&] {
        return ReadBytes(app / "weather/ForecastPumpCF.log").find("fetch done") != std::string::npos;
    }));
    OBWeather::StopDownloader();
    EXPECT_EQ(app.WaitFor(first, 5000), 0);
    EXPECT_FALSE(DownloaderRunning());
    EXPECT_FALSE(OBWeather::IsDownloaderBusy());
    const std::string log = ReadBytes(app / "weather/ForecastPumpCF.log");
    EXPECT_NE(log.find("another downloader is running; leaving"), std::string::npos) << log;
    EXPECT_NE(log.find("stopped"), std::string::npos) << log;

    // With no downloader, the stop event is gone and the next one is not stopped by it.
    OBWeather::StopDownloader();
    EXPECT_FALSE(ob::kernel::NamedEvent::Open(OBWeather::kStartStopEventName,
                                              ob::kernel::NamedEvent::Kind::ManualReset));
    const pid_t third = app.Start({});
    ASSERT_TRUE(WaitUntil([&] { return DownloaderRunning(); }));
    EXPECT_TRUE(app.IsRunning(third));
    ::kill(third, SIGTERM);  // a terminal's interrupt or a system shutdown ends it cleanly too
    EXPECT_EQ(app.WaitFor(third, 5000), 0);
}

TEST_F(PumpProcessTest, OnceFetchesTheUsersCitiesAndReportsFailures) {
    FakeForecastService service([](const FakeRequest& r) {
        if (r.query.at("latitude").rfind("-33.", 0) == 0)  // Sydney's service is down
            return FakeReply{FakeReply::Kind::Normal, 500, "{\"error\":true,\"reason\":\"maintenance\"}"};
        return Forecast(r);
    });
    PumpApp app;
    WriteFile(app / "settings.csv", "cities,234;292\r\nloglevel,2\r\n");
    ProcessResult r = app.Run({"--once", "--service-url", service.Url()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2 of 2 cities updated\n");
    const std::string london = ReadBytes(app / "weather/data/f_234.xml");
    EXPECT_NE(london.find("<timezone>Europe/London</timezone>"), std::string::npos);
    // 9 December is day index 2: the served maximum is the latitude plus 2.
    EXPECT_EQ(HighOn(app / "weather/data/f_234.xml", 9).substr(0, 3), "53.");
    EXPECT_EQ(HighOn(app / "weather/data/f_292.xml", 9).substr(0, 3), "42.");

    WriteFile(app / "settings.csv", "cities,234;414\r\nloglevel,2\r\n");
    r = app.Run({"--once", "--service-url", service.Url()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1 of 2 cities updated\n");
    EXPECT_NE(r.err.find("maintenance"), std::string::npos) << r.err;  // and why, on standard error
    EXPECT_FALSE(std::filesystem::exists(app / "weather/data/f_414.xml"));
    const std::string log = ReadBytes(app / "weather/ForecastPumpCF.log");
    const auto sydney = log.find("[error] city 414 (Sydney");
    ASSERT_NE(sydney, std::string::npos) << log;
    EXPECT_NE(log.find("HTTP error (HTTP status 500): maintenance; its previous forecast is kept", sydney),
              std::string::npos)
        << log;
}

TEST_F(PumpProcessTest, TheProgramWakesItAndSeesItBusyUntilTheFilesAreWritten) {
    Gate gate;
    FakeForecastService service([&](const FakeRequest& r) {
        gate.WaitOpen();
        return Forecast(r);
    });
    PumpApp app;
    WriteFile(app / "settings.csv", "cities,234;292;414\r\nweatherusenetwork,0\r\nloglevel,0\r\n");
    // As the program starts it: no arguments; the service address comes from the environment.
    ::setenv("ORBELLINE_FORECAST_URL", service.Url().c_str(), 1);
    const pid_t pump = app.Start({});
    ASSERT_TRUE(WaitUntil([&] { return DownloaderRunning(); }));
    EXPECT_FALSE(OBWeather::IsDownloaderBusy());
    EXPECT_FALSE(
        std::filesystem::exists(app / "weather/data/f_234.xml"));  // updates are off: no fetch at start

    ASSERT_TRUE(OBWeather::RequestUpdateNow());
    ASSERT_TRUE(WaitUntil([&] { return gate.SomeoneWaiting(); }));
    EXPECT_TRUE(OBWeather::IsDownloaderBusy());
    gate.Open();
    ASSERT_TRUE(WaitUntil([&] { return !OBWeather::IsDownloaderBusy(); }));
    EXPECT_EQ(service.Requests().size(), 3u);

    // The program's own reader finds each city's served values on their dates.
    OBWeather::FileUtils::OverrideExeFolder(ob::kernel::FromUtf8(app.Folder()));
    OBWeather::WeatherReader reader;
    for (const FakeRequest& request : service.Requests()) {
        const double latitude = std::stod(request.query.at("latitude"));
        const int id = latitude > 50 ? 234 : latitude > 0 ? 292 : 414;
        auto forecast = reader.OpenForecast(id);
        double high = 0, low = 0;
        ASSERT_TRUE(reader.GetTemperatures(forecast.get(), ZEP_Utility::DateTime(2026, 12, 9), high, low))
            << id;
        EXPECT_NEAR(high, latitude + 2, 0.051) << id;
        EXPECT_NEAR(low, latitude - 7, 0.051) << id;
        EXPECT_FALSE(reader.GetTemperatures(forecast.get(), ZEP_Utility::DateTime(2026, 12, 15), high, low));
    }
    // The weather page shows what the file adds for it: conditions, rain, wind and the source.
    std::filesystem::copy(std::string(ORBELLINE_SOURCE_DIR) + "/weather/html", app / "weather/html");
    reader.SetReferenceDate(ZEP_Utility::DateTime(2026, 12, 8));
    const std::string page =
        ob::kernel::ToUtf8(reader.RenderCityHtml(234, L"London", L"cityforecast.html", 0));
    for (const char* shown : {"London", "Overcast", "Rain", "km/h", "Open-Meteo", "NE"})
        EXPECT_NE(page.find(shown), std::string::npos) << shown << "\n" << page;
    OBWeather::FileUtils::OverrideExeFolder(L"");

    OBWeather::StopDownloader();
    EXPECT_EQ(app.WaitFor(pump, 5000), 0);
}

TEST_F(PumpProcessTest, AKilledDownloaderLeavesNothingThatReadsAsBusy) {
    Gate gate;
    FakeForecastService service([&](const FakeRequest& r) {
        gate.WaitOpen();
        return Forecast(r);
    });
    PumpApp app;
    WriteFile(app / "settings.csv", "cities,234\r\nweatherusenetwork,1\r\n");
    ::setenv("ORBELLINE_FORECAST_URL", service.Url().c_str(), 1);
    const pid_t pump = app.Start({});
    // No forecast yet and updates on: it fetches at once.
    ASSERT_TRUE(WaitUntil([&] { return gate.SomeoneWaiting(); }));
    EXPECT_TRUE(OBWeather::IsDownloaderBusy());
    ::kill(pump, SIGKILL);
    app.WaitFor(pump, 5000);
    EXPECT_FALSE(OBWeather::IsDownloaderBusy());
    gate.Open();

    // The next downloader starts with the busy event clear.
    WriteFile(app / "settings.csv", "cities,234\r\nweatherusenetwork,0\r\n");
    const pid_t next = app.Start({});
    ASSERT_TRUE(WaitUntil([&] { return DownloaderRunning(); }));
    auto busy =
        ob::kernel::NamedEvent::Open(OBWeather::kBusyEventName, ob::kernel::NamedEvent::Kind::ManualReset);
    ASSERT_TRUE(busy);
    EXPECT_TRUE(WaitUntil([&] { return !busy->IsSet(); }));
    OBWeather::StopDownloader();
    EXPECT_EQ(app.WaitFor(next, 5000), 0);
    EXPECT_FALSE(std::filesystem::exists(app / "weather/data/f_234.xml"));
}

TEST_F(PumpProcessTest, StopsAtOnceEvenInTheMiddleOfASlowFetch) {
    Gate gate;
    FakeForecastService service([&](const FakeRequest& r) {
        gate.WaitOpen();
        return Forecast(r);
    });
    PumpApp app;
    WriteFile(app / "settings.csv", "cities,234;292\r\nweatherusenetwork,1\r\nloglevel,0\r\n");
    ::setenv("ORBELLINE_FORECAST_URL", service.Url().c_str(), 1);
    const pid_t pump = app.Start({});
    ASSERT_TRUE(WaitUntil([&] { return gate.SomeoneWaiting(); }));  // the fetch at start hangs
    OBWeather::StopDownloader();
    EXPECT_EQ(app.WaitFor(pump, 5000), 0);
    gate.Open();
    EXPECT_FALSE(OBWeather::IsDownloaderBusy());
    EXPECT_EQ(service.Requests().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(app / "weather/data/f_234.xml"));
}

TEST_F(PumpProcessTest, HostileFilesAndSettingsAreRefusedWithAWord) {
    PumpApp app;
    // FIFOs in the place of the settings file and of the log: never waited on.
    ASSERT_EQ(::mkfifo((app / "settings.csv").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((app / "weather/ForecastPumpCF.log").c_str(), 0600), 0);
    ProcessResult r = app.Run({"--once", "--service-url", "http://127.0.0.1:9/v1/forecast"}, 5'000);
    EXPECT_EQ(r.status, 1) << r.err;  // nothing could be fetched: no success
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    // Bytes that are no text are no list of cities either.
    ASSERT_EQ(::unlink((app / "settings.csv").c_str()), 0);
    WriteFile(app / "settings.csv", std::string("cities,234\r\n\0\xff\xfe\r\n", 17));
    r = app.Run({"--once", "--service-url", "http://127.0.0.1:9/v1/forecast"}, 5'000);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("not a text file"), std::string::npos) << r.err;

    // A bad service address or time limit in the environment is refused, not replaced.
    ::setenv("ORBELLINE_FORECAST_URL", "http://127.0.0.1:9/f#frag", 1);
    r = app.Run({"--once"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("ORBELLINE_FORECAST_URL: not a usable service URL"), std::string::npos) << r.err;
    ::unsetenv("ORBELLINE_FORECAST_URL");
    ::setenv("ORBELLINE_FORECAST_TIMEOUT_MS", "soon", 1);
    r = app.Run({"--once"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("ORBELLINE_FORECAST_TIMEOUT_MS"), std::string::npos) << r.err;
    ::unsetenv("ORBELLINE_FORECAST_TIMEOUT_MS");

    // A runtime folder open to others: status 1 and what is wrong, not a silent 0.
    const std::string runtime = app / "runtime";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    ::chmod(runtime.c_str(), 0757);
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    r = app.Run({});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("has mode 0757, not 0700"), std::string::npos) << r.err;
    if (old)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}
