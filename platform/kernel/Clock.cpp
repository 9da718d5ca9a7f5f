#include "platform/kernel/Clock.h"

#include <atomic>
#include <chrono>
#include <mutex>

namespace ob::kernel {
namespace {

enum class Mode { Real, Fixed, Running, Virtual };

struct ClockState {
    std::mutex lock;
    Mode mode = Mode::Real;
    Ticks start = 0;                                 // override start instant
    std::chrono::steady_clock::time_point anchor{};  // when a running override began
    Ticks virtualNow = 0;
    Ticks virtualOrigin = 0;  // virtual instant that TickCountMs counts from
};

ClockState& State() {
    static ClockState state;
    return state;
}

Ticks RealUtcTicks() {
    using namespace std::chrono;
    const auto since = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    return kUnixEpochTicks + since * 10;
}

}  // namespace

Ticks UtcNowTicks() {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    switch (s.mode) {
    case Mode::Real: return RealUtcTicks();
    case Mode::Fixed: return s.start;
    case Mode::Running: {
        const auto elapsed = std::chrono::steady_clock::now() - s.anchor;
        return s.start + std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * 10;
    }
    case Mode::Virtual: return s.virtualNow;
    }
    return RealUtcTicks();
}

std::uint32_t TickCountMs() {
    ClockState& s = State();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.mode == Mode::Virtual)
            return static_cast<std::uint32_t>((s.virtualNow - s.virtualOrigin) / kTicksPerMillisecond);
    }
    using namespace std::chrono;
    static const auto origin = steady_clock::now();
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now() - origin).count());
}

void SetClockOverride(Ticks start, bool running) {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.mode = running ? Mode::Running : Mode::Fixed;
    s.start = start;
    s.anchor = std::chrono::steady_clock::now();
}

void UseVirtualClock(Ticks start) {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.mode = Mode::Virtual;
    s.virtualNow = start;
    s.virtualOrigin = start;
}

void AdvanceVirtualClock(Ticks delta) {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.mode == Mode::Virtual && delta > 0)
        s.virtualNow += delta;
}

bool IsVirtualClock() {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.mode == Mode::Virtual;
}

void ClearClockOverride() {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.mode = Mode::Real;
}

}  // namespace ob::kernel
