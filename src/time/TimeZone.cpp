#include "time/TimeZone.h"

#include <algorithm>
#include <cstdlib>

#include "data/DataRow.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"

using ZEP_Utility::DateTime;
using ZEP_Utility::TimeSpan;

namespace OBData {

bool DaylightPeriod::Contains(const DateTime& date) const {
    if (!IsValid())
        return false;
    if (m_start < m_end)
        return m_start <= date && date < m_end;
    return (date < m_end && date.GetYear() == m_end.GetYear()) ||
           (date >= m_start && date.GetYear() == m_start.GetYear());
}

TimeZone::TimeZone(int key) : m_key(key) {
    DataRow row;
    if (key == -1 || !FindTimeZoneRow(key, row))
        return;
    row.GetString(L"displayName", m_info.displayName);
    row.GetString(L"standardName", m_info.standardName);
    row.GetString(L"daylightName", m_info.daylightName);
    row.GetIntChecked(L"bias", m_info.bias);
    row.GetIntChecked(L"standardBias", m_info.standardBias);
    row.GetIntChecked(L"daylightBias", m_info.daylightBias);
    const auto readRule = [&row](const wchar_t* prefix, TransitionRule& rule) {
        const std::wstring p = prefix;
        row.GetIntChecked(p + L"Month", rule.month);
        row.GetIntChecked(p + L"DOW", rule.dayOfWeek);
        row.GetIntChecked(p + L"DayIndex", rule.dayIndex);
        row.GetIntChecked(p + L"Hour", rule.hour);
        row.GetIntChecked(p + L"Min", rule.minute);
    };
    readRule(L"standardDate", m_info.standardDate);
    readRule(L"daylightDate", m_info.daylightDate);
}

TimeZone::TimeZone(int key, const TimeZoneInfo& info) : m_key(key), m_info(info) {}

bool TimeZone::HasDaylightRule() const {
    return !m_info.standardDate.IsAbsent() && !m_info.daylightDate.IsAbsent();
}

DateTime TimeZone::GetTransitionDate(const TransitionRule& rule, int year) {
    DateTime date(year, rule.month, 1, rule.hour, rule.minute, 0);
    if (date.IsEmpty())
        return date;
    if (rule.dayIndex > 4) {
        // Last such weekday: step back from the month's last day.
        date = date.AddMonths(1).AddDays(-1);
        if (date.IsEmpty())
            return date;
        const int d = rule.dayOfWeek - date.GetDayOfWeek();
        return date.AddDays(d > 0 ? d - 7 : d);
    }
    const int w = date.GetDayOfWeek();
    int days = rule.dayOfWeek - w;
    if (rule.dayOfWeek < w)
        days += 7;
    days += 7 * (rule.dayIndex - 1);
    return date.AddDays(days);
}

const TimeZone::YearTransitions& TimeZone::TransitionsOf(int year) const {
    YearTransitions& slot = m_transitions[year & 3];
    if (slot.year != year) {
        slot.year = year;
        slot.start = GetTransitionDate(m_info.daylightDate, year);
        slot.end = GetTransitionDate(m_info.standardDate, year);
    }
    return slot;
}

DaylightPeriod TimeZone::GetDaylightPeriod(const DateTime& date) const {
    const int year = date.GetYear();
    if (year < 1 || year > 9999 || !HasDaylightRule())
        return DaylightPeriod();
    DateTime start = TransitionsOf(year).start;
    DateTime end = TransitionsOf(year).end;
    if (end < start) {
        // Summer time spans the new year (southern hemisphere).
        // At the ends of the calendar the year before or after cannot be
        // had; the period then runs from the calendar's first tick (tick 0 is
        // the empty value) or to its last second.
        if (date < end) {
            start = TransitionsOf(year - 1).start;
            if (start.IsEmpty())
                start = DateTime(std::uint64_t{1});
        } else {
            end = TransitionsOf(year + 1).end;
            if (end.IsEmpty())
                end = DateTime(year, 12, 31, 23, 59, 59);
        }
    }
    return DaylightPeriod(start, end, TimeSpan(0, 0, std::abs(m_info.daylightBias), 0));
}

bool TimeZone::IsDaylightTime(const DateTime& localStandard) const {
    if (!m_usesDaylightTime)
        return false;
    const DaylightPeriod period = GetDaylightPeriod(localStandard);
    if (!period.IsValid())
        return false;
    // The end rule is read on the clock in force before the change.
    const DateTime summerClock = localStandard.AddMinutes(-m_info.daylightBias);
    const DateTime& start = period.GetStart();
    const DateTime& end = period.GetEnd();
    if (start < end)
        return start <= localStandard && summerClock < end;
    return (summerClock < end && localStandard.GetYear() == end.GetYear()) ||
           (localStandard >= start && localStandard.GetYear() == start.GetYear());
}

TimeSpan TimeZone::GetUtcOffset(const DateTime& localStandard) const {
    const int m = IsDaylightTime(localStandard) ? m_info.daylightBias : m_info.standardBias;
    return TimeSpan(0, 0, -(m_info.bias + m), 0);
}

DateTime TimeZone::ToLocalTime(const DateTime& utc) const {
    const DateTime localStandard = utc.AddMinutes(-m_info.bias);
    return utc + GetUtcOffset(localStandard);
}

DateTime TimeZone::ToUniversalTime(const DateTime& local) const {
    if (local.IsEmpty())
        return local;
    // The clock shows one of two offsets; a candidate is right when the
    // instant it gives reads back as the same clock time.
    const int standard = -(m_info.bias + m_info.standardBias);
    const int daylight = -(m_info.bias + m_info.daylightBias);
    DateTime earliest;
    for (const int offset : {standard, daylight}) {
        const DateTime utc = local.AddMinutes(-offset);
        if (!utc.IsEmpty() && ToLocalTime(utc) == local && (earliest.IsEmpty() || utc < earliest))
            earliest = utc;
    }
    if (!earliest.IsEmpty())
        return earliest;
    // Skipped: the clock moves forward, so the offset before the gap is the
    // smaller of the two.
    return local.AddMinutes(-std::min(standard, daylight));
}

std::wstring TimeZone::GetDaylightSummary(const DateTime& date) const {
    const DaylightPeriod period = GetDaylightPeriod(date);
    if (!period.IsValid())
        return L"no daylight savings time";
    return period.GetStart().GetLongDate() + L" to " + period.GetEnd().GetLongDate();
}

bool GetCalendarSafeRange(std::int64_t& first, std::int64_t& last) {
    const DataTable* table = LoadReferenceTables() ? GetTimeZoneTable() : nullptr;
    if (!table || table->GetRowCount() == 0)
        return false;
    // Local time = UTC - (bias + standardBias or daylightBias), in minutes.
    int mostBehind = 0, mostAhead = 0;
    for (std::int32_t i = 0; i < table->GetRowCount(); ++i) {
        const void* record = table->GetRow(i);
        std::int32_t bias = 0, standardBias = 0, daylightBias = 0;
        table->GetInt(L"bias", record, bias);
        table->GetInt(L"standardBias", record, standardBias);
        table->GetInt(L"daylightBias", record, daylightBias);
        for (const int offset : {-(bias + standardBias), -(bias + daylightBias)}) {
            mostBehind = std::min(mostBehind, offset);
            mostAhead = std::max(mostAhead, offset);
        }
    }
    constexpr std::int64_t kTicksPerMinute = 600'000'000;
    // 9999-12-31 23:59:59, the last second of the calendar.
    const auto lastSecond = static_cast<std::int64_t>(DateTime(9999, 12, 31, 23, 59, 59).GetTicks());
    // The calendar's first instant, tick 0, is the empty value: one second later.
    first = -static_cast<std::int64_t>(mostBehind) * kTicksPerMinute + 10'000'000;
    last = lastSecond - static_cast<std::int64_t>(mostAhead) * kTicksPerMinute;
    return true;
}

}  // namespace OBData
