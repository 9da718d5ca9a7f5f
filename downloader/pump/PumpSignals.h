// The named events shared with the program, and the lock that tells a
// running downloader from a stale event name.
#pragma once

#include <memory>
#include <string>

#include "downloader/pump/PumpService.h"

namespace OBPump {

class NamedEventSignals : public IPumpSignals {
public:
    NamedEventSignals();
    ~NamedEventSignals() override;

    // Whether all three events could be opened or created.
    bool Ok() const;

    Wake Wait(long timeoutMs) override;
    void SetBusy(bool busy) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Held for the whole life of a running downloader. Acquire fails when
// another downloader of the same app folder holds it.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& appFolder);
    ~InstanceLock();
    bool Acquired() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// SIGTERM and SIGINT end the service like the stop event does.
void InstallStopHandlers();
bool StopRequestedBySignal();

}  // namespace OBPump
