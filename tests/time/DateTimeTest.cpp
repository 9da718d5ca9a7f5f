#include <gtest/gtest.h>

#include <type_traits>

#include "kernel/LocaleFixture.h"
#include "platform/kernel/Clock.h"
#include "time/DateTime.h"

using ZEP_Utility::DateTime;
using ZEP_Utility::TimeSpan;

// Copies are plain memory copies: no virtual table, no recomputed fields.
static_assert(std::is_trivially_copyable_v<DateTime>);

namespace {

void ExpectFields(const DateTime& d, int y, int mo, int day, int h, int mi, int s) {
    EXPECT_EQ(d.GetYear(), y);
    EXPECT_EQ(d.GetMonth(), mo);
    EXPECT_EQ(d.GetDay(), day);
    EXPECT_EQ(d.GetHour(), h);
    EXPECT_EQ(d.GetMinute(), mi);
    EXPECT_EQ(d.GetSecond(), s);
}

}  // namespace

TEST(DateTime, InvalidFieldsGiveTheEmptyValue) {
    EXPECT_TRUE(DateTime().IsEmpty());
    EXPECT_EQ(DateTime().GetTicks(), 0u);
    ExpectFields(DateTime(), 1601, 1, 1, 0, 0, 0);
    EXPECT_TRUE(DateTime(0, 0, 0).IsEmpty());
    EXPECT_TRUE(DateTime(2008, 4, 31).IsEmpty());
    EXPECT_TRUE(DateTime(2007, 2, 29).IsEmpty());
    EXPECT_TRUE(DateTime(1600, 12, 31).IsEmpty());
    EXPECT_TRUE(DateTime(2008, 1, 1, 24).IsEmpty());
    EXPECT_TRUE(DateTime(2008, -1, 1).IsEmpty());
    EXPECT_TRUE(DateTime(70000, 1, 1).IsEmpty());
    EXPECT_FALSE(DateTime(2008, 2, 29).IsEmpty());

    EXPECT_EQ(DateTime(2008, 3, 30, 1, 2, 3), DateTime(2008, 3, 30, 1, 2, 3));
    EXPECT_LT(DateTime(), DateTime(1601, 1, 1, 0, 0, 1));
    ob::kernel::CalendarFields record;
    DateTime(2008, 3, 30, 1, 2, 3).GetCalendarRecord(record);
    EXPECT_EQ(DateTime(record), DateTime(2008, 3, 30, 1, 2, 3));
    EXPECT_EQ(record.dayOfWeek, 0);
    EXPECT_EQ(record.milliseconds, 0);
}

TEST(DateTime, CalendarHelpers) {
    EXPECT_TRUE(DateTime::IsLeapYear(2000));
    EXPECT_TRUE(DateTime::IsLeapYear(2008));
    EXPECT_FALSE(DateTime::IsLeapYear(1900));
    EXPECT_FALSE(DateTime::IsLeapYear(2007));
    EXPECT_EQ(DateTime(2008, 12, 31).GetDayOfYear(), 366);
    EXPECT_EQ(DateTime(2007, 3, 1).GetDayOfYear(), 60);
    EXPECT_EQ(DateTime(2008, 1, 1).GetDayOfYear(), 1);
    EXPECT_EQ(DateTime(2008, 5, 6, 17, 45, 12).GetDate(), DateTime(2008, 5, 6));
}

TEST(DateTime, ArithmeticRecomputesTheFields) {
    const DateTime d = DateTime(2008, 4, 1).AddDays(-1);
    ExpectFields(d, 2008, 3, 31, 0, 0, 0);
    EXPECT_EQ(d.GetDayOfWeek(), 1);  // Monday
    ExpectFields(DateTime(2008, 12, 1, 2, 0, 0).AddMonths(1), 2009, 1, 1, 2, 0, 0);
    ExpectFields(DateTime(2009, 1, 1).AddMonths(-1), 2008, 12, 1, 0, 0, 0);
    ExpectFields(DateTime(2008, 6, 15).AddMonths(-18), 2006, 12, 15, 0, 0, 0);
    ExpectFields(DateTime(2008, 6, 15).AddMonths(25), 2010, 7, 15, 0, 0, 0);
    EXPECT_TRUE(DateTime(2008, 3, 31).AddMonths(1).IsEmpty());
    EXPECT_TRUE(DateTime(2008, 2, 29).AddYears(1).IsEmpty());
    ExpectFields(DateTime(2008, 2, 29).AddYears(4), 2012, 2, 29, 0, 0, 0);
    ExpectFields(DateTime(2008, 12, 31, 23, 30, 0).AddMinutes(45), 2009, 1, 1, 0, 15, 0);

    DateTime t(2008, 1, 1, 23, 59, 0);
    t += TimeSpan(0, 0, 0, 61);
    ExpectFields(t, 2008, 1, 2, 0, 0, 1);
    ExpectFields(t - TimeSpan(1, 0, 0, 1), 2008, 1, 1, 0, 0, 0);

    // Steps off either end of the calendar give the empty value instead of
    // wrapping round to some other date.
    EXPECT_TRUE(DateTime(1601, 1, 1).AddDays(-1).IsEmpty());
    EXPECT_TRUE(DateTime(2008, 1, 1).AddDays(INT64_MAX / 2).IsEmpty());
    EXPECT_TRUE(DateTime(2008, 1, 1).AddMinutes(INT64_MIN).IsEmpty());
    EXPECT_TRUE(DateTime(30827, 12, 31).AddDays(1).IsEmpty());
}

