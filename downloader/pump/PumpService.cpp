#include "downloader/pump/PumpService.h"

#include <algorithm>
#include <exception>

#include "platform/kernel/Clock.h"

namespace OBPump {
namespace {

constexpr long kLongestWaitMs = 60'000;

long long UnixNow() {
    return (ob::kernel::UtcNowTicks() - ob::kernel::kUnixEpochTicks) / ob::kernel::kTicksPerSecond;
}

class BusyScope {
public:
    explicit BusyScope(IPumpSignals& signals) : m_signals(signals) { m_signals.SetBusy(true); }
    ~BusyScope() { m_signals.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    IPumpSignals& m_signals;
};

}  // namespace

bool StartupFetchDue(std::optional<long long> newestForecast, long long now) {
    if (!newestForecast)
        return true;
    const long long age = now - *newestForecast;
    return age >= kAutoUpdateSeconds || age < -kAutoUpdateSeconds;
}

FetchReport FetchWhileBusy(ForecastPump& pump, IPumpSignals& signals, PumpLog& log) {
    BusyScope busy(signals);
    pump.SetStopCheck([&signals] { return signals.StopRequested(); });
    struct Forget {
        ForecastPump& pump;
        ~Forget() { pump.SetStopCheck(nullptr); }
    } forget{pump};
    // The status is written before the busy signal clears, so the program
    // finds it when it sees the fetch end.
    FetchReport report;
    try {
        report = pump.FetchAll();
    } catch (const std::exception& e) {
        log.Write(Severity::Critical, std::string("fetch stopped: ") + e.what());
        report = FetchReport{};
        report.failed = 1;
        report.reason = "the downloader failed";
    }
    pump.WriteStatus(report);
    return report;
}

void RunService(ForecastPump& pump, IPumpSignals& signals, PumpLog& log) {
    PumpSettings settings = pump.ReadSettings();
    log.SetLevel(settings.logLevel);
    log.Write(Severity::Info,
              std::string("started; automatic updates ") + (settings.useNetwork ? "on" : "off"));

    long long nextAuto = UnixNow() + kAutoUpdateSeconds;
    if (settings.useNetwork && StartupFetchDue(pump.NewestForecastTime(), UnixNow())) {
        log.Write(Severity::Info, "forecasts are missing or older than three hours: fetching");
        FetchWhileBusy(pump, signals, log);
        nextAuto = UnixNow() + kAutoUpdateSeconds;
    }

    for (;;) {
        long waitMs = kLongestWaitMs;
        if (settings.useNetwork)
            waitMs =
                static_cast<long>(std::clamp<long long>((nextAuto - UnixNow()) * 1000, 0, kLongestWaitMs));
        const Wake wake = signals.Wait(waitMs);
        if (wake == Wake::Stop)
            break;
        settings = pump.ReadSettings();
        log.SetLevel(settings.logLevel);
        if (wake == Wake::FetchNow) {
            log.Write(Severity::Info, "update requested");
            FetchWhileBusy(pump, signals, log);
            nextAuto = UnixNow() + kAutoUpdateSeconds;
        } else if (settings.useNetwork && UnixNow() >= nextAuto) {
            log.Write(Severity::Info, "automatic update");
            FetchWhileBusy(pump, signals, log);
            nextAuto = UnixNow() + kAutoUpdateSeconds;
        }
    }
    log.Write(Severity::Info, "stopped");
}

}  // namespace OBPump
