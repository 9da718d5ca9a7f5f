#include "weather/DownloaderControl.h"

#include <memory>

#include "platform/kernel/NamedEvent.h"
#include "platform/kernel/Process.h"
#include "weather/FileUtils.h"

namespace OBWeather {
namespace {

using ob::kernel::NamedEvent;

// Made on first use and kept until the process ends.
std::unique_ptr<NamedEvent> g_getNow;
std::unique_ptr<NamedEvent> g_busy;

}  // namespace

bool LaunchDownloader() { return ob::kernel::StartDetachedProcess(FileUtils::GetDownloaderPath()); }

bool RequestUpdateNow() {
    if (!g_getNow)
        g_getNow = NamedEvent::Create(kGetNowEventName, NamedEvent::Kind::AutoReset, false);
    return g_getNow && g_getNow->Set();
}

bool IsDownloaderBusy() {
    if (!g_busy)
        g_busy = NamedEvent::Create(kBusyEventName, NamedEvent::Kind::ManualReset, false);
    if (!g_busy || !g_busy->IsSet())
        return false;
    return ob::kernel::NamedLivenessLock::IsHeld(kDownloaderRunningLockName);
}

void StopDownloader() {
    if (auto stop = NamedEvent::Open(kStartStopEventName, NamedEvent::Kind::ManualReset))
        stop->Set();
}

void ReleaseDownloaderEvents() {
    g_getNow.reset();
    g_busy.reset();
}

}  // namespace OBWeather
