// A zone's standard offset and yearly summer-time rule, and the local time
// and UTC offset they give. Zones are shared objects handed out by the
// reference lookups (GetTimeZone); tests build them from field values.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "time/DateTime.h"
#include "time/TimeSpan.h"

namespace OBData {

class City;
class DatabaseZone;

// "The dayIndex-th dayOfWeek of month at hour:minute"; dayIndex above 4
// means the last such weekday. All zero means no rule.
struct TransitionRule {
    int month = 0;
    int dayOfWeek = 0;  // 0 = Sunday .. 6 = Saturday
    int dayIndex = 0;   // 1..4, or 5 for the last
    int hour = 0;
    int minute = 0;

    bool IsAbsent() const { return !month && !dayOfWeek && !dayIndex && !hour && !minute; }
};

// The field values of one time zone row.
struct TimeZoneInfo {
    std::wstring displayName;
    std::wstring standardName;
    std::wstring daylightName;
    int bias = 0;                 // minutes: UTC = local standard time + bias
    int standardBias = 0;         // added to bias outside summer time
    int daylightBias = 0;         // added to bias during summer time
    TransitionRule standardDate;  // when summer time ends (on the summer clock)
    TransitionRule daylightDate;  // when summer time begins (on the standard clock)
};

// The span of one year's summer time. Empty: both ends are the empty DateTime.
class DaylightPeriod {
public:
    DaylightPeriod() = default;
    DaylightPeriod(const ZEP_Utility::DateTime& start, const ZEP_Utility::DateTime& end,
                   const ZEP_Utility::TimeSpan& shift)
        : m_start(start), m_end(end), m_shift(shift) {}

    bool IsValid() const { return !m_start.IsEmpty() && !m_end.IsEmpty(); }
    // start <= date < end; for a period across the new year, the part of it
    // that lies in the date's own year.
    bool Contains(const ZEP_Utility::DateTime& date) const;
    const ZEP_Utility::DateTime& GetStart() const { return m_start; }
    const ZEP_Utility::DateTime& GetEnd() const { return m_end; }
    const ZEP_Utility::TimeSpan& GetShift() const { return m_shift; }

private:
    ZEP_Utility::DateTime m_start;
    ZEP_Utility::DateTime m_end;
    ZEP_Utility::TimeSpan m_shift;
};

// A change of a zone's clock: its UTC instant and the offsets from UTC
// before and after it.
struct ClockChangeAt {
    ZEP_Utility::DateTime utc;
    int offsetBeforeMinutes = 0;
    int offsetAfterMinutes = 0;
};

class TimeZone {
public:
    // Key -1 gives an empty zone (UTC, no rules). Any other key loads the
    // time zone row with that index; a key without a row stays empty.
    explicit TimeZone(int key = -1);
    TimeZone(int key, const TimeZoneInfo& info);
    // A city's clock: the tz database zone `ianaZone` ("Europe/Istanbul"),
    // loaded on first use, with the row of `key` as the rules it falls back
    // on when the database or the zone cannot be had.
    TimeZone(int key, std::wstring ianaZone);
    ~TimeZone();
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

    int GetKey() const { return m_key; }
    const std::wstring& GetDisplayName() const { return m_info.displayName; }
    const std::wstring& GetStandardName() const { return m_info.standardName; }
    const std::wstring& GetDaylightName() const { return m_info.daylightName; }
    const TimeZoneInfo& GetInfo() const { return m_info; }
    bool HasDaylightRule() const;
    const std::wstring& GetIanaZone() const { return m_ianaZone; }
    // The database zone, loaded on the first call; null when the zone keeps
    // the built-in rules.
    const DatabaseZone* GetDatabaseZone() const;

