#include "downloader/pump/PumpSignals.h"

#include <atomic>
#include <chrono>
#include <csignal>

#include "weather/DownloaderControl.h"

namespace OBPump {
namespace {

using ob::kernel::NamedEvent;

std::atomic<bool> g_stopSignal{false};

void OnStopSignal(int) { g_stopSignal = true; }

// How often the stop event is looked at while waiting for a fetch request.
constexpr long kSliceMs = 100;

}  // namespace

NamedEventSignals::NamedEventSignals(bool ownStop) : m_ownStop(ownStop) {
    m_getNow = NamedEvent::Create(OBWeather::kGetNowEventName, NamedEvent::Kind::AutoReset, false);
    m_busy = NamedEvent::Create(OBWeather::kBusyEventName, NamedEvent::Kind::ManualReset, false);
    if (m_busy)
        m_busy->Reset();  // left set by a downloader that was killed while fetching
    if (m_ownStop) {
        m_stop = NamedEvent::Create(OBWeather::kStartStopEventName, NamedEvent::Kind::ManualReset, false);
        if (m_stop)
            m_stop->Reset();  // a stop from before this run is not meant for it
    }
}

NamedEventSignals::~NamedEventSignals() {
    if (m_busy)
        m_busy->Reset();
    if (m_ownStop && m_stop)
        NamedEvent::Remove(OBWeather::kStartStopEventName);
}

bool NamedEventSignals::Ok() const { return m_getNow && m_busy && (!m_ownStop || m_stop); }

Wake NamedEventSignals::Wait(long timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (StopRequested())
            return Wake::Stop;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now())
                .count();
        if (left <= 0)
            return m_getNow && m_getNow->Wait(0) ? Wake::FetchNow : Wake::TimedOut;
        if (m_getNow && m_getNow->Wait(static_cast<std::uint32_t>(std::min<long long>(left, kSliceMs)))) {
            // A stop that came with the request still wins.
            return StopRequested() ? Wake::Stop : Wake::FetchNow;
        }
    }
}

bool NamedEventSignals::StopRequested() { return g_stopSignal || (m_stop && m_stop->IsSet()); }

void NamedEventSignals::SetBusy(bool busy) {
    if (m_busy)
        busy ? m_busy->Set() : m_busy->Reset();
}

std::unique_ptr<ob::kernel::NamedLivenessLock> TakeRunningLock() {
    return ob::kernel::NamedLivenessLock::Acquire(OBWeather::kDownloaderRunningLockName);
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace OBPump
