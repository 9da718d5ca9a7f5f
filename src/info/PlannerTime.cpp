#include "info/PlannerTime.h"

#include <algorithm>

#include "data/City.h"
#include "model/CityGroup.h"
#include "time/TimeZone.h"

namespace OBData {

using ZEP_Utility::DateTime;

DateTime PlannerClockTime(int year, int month, int day, int position) {
    const int minutes = std::clamp(position, kPlannerFirstPosition, kPlannerLastPosition) * 15;
    return DateTime(year, month, day, minutes / 60, minutes % 60, 0);
}

int PlannerPosition(const DateTime& clock) { return clock.GetHour() * 4 + clock.GetMinute() / 15; }

DateTime HomeClockToUtc(const CityGroup& group, const DateTime& homeClock) {
    const City* home = group.GetHomeCity();
    if (!home || homeClock.IsEmpty())
        return DateTime();
    const TimeZone* zone = home->GetTimeZone();
    return zone ? zone->ToUniversalTime(homeClock) : homeClock;
}

}  // namespace OBData
