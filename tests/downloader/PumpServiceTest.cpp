#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <filesystem>

#include "support/FakeForecastService.h"
#include "support/TempFolder.h"
#include "downloader/pump/PumpService.h"
#include "platform/kernel/Clock.h"

using namespace OBPump;
using namespace OBPumpTest;
using ob::test::ReadBytes;
using ob::test::TestFolder;
using ob::test::WriteFile;

namespace {

constexpr long long kStart = 1796713200;  // 2026-12-08 07:00 UTC

ob::kernel::Ticks TicksOf(long long unixSeconds) {
    return ob::kernel::kUnixEpochTicks + unixSeconds * ob::kernel::kTicksPerSecond;
}

// Signals driven by a script: each wait either returns the next scripted
// wake at once or lets the virtual clock run out the whole timeout.
class ScriptedSignals : public IPumpSignals {
public:
    std::deque<Wake> script;
    std::vector<std::string> trace;  // "busy", "idle", "wait <ms>"
    long long waitedMs = 0;

    Wake Wait(long timeoutMs) override {
        trace.push_back("wait " + std::to_string(timeoutMs));
        if (script.empty())
            return Wake::Stop;
        const Wake next = script.front();
        script.pop_front();
        if (next == Wake::TimedOut) {
            ob::kernel::AdvanceVirtualClock(timeoutMs * ob::kernel::kTicksPerMillisecond);
            waitedMs += timeoutMs;
        }
        return next;
    }
    void SetBusy(bool busy) override { trace.push_back(busy ? "busy" : "idle"); }

    int Fetches() const { return static_cast<int>(std::count(trace.begin(), trace.end(), "busy")); }
};

struct ServiceFixture {
    explicit ServiceFixture(const std::string& settings)
        : service([this](const FakeRequest&) {
              // While the fetch runs, the busy signal is on.
              busyDuringFetch = busyDuringFetch && signals.trace.back() == "busy";
              return FakeReply{FakeReply::Kind::Normal, 200, ForecastJson("2026-12-07", 8)};
          }),
          log(folder / "weather/pump.log", 0) {
        ob::kernel::UseVirtualClock(TicksOf(kStart));
        WriteFile(folder / "settings.csv", settings);
        PumpConfig config;
        config.appFolder = folder.Path();
        config.serviceUrl = service.Url();
        config.http.totalTimeoutMs = 2000;
        pump = std::make_unique<ForecastPump>(config, locator, log);
    }
    ~ServiceFixture() { ob::kernel::ClearClockOverride(); }

    void AgeForecasts(long long seconds) {
        std::filesystem::create_directories(folder / "weather/data");
        WriteFile(folder / "weather/data/f_1.xml", "<obWeather/>");
        const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(seconds);
        std::filesystem::last_write_time(folder / "weather/data/f_1.xml", when);
        // The real clock decides file ages; keep the virtual clock on it.
        ob::kernel::UseVirtualClock(TicksOf(time(nullptr)));
    }

    struct OneCity : ICityLocator {
        std::optional<CityPlace> Find(int id) override { return CityPlace{id, "", 1, 2}; }
    } locator;
    TestFolder folder;
    ScriptedSignals signals;
    bool busyDuringFetch = true;
    FakeForecastService service;
    PumpLog log;
    std::unique_ptr<ForecastPump> pump;
};

}  // namespace

TEST(PumpService, FetchesOncePerRequestWithBusyHeldAndStops) {
    ServiceFixture f("cities,1\r\nweatherusenetwork,0\r\nloglevel,0\r\n");
    f.signals.script = {Wake::FetchNow, Wake::FetchNow, Wake::Stop, Wake::FetchNow};
    RunService(*f.pump, f.signals, f.log);
    EXPECT_EQ(f.signals.Fetches(), 2);
    EXPECT_TRUE(f.busyDuringFetch);
    EXPECT_EQ(f.service.Requests().size(), 2u);
    EXPECT_EQ(f.signals.script.size(), 1u);  // nothing is looked at after the stop
    // Busy always ends clear, and is only ever set around a fetch.
    EXPECT_EQ(f.signals.trace, (std::vector<std::string>{"wait 60000", "busy", "idle", "wait 60000", "busy",
                                                         "idle", "wait 60000"}));
    const std::string log = ReadBytes(f.folder / "weather/pump.log");
    EXPECT_NE(log.find("update requested"), std::string::npos);
    EXPECT_NE(log.find("stopped"), std::string::npos);
}

