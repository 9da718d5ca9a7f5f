// The downloader's life as the program starts it: wait for a request or the
// next automatic update, fetch with the busy signal held, stop when told.
#pragma once

#include <chrono>
#include <optional>

#include "downloader/pump/ForecastPump.h"

namespace OBPump {

enum class Wake { Stop, FetchNow, TimedOut };

// The three signals shared with the program.
class IPumpSignals {
public:
    virtual ~IPumpSignals() = default;
    // Blocks up to timeoutMs for the stop or the fetch-now signal; stop wins
    // when both are set. One fetch-now request wakes one wait.
    virtual Wake Wait(long timeoutMs) = 0;
    virtual void SetBusy(bool busy) = 0;
    // Whether a stop has been asked for, without consuming anything.
    virtual bool StopRequested() { return false; }
};

// Passes every signal through and asks for a stop, too, once `seconds` have
// passed since it was made (on the steady clock): a fetch under it ends by
// then however slow or silent the service is.
class DeadlineSignals : public IPumpSignals {
public:
    DeadlineSignals(IPumpSignals& inner, long seconds)
        : m_inner(inner), m_deadline(std::chrono::steady_clock::now() + std::chrono::seconds(seconds)) {}
    Wake Wait(long timeoutMs) override { return m_inner.Wait(timeoutMs); }
    void SetBusy(bool busy) override { m_inner.SetBusy(busy); }
    bool StopRequested() override { return m_inner.StopRequested() || Expired(); }
    bool Expired() const { return std::chrono::steady_clock::now() >= m_deadline; }

private:
    IPumpSignals& m_inner;
    std::chrono::steady_clock::time_point m_deadline;
};

constexpr long long kAutoUpdateSeconds = 3 * 3600;

// Whether the automatic update is due at start: no forecast yet, or the
// newest one is older than the update interval (or dated in the future,
// which only a wrong clock explains).
bool StartupFetchDue(std::optional<long long> newestForecast, long long now);

// One fetch of every city with the busy signal set; it is cleared on every
// way out, also when the fetch throws.
FetchReport FetchWhileBusy(ForecastPump& pump, IPumpSignals& signals, PumpLog& log);

// Runs until the stop signal. Reads the settings at every wake, so turning
// automatic updates on or off in the program takes effect within a minute.
void RunService(ForecastPump& pump, IPumpSignals& signals, PumpLog& log);

}  // namespace OBPump
