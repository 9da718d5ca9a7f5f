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

NamedEventSignals::NamedEventSignals(bool ownStop) : ownStop_(ownStop) {
    getNow_ = NamedEvent::Create(OBWeather::kGetNowEventName, NamedEvent::Kind::AutoReset, false);
    busy_ = NamedEvent::Create(OBWeather::kBusyEventName, NamedEvent::Kind::ManualReset, false);
    if (busy_)
        busy_->Reset();  // left set by a downloader that was killed while fetching
    if (ownStop_) {
        stop_ = NamedEvent::Create(OBWeather::kStartStopEventName, NamedEvent::Kind::ManualReset, false);
        if (stop_)
            stop_->Reset();  // a stop from before this run is not meant for it
    }
}

NamedEventSignals::~NamedEventSignals() {
    if (busy_)
        busy_->Reset();
    if (ownStop_ && stop_)
        NamedEvent::Remove(OBWeather::kStartStopEventName);
}

bool NamedEventSignals::Ok() const { return getNow_ && busy_ && (!ownStop_ || stop_); }

Wake NamedEventSignals::Wait(long timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (StopRequested())
            return Wake::Stop;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return getNow_ && getNow_->Wait(0) ? Wake::FetchNow : Wake::TimedOut;
        if (getNow_ && getNow_->Wait(static_cast<std::uint32_t>(std::min<long long>(left, kSliceMs)))) {
            // A stop that came with the request still wins.
            return StopRequested() ? Wake::Stop : Wake::FetchNow;
        }
    }
}

bool NamedEventSignals::StopRequested() { return g_stopSignal || (stop_ && stop_->IsSet()); }

void NamedEventSignals::SetBusy(bool busy) {
    if (busy_)
        busy ? busy_->Set() : busy_->Reset();
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
