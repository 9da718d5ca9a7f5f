#include "info/ClockChanges.h"

#include <algorithm>

#include "data/City.h"
#include "time/DisplayFormats.h"
#include "time/TimeZone.h"

namespace OBData {

using ZEP_Utility::DateTime;

namespace {

// Local time minus UTC at an instant, in minutes.
int OffsetMinutes(const City& city, const DateTime& utc) {
    return (city.GetLocalTime(utc) - utc).GetTotalSeconds() / 60;
}

// The lengths a clock change has anywhere: half an hour to two hours.
constexpr int kShiftsMinutes[] = {30, 60, 120};

}  // namespace

std::optional<ClockChange> NextClockChange(const City& city, const DateTime& utc, int withinMinutes) {
    if (utc.IsEmpty() || withinMinutes <= 0)
        return std::nullopt;
    // Clocks change on whole minutes: search from the minute of `utc`, an
    // hour at a time, then halve the hour in which the offset moved.
    const DateTime base = utc - ZEP_Utility::TimeSpan(0, 0, 0, utc.GetSecond());
    const int before = OffsetMinutes(city, base);
    for (int step = 60;; step += 60) {
        const int to = std::min(step, withinMinutes);
        if (OffsetMinutes(city, base.AddMinutes(to)) != before) {
            int lo = step - 60, hi = to;
            while (hi - lo > 1) {
                const int mid = (lo + hi) / 2;
                (OffsetMinutes(city, base.AddMinutes(mid)) == before ? lo : hi) = mid;
            }
            ClockChange change;
            change.utc = base.AddMinutes(hi);
            change.localAfter = city.GetLocalTime(change.utc);
            change.shiftMinutes = OffsetMinutes(city, change.utc) - before;
            return change;
        }
        if (to >= withinMinutes)
            return std::nullopt;
    }
}

std::wstring ClockChangeText(const ClockChange& change, int timeFormat, bool longDate) {
    const int size = change.shiftMinutes < 0 ? -change.shiftMinutes : change.shiftMinutes;
    const std::wstring amount =
        size % 60 == 0 ? std::to_wstring(size / 60) + L" h" : std::to_wstring(size) + L" min";
    return std::wstring(change.shiftMinutes > 0 ? L"Clocks go forward " : L"Clocks go back ") + amount +
           L" " + (longDate ? change.localAfter.GetLongDate() : change.localAfter.FormatDate(L"ddd")) + L" " +
           FormatClockTime(timeFormat, change.localAfter);
}

std::wstring UpcomingClockChangeText(const City& city, const DateTime& utc, int timeFormat) {
    const std::optional<ClockChange> change = NextClockChange(city, utc, kClockChangeWarningMinutes);
    return change ? ClockChangeText(*change, timeFormat) : std::wstring();
}

ClockHour ClassifyClockTime(const City& city, const DateTime& local) {
    const TimeZone* zone = city.GetTimeZone();
    if (!zone || local.IsEmpty())
        return ClockHour::Normal;
    // The earlier instant of a time shown twice; a skipped time comes back
    // as another clock time.
    const DateTime utc = zone->ToUniversalTime(local);
    if (city.GetLocalTime(utc) != local)
        return ClockHour::Skipped;
    return InRepeatedHour(city, utc) ? ClockHour::Repeated : ClockHour::Normal;
}

bool InRepeatedHour(const City& city, const DateTime& utc) {
    if (utc.IsEmpty())
        return false;
    const DateTime local = city.GetLocalTime(utc);
    for (int shift : kShiftsMinutes) {
        if (city.GetLocalTime(utc.AddMinutes(shift)) == local ||
            city.GetLocalTime(utc.AddMinutes(-shift)) == local)
            return true;
    }
    return false;
}

}  // namespace OBData