TEST(DateTime, DifferencesAreWholeSecondsTruncated) {
    const DateTime late(2008, 1, 2, 0, 0, 0);
    const DateTime early(DateTime(2008, 1, 1, 23, 59, 59).GetTicks() + DateTime::kTicksPerSecond / 2);
    EXPECT_EQ((late - early).GetTotalSeconds(), 0);
    EXPECT_EQ((late - DateTime(2008, 1, 1)).GetTotalSeconds(), 86400);
    EXPECT_EQ((DateTime(2008, 1, 1) - late).GetTotalSeconds(), -86400);
    // Beyond 32 bits of seconds the span saturates rather than wrapping.
    EXPECT_EQ((DateTime(2200, 1, 1) - DateTime(1700, 1, 1)).GetTotalSeconds(), INT32_MAX);
}

TEST(TimeSpan, PartsCarryTheSign) {
    EXPECT_EQ(TimeSpan(1, 2, 3, 4).GetTotalSeconds(), 86400 + 7200 + 180 + 4);
    const TimeSpan negative(0, 0, 0, -16200);
    EXPECT_EQ(negative.GetHours(), -4);
    EXPECT_EQ(negative.GetMinutes(), -30);
    EXPECT_EQ(TimeSpan(0, 0, 0, 90000).GetHours(), 1);
    EXPECT_EQ(TimeSpan(0, 0, 0, 90000).GetMinutes(), 0);
    EXPECT_EQ(TimeSpan(0, 5, 45, 0).GetMinutes(), 45);
    EXPECT_EQ((TimeSpan(0, 1, 0, 0) - TimeSpan(0, 0, 90, 0)).GetTotalSeconds(), -1800);
    EXPECT_TRUE(TimeSpan::IsGreater(TimeSpan(0, 0, 0, 2), TimeSpan(0, 0, 0, 1)));
    EXPECT_FALSE(TimeSpan::IsGreater(TimeSpan(0, 0, 0, 1), TimeSpan(0, 0, 0, 1)));
    EXPECT_EQ(TimeSpan(100000, 0, 0, 0).GetTotalSeconds(), INT32_MAX);
}

TEST(DateTime, ClocksFollowTheOverride) {
    const DateTime instant(2008, 7, 1, 12, 0, 0);
    ob::kernel::SetClockOverride(static_cast<ob::kernel::Ticks>(instant.GetTicks()) + 1234567, false);
    EXPECT_EQ(DateTime::UtcNow(), instant);  // to the second
    setenv("TZ", "Asia/Kolkata", 1);
    tzset();
    EXPECT_EQ(DateTime::LocalNow(), DateTime(2008, 7, 1, 17, 30, 0));
    unsetenv("TZ");
    tzset();
    ob::kernel::ClearClockOverride();
}

TEST(DateTime, FormatsInTheCLocale) {
    ob::test::ScopedLocale c("C");
    const DateTime d(2008, 1, 15, 13, 5, 9);
    EXPECT_EQ(d.FormatDate(L"ddd"), L"Tue");
    EXPECT_EQ(d.FormatDate(L"dddd d MMMM yyyy"), L"Tuesday 15 January 2008");
    EXPECT_EQ(d.FormatDate(nullptr), L"01/15/08");
    EXPECT_EQ(d.FormatTime(L"h:mm tt"), L"1:05 PM");
    EXPECT_EQ(d.FormatTime(nullptr), L"13:05:09");
    EXPECT_EQ(d.GetShortDate(), L"01/15/08");
    EXPECT_EQ(d.GetLongDate(), L"Tuesday, January 15, 2008");
    EXPECT_EQ(d.ToString(), L"01/15/08 13:05:09");
    // The platform call's buffer holds 99 characters.
    EXPECT_EQ(d.FormatDate(std::wstring(99, L'-').c_str()).size(), 99u);
    EXPECT_EQ(d.FormatDate(std::wstring(100, L'-').c_str()), L"");
}

TEST(DateTime, FormatsInAGermanLocale) {
    OB_USE_LOCALE(guard, "de_DE.UTF-8");
    const DateTime d(2008, 3, 4, 9, 5, 0);
    EXPECT_EQ(d.GetShortDate(), L"04.03.2008");
    EXPECT_EQ(d.GetLongDate(), L"Dienstag, 4 M\u00e4rz 2008");
    EXPECT_EQ(d.ToString(), L"04.03.2008 09:05:00");
    EXPECT_EQ(d.FormatDate(L"ddd"), L"Di");
    EXPECT_EQ(d.FormatTime(L"HH:mm"), L"09:05");
}
