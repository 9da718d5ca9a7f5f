#include "weather/DownloaderControl.h"

#include <memory>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/NamedEvent.h"
#include "platform/kernel/Process.h"
#include "weather/FileUtils.h"

namespace OBWeather {
namespace {

using ob::kernel::NamedEvent;

// Made on first use and kept until the process ends.
std::unique_ptr<NamedEvent> g_getNow;
std::unique_ptr<NamedEvent> g_busy;
bool g_signalling = true;
bool g_restarted = false;
std::wstring g_problem;

std::wstring EventsProblem() {
    return L"its events cannot be made (" + ob::kernel::ErrorMessage(ob::kernel::GetLastError()) + L")";
}

}  // namespace

void ScopeDownloaderToDataFolder() { ob::kernel::SetNamedObjectFolder(FileUtils::GetDataFolder()); }

bool LaunchDownloader() {
    const bool started = ob::kernel::StartDetachedProcess(FileUtils::GetDownloaderPath());
    g_problem = started ? std::wstring() : L"the downloader cannot be started";
    return started;
}

void SetDownloaderSignalling(bool on) { g_signalling = on; }

std::wstring DownloaderProblem() { return g_problem; }

bool RequestUpdateNow() {
    if (!g_signalling)
        return false;
    if (!g_getNow)
        g_getNow = NamedEvent::Create(kGetNowEventName, NamedEvent::Kind::AutoReset, false);
    if (!g_getNow) {
        g_problem = EventsProblem();
        return false;
    }
    if (!ob::kernel::NamedLivenessLock::IsHeld(kDownloaderRunningLockName)) {
        // Gone (killed, or it could not stay): started again once; a new
        // downloader takes the request that is waiting for it.
        if (!g_restarted) {
            g_restarted = true;
            LaunchDownloader();
        } else {
            g_problem = L"the downloader is not running";
        }
    } else {
        g_problem.clear();
    }
    return g_getNow->Set();
}

bool IsDownloaderBusy() {
    if (!g_signalling)
        return false;
    if (!g_busy) {
        g_busy = NamedEvent::Create(kBusyEventName, NamedEvent::Kind::ManualReset, false);
        if (!g_busy)
            g_problem = EventsProblem();
    }
    if (!g_busy || !g_busy->IsSet())
        return false;
    return ob::kernel::NamedLivenessLock::IsHeld(kDownloaderRunningLockName);
}

void StopDownloader() {
    if (!g_signalling)
        return;
    if (auto stop = NamedEvent::Open(kStartStopEventName, NamedEvent::Kind::ManualReset))
        stop->Set();
}

void ReleaseDownloaderEvents() {
    g_getNow.reset();
    g_busy.reset();
    g_signalling = true;
    g_restarted = false;
    g_problem.clear();
}

}  // namespace OBWeather