TEST(PumpService, AutomaticUpdatesAtStartAndEveryThreeHours) {
    // No forecast at all: fetched at start, then again three hours later.
    ServiceFixture f("cities,1\r\nweatherusenetwork,1\r\nloglevel,0\r\n");
    f.signals.script.assign(3 * 60 + 1, Wake::TimedOut);
    RunService(*f.pump, f.signals, f.log);
    EXPECT_EQ(f.signals.trace.front(), "busy");
    EXPECT_EQ(f.signals.Fetches(), 2);
    EXPECT_EQ(f.signals.waitedMs, 3 * 3600 * 1000LL + 60'000);
    EXPECT_NE(ReadBytes(f.folder / "weather/pump.log").find("automatic update"), std::string::npos);
}

TEST(PumpService, StartupFetchOnlyWhenForecastsAreStaleAndUpdatesAreOn) {
    EXPECT_TRUE(StartupFetchDue(std::nullopt, kStart));
    EXPECT_FALSE(StartupFetchDue(kStart - 3 * 3600 + 1, kStart));
    EXPECT_TRUE(StartupFetchDue(kStart - 3 * 3600, kStart));
    EXPECT_TRUE(StartupFetchDue(kStart + 86400, kStart));  // from the future: the clock was wrong

    {
        ServiceFixture fresh("cities,1\r\nweatherusenetwork,1\r\n");
        fresh.AgeForecasts(600);
        fresh.signals.script = {Wake::Stop};
        RunService(*fresh.pump, fresh.signals, fresh.log);
        EXPECT_EQ(fresh.signals.Fetches(), 0);
    }
    {
        ServiceFixture stale("cities,1\r\nweatherusenetwork,1\r\n");
        stale.AgeForecasts(4 * 3600);
        stale.signals.script = {Wake::Stop};
        RunService(*stale.pump, stale.signals, stale.log);
        EXPECT_EQ(stale.signals.Fetches(), 1);
    }
    {
        // Updates off: never on its own, however long it runs, but still on request.
        ServiceFixture off("cities,1\r\nweatherusenetwork,0\r\n");
        off.signals.script.assign(24 * 60, Wake::TimedOut);
        off.signals.script.push_back(Wake::FetchNow);
        RunService(*off.pump, off.signals, off.log);
        EXPECT_EQ(off.signals.Fetches(), 1);
        EXPECT_EQ(off.signals.trace[off.signals.trace.size() - 3], "busy");
    }
}

TEST(PumpService, BusyClearsWhenTheFetchThrows) {
    struct Throwing : ICityLocator {
        std::optional<CityPlace> Find(int) override { throw std::runtime_error("boom"); }
    } locator;
    TestFolder folder;
    WriteFile(folder / "settings.csv", "cities,1\r\n");
    PumpLog log(folder / "pump.log", 0);
    ForecastPump pump(PumpConfig{folder.Path(), "http://127.0.0.1:9/", {}}, locator, log);
    ScriptedSignals signals;
    const FetchReport report = FetchWhileBusy(pump, signals, log);
    EXPECT_FALSE(report.AllSucceeded());
    EXPECT_EQ(signals.trace, (std::vector<std::string>{"busy", "idle"}));
    EXPECT_NE(ReadBytes(folder / "pump.log").find("fetch stopped: boom"), std::string::npos);
}

TEST(PumpService, AStopDuringAFetchAbandonsTheRequestAndTheRestOfTheCities) {
    struct StoppableSignals : ScriptedSignals {
        std::atomic<bool> stop{false};
        bool StopRequested() override { return stop; }
    } signals;
    FakeForecastService service([&](const FakeRequest&) {
        signals.stop = true;  // the program says stop while the first answer is still coming
        return FakeReply{FakeReply::Kind::Hang, 200, ""};
    });
    struct Anywhere : ICityLocator {
        std::optional<CityPlace> Find(int id) override { return CityPlace{id, "", 1, 2}; }
    } locator;
    TestFolder folder;
    WriteFile(folder / "settings.csv", "cities,1;2;3\r\nloglevel,0\r\n");
    PumpLog log(folder / "pump.log", 0);
    PumpConfig config{folder.Path(), service.Url(), {}};
    config.http.totalTimeoutMs = 60'000;  // only the stop can end this request in time
    ForecastPump pump(config, locator, log);

    const FetchReport report = FetchWhileBusy(pump, signals, log);
    EXPECT_EQ(report.succeeded, 0);
    EXPECT_EQ(report.failed, 3);
    EXPECT_EQ(service.Requests().size(), 1u);
    EXPECT_EQ(signals.trace, (std::vector<std::string>{"busy", "idle"}));
    const std::string text = ReadBytes(folder / "pump.log");
    EXPECT_NE(text.find("abandoned (the downloader is stopping)"), std::string::npos) << text;
    EXPECT_NE(text.find("stopping before every city was fetched"), std::string::npos) << text;
}
