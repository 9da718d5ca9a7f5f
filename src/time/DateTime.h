// A calendar date and time of day without a zone: a tick count (100 ns
// since 1601-01-01) kept together with the calendar fields it describes.
// The same type holds UTC instants, local standard times and local clock
// times; the time zone layer converts between them.
//
// The empty DateTime (tick count 0) marks "no date": it is what invalid
// fields and arithmetic that leaves the calendar's range give.
//
// A plain value: copying copies the ticks and the fields as they are, since
// every constructor and operation keeps the two in agreement.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/Calendar.h"
#include "time/TimeSpan.h"

namespace ZEP_Utility {

class DateTime {
public:
    static constexpr std::uint64_t kTicksPerSecond = 10'000'000ULL;
    static constexpr std::uint64_t kTicksPerMinute = 600'000'000ULL;
    static constexpr std::uint64_t kTicksPerDay = 864'000'000'000ULL;

    DateTime();
    DateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    explicit DateTime(std::uint64_t ticks);
    explicit DateTime(const ob::kernel::CalendarFields& record);

    static DateTime UtcNow();
    static DateTime LocalNow();

    std::uint64_t GetTicks() const { return m_ticks; }
    bool IsEmpty() const { return m_ticks == 0; }

    int GetYear() const { return m_fields.year; }
    int GetMonth() const { return m_fields.month; }
    int GetDay() const { return m_fields.day; }
    int GetHour() const { return m_fields.hour; }
    int GetMinute() const { return m_fields.minute; }
    int GetSecond() const { return m_fields.second; }
    int GetDayOfWeek() const { return m_fields.dayOfWeek; }
    void GetCalendarRecord(ob::kernel::CalendarFields& out) const { out = m_fields; }

    static bool IsLeapYear(int year);
    bool IsLeapYear() const { return IsLeapYear(m_fields.year); }
    int GetDayOfYear() const;
    DateTime GetDate() const;

    DateTime AddDays(std::int64_t days) const;
    DateTime AddMinutes(std::int64_t minutes) const;
    DateTime AddMonths(int months) const;
    DateTime AddYears(int years) const;

    DateTime operator+(const TimeSpan& span) const;
    DateTime operator-(const TimeSpan& span) const;
    DateTime& operator+=(const TimeSpan& span);
    // Whole seconds from other to this, truncated toward zero.
    TimeSpan operator-(const DateTime& other) const;

    bool operator==(const DateTime& o) const { return m_ticks == o.m_ticks; }
    bool operator!=(const DateTime& o) const { return m_ticks != o.m_ticks; }
    bool operator<(const DateTime& o) const { return m_ticks < o.m_ticks; }
    bool operator>(const DateTime& o) const { return m_ticks > o.m_ticks; }
    bool operator<=(const DateTime& o) const { return m_ticks <= o.m_ticks; }
    bool operator>=(const DateTime& o) const { return m_ticks >= o.m_ticks; }

    // Locale formatting; at most 99 characters, empty when formatting fails.
    // A null date picture uses the locale's short date.
    std::wstring FormatDate(const wchar_t* picture) const;
    // A null picture uses the locale's default time format.
    std::wstring FormatTime(const wchar_t* picture) const;
    std::wstring GetLongDate() const;
    std::wstring GetShortDate() const;
    // Short date, a blank, the time in the default time format.
    std::wstring ToString() const;

private:
    void SetTicks(std::int64_t ticks);  // out of range gives the empty value

    std::uint64_t m_ticks = 0;
    ob::kernel::CalendarFields m_fields;
};

}  // namespace ZEP_Utility
