// Exact conversion between file-time ticks and calendar fields on the
// proleptic Gregorian calendar (no leap seconds), plus the local clock.
// Mirrors the platform's FileTimeToSystemTime / SystemTimeToFileTime: the
// valid range is 1601-01-01 to 30827-12-31 23:59:59.999.
#pragma once

#include <cstdint>

#include "platform/kernel/Clock.h"

namespace ob::kernel {

// The platform's calendar record, field for field.
struct CalendarFields {
    std::uint16_t year = 0;
    std::uint16_t month = 0;      // 1..12
    std::uint16_t dayOfWeek = 0;  // 0 = Sunday .. 6 = Saturday
    std::uint16_t day = 0;        // 1..31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

constexpr int kMinCalendarYear = 1601;
constexpr int kMaxCalendarYear = 30827;

bool IsGregorianLeapYear(int year);
// Days in the month, 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Ticks to fields; false (fields untouched) when the ticks are negative or
// past the last representable millisecond.
bool TicksToCalendar(Ticks ticks, CalendarFields& out);
// Fields to ticks; the day of week is ignored. False when any field is out
// of range (month 0, 31 April, hour 24, a year before 1601, ...).
bool CalendarToTicks(const CalendarFields& fields, Ticks& out);

// The machine's local time (TZ) for a UTC instant, and now.
Ticks UtcToSystemLocal(Ticks utc);
Ticks LocalNowTicks();

}  // namespace ob::kernel
