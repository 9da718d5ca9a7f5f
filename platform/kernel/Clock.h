// The process's clock. Real UTC by default; tests and demos can replace it
// with a fixed or running start instant, or with a virtual clock that only
// moves when told to (UI tests advance it, and it drives the timers).
#pragma once

#include <cstdint>

namespace ob::kernel {

// 100-nanosecond ticks since 1601-01-01 00:00 UTC (the platform's file time).
using Ticks = std::int64_t;
constexpr Ticks kTicksPerSecond = 10'000'000;
constexpr Ticks kTicksPerMillisecond = 10'000;
// Ticks between 1601-01-01 and the POSIX epoch 1970-01-01.
constexpr Ticks kUnixEpochTicks = 116444736000000000LL;

// The current instant in UTC.
Ticks UtcNowTicks();

// Milliseconds since an arbitrary start, never going backwards; follows the
// virtual clock when one is in use (the platform's GetTickCount).
std::uint32_t TickCountMs();

// Start the clock at `start`; it stands still when `running` is false.
void SetClockOverride(Ticks start, bool running);
// A clock that moves only through AdvanceVirtualClock.
void UseVirtualClock(Ticks start);
void AdvanceVirtualClock(Ticks delta);
bool IsVirtualClock();
// Back to the real clock.
void ClearClockOverride();

}  // namespace ob::kernel
