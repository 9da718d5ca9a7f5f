// The downloader's side of the named events it shares with the program, and
// the running lock that tells a live downloader from event names left behind.
#pragma once

#include <memory>

#include "downloader/pump/PumpService.h"
#include "platform/kernel/NamedEvent.h"

namespace OBPump {

class NamedEventSignals : public IPumpSignals {
public:
    // `ownStop`: create the start/stop event as its owner and remove its name
    // on the way out, so a stop set while no downloader runs reaches nobody.
    explicit NamedEventSignals(bool ownStop);
    ~NamedEventSignals() override;

    // Whether the events could be created.
    bool Ok() const;

    Wake Wait(long timeoutMs) override;
    void SetBusy(bool busy) override;
    bool StopRequested() override;

private:
    bool m_ownStop;
    std::unique_ptr<ob::kernel::NamedEvent> m_stop;
    std::unique_ptr<ob::kernel::NamedEvent> m_getNow;
    std::unique_ptr<ob::kernel::NamedEvent> m_busy;
};

// Takes the downloader's running lock; null when another downloader holds it.
std::unique_ptr<ob::kernel::NamedLivenessLock> TakeRunningLock();

// SIGTERM and SIGINT end the service like the stop event does.
void InstallStopHandlers();

}  // namespace OBPump
