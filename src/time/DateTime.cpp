#include "time/DateTime.h"

#include "platform/kernel/Clock.h"
#include "platform/kernel/Locale.h"

namespace ZEP_Utility {
namespace {

constexpr size_t kMaxFormatted = 99;

// Tick arithmetic in 128 bits, so that a huge step cannot wrap around into
// a plausible date; anything outside 64 bits is simply out of range.
std::int64_t Offset(std::uint64_t ticks, __int128 delta) {
    const __int128 sum = static_cast<__int128>(ticks) + delta;
    if (sum < 0 || sum > static_cast<__int128>(INT64_MAX))
        return -1;
    return static_cast<std::int64_t>(sum);
}

std::wstring Limit(std::wstring text) { return text.size() > kMaxFormatted ? std::wstring() : text; }

}  // namespace

DateTime::DateTime() {
    // The empty value's fields (1 January 1601), worked out once.
    static const ob::kernel::CalendarFields kEmptyFields = [] {
        ob::kernel::CalendarFields fields;
        ob::kernel::TicksToCalendar(0, fields);
        return fields;
    }();
    m_fields = kEmptyFields;
}

DateTime::DateTime(int year, int month, int day, int hour, int minute, int second) {
    ob::kernel::Ticks ticks = 0;
    ob::kernel::CalendarFields f;
    const bool inRange = year >= 0 && year <= 0xFFFF && month >= 0 && month <= 0xFFFF && day >= 0 &&
                         day <= 0xFFFF && hour >= 0 && hour <= 0xFFFF && minute >= 0 && minute <= 0xFFFF &&
                         second >= 0 && second <= 0xFFFF;
    if (inRange) {
        f.year = static_cast<std::uint16_t>(year);
        f.month = static_cast<std::uint16_t>(month);
        f.day = static_cast<std::uint16_t>(day);
        f.hour = static_cast<std::uint16_t>(hour);
        f.minute = static_cast<std::uint16_t>(minute);
        f.second = static_cast<std::uint16_t>(second);
    }
    SetTicks(inRange && ob::kernel::CalendarToTicks(f, ticks) ? ticks : 0);
}

DateTime::DateTime(std::uint64_t ticks) {
    SetTicks(ticks > static_cast<std::uint64_t>(INT64_MAX) ? -1 : static_cast<std::int64_t>(ticks));
}

DateTime::DateTime(const ob::kernel::CalendarFields& record)
    : DateTime(record.year, record.month, record.day, record.hour, record.minute, record.second) {}

void DateTime::SetTicks(std::int64_t ticks) {
    // Every value is whole seconds or better; the calendar fields are always
    // recomputed from the ticks so that they cannot disagree.
    if (ticks < 0 || !ob::kernel::TicksToCalendar(ticks, m_fields)) {
        ticks = 0;
        ob::kernel::TicksToCalendar(0, m_fields);
    }
    m_ticks = static_cast<std::uint64_t>(ticks);
}

DateTime DateTime::UtcNow() {
    const auto now = ob::kernel::UtcNowTicks();
    return DateTime(static_cast<std::uint64_t>(now - now % ob::kernel::kTicksPerSecond));
}

DateTime DateTime::LocalNow() {
    const auto now = ob::kernel::LocalNowTicks();
    return DateTime(static_cast<std::uint64_t>(now - now % ob::kernel::kTicksPerSecond));
}

bool DateTime::IsLeapYear(int year) { return ob::kernel::IsGregorianLeapYear(year); }

int DateTime::GetDayOfYear() const {
    int day = m_fields.day;
    for (int m = 1; m < m_fields.month; ++m)
        day += ob::kernel::DaysInMonth(m_fields.year, m);
    return day;
}

DateTime DateTime::GetDate() const { return DateTime(m_fields.year, m_fields.month, m_fields.day); }

DateTime DateTime::AddDays(std::int64_t days) const {
    DateTime result;
    result.SetTicks(Offset(m_ticks, static_cast<__int128>(days) * kTicksPerDay));
    return result;
}

DateTime DateTime::AddMinutes(std::int64_t minutes) const {
    DateTime result;
    result.SetTicks(Offset(m_ticks, static_cast<__int128>(minutes) * kTicksPerMinute));
    return result;
}

DateTime DateTime::AddMonths(int months) const {
    int year = m_fields.year + months / 12;
    int month = m_fields.month + months % 12;
    if (month > 12) {
        month -= 12;
        ++year;
    } else if (month < 1) {
        month += 12;
        --year;
    }
    return DateTime(year, month, m_fields.day, m_fields.hour, m_fields.minute, m_fields.second);
}

DateTime DateTime::AddYears(int years) const {
    const long long year = static_cast<long long>(m_fields.year) + years;
    if (year < 0 || year > 0xFFFF)
        return DateTime();
    return DateTime(static_cast<int>(year), m_fields.month, m_fields.day, m_fields.hour, m_fields.minute,
                    m_fields.second);
}

DateTime DateTime::operator+(const TimeSpan& span) const {
    DateTime result;
    result.SetTicks(Offset(m_ticks, static_cast<__int128>(span.GetTotalSeconds()) * kTicksPerSecond));
    return result;
}

DateTime DateTime::operator-(const TimeSpan& span) const {
    DateTime result;
    result.SetTicks(Offset(m_ticks, -static_cast<__int128>(span.GetTotalSeconds()) * kTicksPerSecond));
    return result;
}

DateTime& DateTime::operator+=(const TimeSpan& span) {
    *this = *this + span;
    return *this;
}

TimeSpan DateTime::operator-(const DateTime& other) const {
    const std::int64_t delta = static_cast<std::int64_t>(m_ticks) - static_cast<std::int64_t>(other.m_ticks);
    return TimeSpan::FromSeconds(delta / static_cast<std::int64_t>(kTicksPerSecond));
}

std::wstring DateTime::FormatDate(const wchar_t* picture) const {
    std::wstring out;
    const std::wstring pattern = picture ? std::wstring(picture) : ob::kernel::LocaleShortDatePicture();
    if (!ob::kernel::FormatDatePicture(m_fields, pattern, out))
        return std::wstring();
    return Limit(out);
}

std::wstring DateTime::FormatTime(const wchar_t* picture) const {
    std::wstring out;
    const std::wstring pattern = picture ? std::wstring(picture) : ob::kernel::LocaleTimePicture();
    if (!ob::kernel::FormatTimePicture(m_fields, pattern, out))
        return std::wstring();
    return Limit(out);
}

std::wstring DateTime::GetLongDate() const { return FormatDate(ob::kernel::LocaleLongDatePicture().c_str()); }

std::wstring DateTime::GetShortDate() const {
    return FormatDate(ob::kernel::LocaleShortDatePicture().c_str());
}

std::wstring DateTime::ToString() const { return GetShortDate() + L" " + FormatTime(nullptr); }

}  // namespace ZEP_Utility
