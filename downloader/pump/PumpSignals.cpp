#include "downloader/pump/PumpSignals.h"

#include <fcntl.h>
#include <semaphore.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

namespace OBPump {
namespace {

std::atomic<bool> gStopSignal{false};

void OnStopSignal(int) { gStopSignal = true; }

std::string SemName(const char* event) { return "/" + std::string(event) + "." + std::to_string(::getuid()); }

sem_t* OpenSem(const char* event) {
    sem_t* sem = ::sem_open(SemName(event).c_str(), O_CREAT, 0600, 0);
    return sem == SEM_FAILED ? nullptr : sem;
}

void Drain(sem_t* sem) {
    while (sem && ::sem_trywait(sem) == 0) {
    }
}

}  // namespace

struct NamedEventSignals::Impl {
    sem_t* stop = nullptr;
    sem_t* getNow = nullptr;
    sem_t* busy = nullptr;
};

NamedEventSignals::NamedEventSignals() : impl_(std::make_unique<Impl>()) {
    impl_->stop = OpenSem("ORBELLINE_WEATHERDOWNLOADER_STARTSTOP");
    impl_->getNow = OpenSem("ORBELLINE_WEATHERDOWNLOADER_GETNOW");
    impl_->busy = OpenSem("ORBELLINE_WEATHERDOWNLOADER_BUSY");
    // A stop left over from an earlier run is not meant for this one.
    Drain(impl_->stop);
    Drain(impl_->busy);
}

NamedEventSignals::~NamedEventSignals() {
    for (sem_t* sem : {impl_->stop, impl_->getNow, impl_->busy})
        if (sem)
            ::sem_close(sem);
}

bool NamedEventSignals::Ok() const { return impl_->stop && impl_->getNow && impl_->busy; }

Wake NamedEventSignals::Wait(long timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (gStopSignal || (impl_->stop && ::sem_trywait(impl_->stop) == 0))
            return Wake::Stop;
        if (impl_->getNow && ::sem_trywait(impl_->getNow) == 0) {
            Drain(impl_->getNow);
            return Wake::FetchNow;
        }
        if (std::chrono::steady_clock::now() >= until)
            return Wake::TimedOut;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void NamedEventSignals::SetBusy(bool busy) {
    if (!impl_->busy)
        return;
    if (busy) {
        int value = 0;
        if (::sem_getvalue(impl_->busy, &value) == 0 && value == 0)
            ::sem_post(impl_->busy);
    } else {
        Drain(impl_->busy);
    }
}

InstanceLock::InstanceLock(const std::string& appFolder) {
    fd_ = ::open((appFolder + "/weather/ForecastPumpCF.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

bool StopRequestedBySignal() { return gStopSignal; }

}  // namespace OBPump
