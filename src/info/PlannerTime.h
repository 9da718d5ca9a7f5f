// The time planner's arithmetic, shared by the planner panel and the
// terminal's --home-time: a time on the home city's clock, chosen as a
// quarter hour of a date, and the UTC instant at which that clock reads it.
#pragma once

#include "time/DateTime.h"

namespace OBData {

class CityGroup;

// Slider positions are the quarter hours of the home day: 0 is 00:00, 48 is
// 12:00, 95 is 23:45.
constexpr int kPlannerFirstPosition = 0;
constexpr int kPlannerLastPosition = 95;
constexpr int kPlannerNoonPosition = 48;

// The clock time of a position (clamped to 0..95) on a date; the empty
// DateTime when the date is not a calendar date.
ZEP_Utility::DateTime PlannerClockTime(int year, int month, int day, int position);

// The position of a clock time: its quarter hour, rounded down.
int PlannerPosition(const ZEP_Utility::DateTime& clock);

// The UTC instant at which the home city's clock reads `homeClock` (a time
// shown twice gives the earlier instant, a skipped time moves on by the
// gap). The empty DateTime without a home city or a clock time.
ZEP_Utility::DateTime HomeClockToUtc(const CityGroup& group, const ZEP_Utility::DateTime& homeClock);

}  // namespace OBData
