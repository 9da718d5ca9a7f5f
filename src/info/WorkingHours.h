// What an instant is for the people of a city: working hours, the waking
// hours around them, or night; and the quarter hours of a home day at which
// every chosen city is at work (the planner's "can we all meet?" strip).
#pragma once

#include <array>

#include "info/PlannerTime.h"
#include "time/DateTime.h"

namespace OBData {

class CityGroup;

enum class DayPart { Work, Waking, Night };

// Whole hours of the local clock: work from `start` up to (not including)
// `end`. A start after the end is a shift across midnight; equal hours mean
// no working time at all.
struct WorkingHours {
    int start = 9;
    int end = 17;
};

// Waking hours, whatever the working hours: 07:00 up to 22:00.
constexpr int kWakingStartHour = 7;
constexpr int kWakingEndHour = 22;

// The part of the day a local clock time falls in. Working hours outside the
// waking hours still count as work.
DayPart DayPartOf(const ZEP_Utility::DateTime& local, const WorkingHours& hours);

using PlannerQuarters = std::array<bool, kPlannerLastPosition + 1>;

// For each slider position of a date on the home clock, whether every city
// of the group is then within its working hours. None without a home city.
PlannerQuarters CommonWorkingQuarters(const CityGroup& group, int year, int month, int day,
                                      const WorkingHours& hours);

}  // namespace OBData
