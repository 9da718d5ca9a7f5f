#include "info/WorkingHours.h"

#include "data/City.h"
#include "model/CityGroup.h"

namespace OBData {

using ZEP_Utility::DateTime;

DayPart DayPartOf(const DateTime& local, const WorkingHours& hours) {
    const int minute = local.GetHour() * 60 + local.GetMinute();
    const int start = hours.start * 60, end = hours.end * 60;
    const bool work =
        start < end ? (minute >= start && minute < end) : start > end && (minute >= start || minute < end);
    if (work)
        return DayPart::Work;
    if (minute >= kWakingStartHour * 60 && minute < kWakingEndHour * 60)
        return DayPart::Waking;
    return DayPart::Night;
}

PlannerQuarters CommonWorkingQuarters(const CityGroup& group, int year, int month, int day,
                                      const WorkingHours& hours) {
    PlannerQuarters quarters{};
    if (!group.GetHomeCity())
        return quarters;
    for (int position = kPlannerFirstPosition; position <= kPlannerLastPosition; ++position) {
        const DateTime instant = HomeClockToUtc(group, PlannerClockTime(year, month, day, position));
        if (instant.IsEmpty())
            continue;
        bool all = true;
        for (const City* city : group.GetCities())
            all = all && city && DayPartOf(city->GetLocalTime(instant), hours) == DayPart::Work;
        quarters[static_cast<std::size_t>(position)] = all;
    }
    return quarters;
}

}  // namespace OBData
