#include "time/TimeZone.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "data/City.h"
#include "data/DataRow.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "time/ZoneDatabase.h"

using ZEP_Utility::DateTime;
using ZEP_Utility::TimeSpan;

namespace OBData {

namespace {

// 1970-01-01 in ticks since 1601, the database's epoch on our scale.
constexpr std::int64_t kUnixEpochTicks = 116'444'736'000'000'000;
constexpr std::int64_t kTicksPerSecond = 10'000'000;

std::int64_t ToUnix(const DateTime& t) {
    const std::int64_t ticks = static_cast<std::int64_t>(t.GetTicks()) - kUnixEpochTicks;
    return ticks / kTicksPerSecond - (ticks % kTicksPerSecond < 0 ? 1 : 0);
}

DateTime FromUnix(std::int64_t seconds) {
    const __int128 ticks = static_cast<__int128>(seconds) * kTicksPerSecond + kUnixEpochTicks;
    return ticks <= 0 || ticks > INT64_MAX ? DateTime() : DateTime(static_cast<std::uint64_t>(ticks));
}

}  // namespace

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

TimeZone::TimeZone(int key, std::wstring ianaZone) : TimeZone(key) { m_ianaZone = std::move(ianaZone); }

TimeZone::~TimeZone() = default;

const DatabaseZone* TimeZone::GetDatabaseZone() const {
    if (!m_databaseTried) {
        m_databaseTried = true;
        // Zone names are ASCII.
        std::string name;
        for (const wchar_t c : m_ianaZone)
            name += c < 0x80 ? static_cast<char>(c) : '?';
        if (!name.empty())
            m_database = DatabaseZone::Load(name);
    }
    return m_database.get();
}

TimeSpan TimeZone::GetUtcOffsetAt(const DateTime& utc) const {
    if (const DatabaseZone* zone = GetDatabaseZone())
        return TimeSpan::FromSeconds(zone->OffsetAt(ToUnix(utc)));
    return GetUtcOffset(utc.AddMinutes(-m_info.bias));
}

bool TimeZone::IsSummerTimeAt(const DateTime& utc) const {
    if (const DatabaseZone* zone = GetDatabaseZone())
        return zone->IsSummerTimeAt(ToUnix(utc));
    return IsDaylightTime(utc.AddMinutes(-m_info.bias));
}

int TimeZone::GetStandardOffsetMinutes(const DateTime& utc) const {
    if (const DatabaseZone* zone = GetDatabaseZone())
        return zone->StandardOffsetAt(ToUnix(utc)) / 60;
    return -(m_info.bias + m_info.standardBias);
}

std::wstring TimeZone::GetCurrentDisplayName(const DateTime& utc) const {
    if (!GetDatabaseZone())
        return m_info.displayName;
    // "America/Argentina/Buenos_Aires" is the place "Buenos Aires".
    std::wstring place = m_ianaZone.substr(m_ianaZone.rfind(L'/') + 1);
    std::replace(place.begin(), place.end(), L'_', L' ');
    const int offset = GetStandardOffsetMinutes(utc);
    if (offset == 0)
        return L"(GMT) " + place;
    wchar_t text[32];
    std::swprintf(text, 32, L"(GMT%lc%02d:%02d) ", offset < 0 ? L'-' : L'+', std::abs(offset) / 60,
                  std::abs(offset) % 60);
    return text + place;
}

std::optional<ClockChangeAt> TimeZone::GetNextClockChange(const DateTime& utc, const TimeSpan& within) const {
    const DateTime until = utc + within;
    if (utc.IsEmpty() || until.IsEmpty())
        return std::nullopt;
    const DatabaseZone* zone = GetDatabaseZone();
    if (!zone)
        return NextRuleChange(utc, until);
    const auto change = zone->NextChange(ToUnix(utc), ToUnix(until));
    if (!change)
        return std::nullopt;
    return ClockChangeAt{FromUnix(change->instant), change->offsetBefore / 60, change->offsetAfter / 60};
}

std::optional<ClockChangeAt> TimeZone::NextRuleChange(const DateTime& utc, const DateTime& until) const {
    if (!m_usesDaylightTime || !HasDaylightRule())
        return std::nullopt;
    // Summer time begins on the standard clock and ends on the summer clock.
    std::vector<DateTime> candidates;
    for (int year = utc.GetYear() - 1; year <= until.GetYear() + 1; ++year) {
        const DateTime start = GetTransitionDate(m_info.daylightDate, year);
        const DateTime end = GetTransitionDate(m_info.standardDate, year);
        if (!start.IsEmpty())
            candidates.push_back(start.AddMinutes(m_info.bias));
        if (!end.IsEmpty())
            candidates.push_back(end.AddMinutes(m_info.bias + m_info.daylightBias));
    }
    std::sort(candidates.begin(), candidates.end());
    for (const DateTime& at : candidates) {
        if (at <= utc || at > until || at.IsEmpty())
            continue;
        const int before = GetUtcOffsetAt(at - TimeSpan(0, 0, 0, 1)).GetTotalSeconds() / 60;
        const int after = GetUtcOffsetAt(at).GetTotalSeconds() / 60;
        if (before != after)
            return ClockChangeAt{at, before, after};
    }
    return std::nullopt;
}

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
    if (const DatabaseZone* zone = GetDatabaseZone())
        return TimeSpan::FromSeconds(zone->OffsetAt(zone->ToInstant(ToUnix(localStandard))));
    const int m = IsDaylightTime(localStandard) ? m_info.daylightBias : m_info.standardBias;
    return TimeSpan(0, 0, -(m_info.bias + m), 0);
}