    // The clock at a UTC instant, from the database where the zone has it and
    // from the built-in rules otherwise (decided there on local standard time).
    ZEP_Utility::TimeSpan GetUtcOffsetAt(const ZEP_Utility::DateTime& utc) const;
    // Summer time: the clock is ahead of the zone's winter clock.
    bool IsSummerTimeAt(const ZEP_Utility::DateTime& utc) const;
    // The offset of the winter (standard) clock at an instant, in minutes.
    int GetStandardOffsetMinutes(const ZEP_Utility::DateTime& utc) const;
    // The zone as it is at an instant: "(GMT+03:00) Istanbul", its standard
    // offset and the database zone's place; the table's display name for a
    // zone on the built-in rules.
    std::wstring GetCurrentDisplayName(const ZEP_Utility::DateTime& utc) const;
    // The first change of the clock after `utc`, up to and including
    // utc + within; empty when there is none in that range.
    std::optional<ClockChangeAt> GetNextClockChange(const ZEP_Utility::DateTime& utc,
                                                    const ZEP_Utility::TimeSpan& within) const;

    // Whether the zone applies its summer-time rule at all (set from the
    // cities of the zone by the lookups).
    void SetUsesDaylightTime(bool uses) { m_usesDaylightTime = uses; }
    bool UsesDaylightTime() const { return m_usesDaylightTime; }

    static ZEP_Utility::DateTime GetTransitionDate(const TransitionRule& rule, int year);
    // The summer-time period that contains or follows the date within its year.
    DaylightPeriod GetDaylightPeriod(const ZEP_Utility::DateTime& date) const;
    // Whether summer time is in force at a local standard time: it begins when
    // the standard clock reaches the daylight rule's moment and ends when the
    // summer clock (standard time shifted by the daylight bias) reaches the
    // standard rule's moment.
    bool IsDaylightTime(const ZEP_Utility::DateTime& localStandard) const;
    // Local time - UTC at a local standard time (built-in rules); for a
    // database zone, at the instant its clock reads that time.
    ZEP_Utility::TimeSpan GetUtcOffset(const ZEP_Utility::DateTime& localStandard) const;
    ZEP_Utility::DateTime ToLocalTime(const ZEP_Utility::DateTime& utc) const;
    // The UTC instant at which the zone's clock reads `local`. A time the
    // clock shows twice (the hour repeated when summer time ends) gives the
    // earlier instant; a time it skips (the hour lost when summer time
    // begins) moves on by the length of the gap, read with the offset in
    // force before it.
    ZEP_Utility::DateTime ToUniversalTime(const ZEP_Utility::DateTime& local) const;
    // "<long date> to <long date>" of the date's summer period, or
    // "no daylight savings time". A database zone takes the period of summer
    // time around the UTC instant `date` within its local year.
    std::wstring GetDaylightSummary(const ZEP_Utility::DateTime& date) const;

private:
    // The start and end of summer time in one year, remembered for a few
    // years since every local time needs them (single-threaded use only).
    struct YearTransitions {
        int year = -1;  // no year yet
        ZEP_Utility::DateTime start;
        ZEP_Utility::DateTime end;
    };
    const YearTransitions& TransitionsOf(int year) const;

    std::optional<ClockChangeAt> NextRuleChange(const ZEP_Utility::DateTime& utc,
                                                const ZEP_Utility::DateTime& until) const;
    std::wstring DatabaseSummary(const DatabaseZone& zone, const ZEP_Utility::DateTime& utc) const;

    int m_key = -1;
    TimeZoneInfo m_info;
    std::wstring m_ianaZone;
    mutable bool m_databaseTried = false;
    mutable std::unique_ptr<DatabaseZone> m_database;
    bool m_usesDaylightTime = false;
    mutable YearTransitions m_transitions[4];
};

// The UTC instants (ticks since 1601) whose local times in every zone of the
// gazetteer, standard or summer, stay within the calendar (1601-01-01 to
// 9999-12-31 23:59:59): from `first` to `last`, both included. False when
// the zone table cannot be had.
bool GetCalendarSafeRange(std::int64_t& first, std::int64_t& last);

// A city's next clock change after a UTC instant, within `within` (both from
// its zone; empty for a city without one or no change in range), and its
// zone's standard offset in minutes and name at an instant.
std::optional<ClockChangeAt> GetNextClockChange(const City& city, const ZEP_Utility::DateTime& utc,
                                                const ZEP_Utility::TimeSpan& within);
int GetStandardOffsetMinutes(const City& city, const ZEP_Utility::DateTime& utc);
std::wstring GetZoneDisplayName(const City& city, const ZEP_Utility::DateTime& utc);

}  // namespace OBData
