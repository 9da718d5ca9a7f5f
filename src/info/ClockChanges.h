// When a city's clock next changes (summer time beginning or ending), and
// the line the lists and the planner show about it: "Clocks go forward 1 h
// Sun 03:00", or that a chosen time is skipped or repeated on the clock.
#pragma once

#include <optional>
#include <string>

#include "time/DateTime.h"

namespace OBData {

class City;

struct ClockChange {
    ZEP_Utility::DateTime utc;         // the instant the clock changes
    ZEP_Utility::DateTime localAfter;  // what the clock reads from then on
    int shiftMinutes = 0;              // positive forward, negative back
};

// The city's first clock change after `utc` (not at it) and no more than
// `withinMinutes` later; none when its clock keeps its offset that long.
std::optional<ClockChange> NextClockChange(const City& city, const ZEP_Utility::DateTime& utc,
                                           int withinMinutes);

// How far ahead the lists warn of a change: seven days.
constexpr int kClockChangeWarningMinutes = 7 * 24 * 60;

// "Clocks go forward 1 h Sun 03:00" (back, 30 min, ...), the time in the
// "main_time_format" of `timeFormat`; with `longDate` the locale's long
// date stands for the day name.
std::wstring ClockChangeText(const ClockChange& change, int timeFormat, bool longDate = false);
// That text for a change within seven days after `utc`; empty when none.
std::wstring UpcomingClockChangeText(const City& city, const ZEP_Utility::DateTime& utc, int timeFormat);

// What the city's clock does around a local clock time.
enum class ClockHour { Normal, Skipped, Repeated };
// Whether a clock time is one the city's clock skips when it goes forward
// or shows twice when it goes back.
ClockHour ClassifyClockTime(const City& city, const ZEP_Utility::DateTime& local);
// Whether the clock reads the time of `utc` a second time later (or read it
// already earlier): the instant lies in a repeated hour.
bool InRepeatedHour(const City& city, const ZEP_Utility::DateTime& utc);

}  // namespace OBData
