#include "platform/kernel/Calendar.h"

#include <ctime>

namespace ob::kernel {
namespace {

constexpr Ticks kTicksPerDay = 864'000'000'000LL;
// Days from 0000-03-01 (proleptic) to 1601-01-01, in the era arithmetic below.
constexpr std::int64_t kDaysTo1601 = 584694;

// Days since 0000-03-01 of a civil date; years start in March so that the
// leap day falls at the end of the year.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = y / 400;  // y is never negative here
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    const std::int64_t era = z / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

Ticks MaxTicks() {
    static const Ticks max = [] {
        Ticks t = 0;
        CalendarFields last{kMaxCalendarYear, 12, 0, 31, 23, 59, 59, 999};
        CalendarToTicks(last, t);
        return t + kTicksPerMillisecond - 1;
    }();
    return max;
}

}  // namespace

bool IsGregorianLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsGregorianLeapYear(year) ? 29 : kDays[month - 1];
}

bool CalendarToTicks(const CalendarFields& f, Ticks& out) {
    if (f.year < kMinCalendarYear || f.year > kMaxCalendarYear || f.month < 1 || f.month > 12 || f.day < 1 ||
        f.day > DaysInMonth(f.year, f.month) || f.hour > 23 || f.minute > 59 || f.second > 59 ||
        f.milliseconds > 999)
        return false;
    const std::int64_t days = DaysFromCivil(f.year, f.month, f.day) - kDaysTo1601;
    out = days * kTicksPerDay + ((f.hour * 60LL + f.minute) * 60 + f.second) * kTicksPerSecond +
          f.milliseconds * kTicksPerMillisecond;
    return true;
}

bool TicksToCalendar(Ticks ticks, CalendarFields& out) {
    if (ticks < 0 || ticks > MaxTicks())
        return false;
    const std::int64_t days = ticks / kTicksPerDay;
    std::int64_t rest = ticks % kTicksPerDay;
    int y = 0, m = 0, d = 0;
    CivilFromDays(days + kDaysTo1601, y, m, d);
    out.year = static_cast<std::uint16_t>(y);
    out.month = static_cast<std::uint16_t>(m);
    out.day = static_cast<std::uint16_t>(d);
    out.dayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
    out.hour = static_cast<std::uint16_t>(rest / (3600 * kTicksPerSecond));
    rest %= 3600 * kTicksPerSecond;
    out.minute = static_cast<std::uint16_t>(rest / (60 * kTicksPerSecond));
    rest %= 60 * kTicksPerSecond;
    out.second = static_cast<std::uint16_t>(rest / kTicksPerSecond);
    rest %= kTicksPerSecond;
    out.milliseconds = static_cast<std::uint16_t>(rest / kTicksPerMillisecond);
    return true;
}

Ticks UtcToSystemLocal(Ticks utc) {
    const std::time_t seconds = static_cast<std::time_t>((utc - kUnixEpochTicks) / kTicksPerSecond);
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return utc;
    return utc + static_cast<Ticks>(local.tm_gmtoff) * kTicksPerSecond;
}

Ticks LocalNowTicks() { return UtcToSystemLocal(UtcNowTicks()); }

}  // namespace ob::kernel