DateTime TimeZone::ToLocalTime(const DateTime& utc) const {
    if (const DatabaseZone* zone = GetDatabaseZone(); zone && !utc.IsEmpty()) {
        // At the ends of the calendar an offset the table does not know may
        // leave it; the built-in rules stay within it.
        const DateTime local = utc + TimeSpan::FromSeconds(zone->OffsetAt(ToUnix(utc)));
        if (!local.IsEmpty())
            return local;
    }
    const DateTime localStandard = utc.AddMinutes(-m_info.bias);
    return utc + GetUtcOffset(localStandard);
}

DateTime TimeZone::ToUniversalTime(const DateTime& local) const {
    if (local.IsEmpty())
        return local;
    if (const DatabaseZone* zone = GetDatabaseZone()) {
        const DateTime utc = FromUnix(zone->ToInstant(ToUnix(local)));
        if (!utc.IsEmpty())
            return utc;
    }
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

std::wstring TimeZone::DatabaseSummary(const DatabaseZone& zone, const DateTime& utc) const {
    // The periods of summer time that touch the local year of the instant.
    const int year = ToLocalTime(utc).GetYear();
    const std::int64_t now = ToUnix(utc);
    const std::int64_t yearStart = zone.ToInstant(ToUnix(DateTime(year, 1, 1)));
    const DateTime next(year + 1, 1, 1);
    const std::int64_t yearEnd = next.IsEmpty() ? now + 366 * 86400LL : zone.ToInstant(ToUnix(next));
    constexpr std::int64_t kReach = 400 * 86400LL;
    struct Period {
        std::int64_t start;
        std::optional<std::int64_t> end;
    };
    std::vector<Period> periods;
    std::int64_t at = yearStart - kReach;
    bool summer = zone.IsSummerTimeAt(at);
    if (summer)
        periods.push_back({at, std::nullopt});
    while (const auto change = zone.NextChange(at, yearEnd + kReach)) {
        at = change->instant;
        const bool nowSummer = zone.IsSummerTimeAt(at);
        if (nowSummer && !summer)
            periods.push_back({at, std::nullopt});
        else if (!nowSummer && summer)
            periods.back().end = at;
        summer = nowSummer;
    }
    std::erase_if(periods, [&](const Period& p) {
        return p.start >= yearEnd || (p.end && *p.end <= yearStart) || p.start == yearStart - kReach;
    });
    if (periods.empty())
        return L"no daylight savings time";
    const Period* chosen = &periods.back();
    for (const Period& p : periods) {
        if (p.start <= now && (!p.end || now < *p.end)) {
            chosen = &p;
            break;
        }
        if (p.start > now) {
            chosen = &p;
            break;
        }
    }
    const std::wstring start = ToLocalTime(FromUnix(chosen->start)).GetLongDate();
    if (!chosen->end)
        return L"from " + start;
    return start + L" to " + ToLocalTime(FromUnix(*chosen->end)).GetLongDate();
}

std::wstring TimeZone::GetDaylightSummary(const DateTime& date) const {
    if (const DatabaseZone* zone = GetDatabaseZone())
        return DatabaseSummary(*zone, date);
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

std::optional<ClockChangeAt> GetNextClockChange(const City& city, const DateTime& utc,
                                                const TimeSpan& within) {
    const TimeZone* zone = city.GetTimeZone();
    return zone ? zone->GetNextClockChange(utc, within) : std::nullopt;
}

int GetStandardOffsetMinutes(const City& city, const DateTime& utc) {
    const TimeZone* zone = city.GetTimeZone();
    return zone ? zone->GetStandardOffsetMinutes(utc) : 0;
}

std::wstring GetZoneDisplayName(const City& city, const DateTime& utc) {
    const TimeZone* zone = city.GetTimeZone();
    return zone ? zone->GetCurrentDisplayName(utc) : std::wstring();
}

}  // namespace OBData
