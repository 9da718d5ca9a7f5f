#include <gtest/gtest.h>

#include "kernel/LocaleFixture.h"
#include "platform/kernel/Calendar.h"
#include "platform/kernel/Locale.h"
#include "platform/kernel/MachineZone.h"

using namespace ob::kernel;

namespace {

CalendarFields Fields(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    CalendarFields f;
    f.year = static_cast<std::uint16_t>(y);
    f.month = static_cast<std::uint16_t>(mo);
    f.day = static_cast<std::uint16_t>(d);
    f.hour = static_cast<std::uint16_t>(h);
    f.minute = static_cast<std::uint16_t>(mi);
    f.second = static_cast<std::uint16_t>(s);
    return f;
}

Ticks ToTicks(const CalendarFields& f) {
    Ticks t = -1;
    EXPECT_TRUE(CalendarToTicks(f, t));
    return t;
}

}  // namespace

TEST(Calendar, KnownInstantsAndWeekdays) {
    EXPECT_EQ(ToTicks(Fields(1601, 1, 1)), 0);
    EXPECT_EQ(ToTicks(Fields(1970, 1, 1)), kUnixEpochTicks);
    EXPECT_EQ(ToTicks(Fields(2008, 1, 15)), 128448288000000000LL);

    CalendarFields f;
    ASSERT_TRUE(TicksToCalendar(0, f));
    EXPECT_EQ(f.dayOfWeek, 1);  // Monday
    ASSERT_TRUE(TicksToCalendar(ToTicks(Fields(2000, 2, 29, 23, 59, 58)) + 1234 * kTicksPerMillisecond, f));
    EXPECT_EQ(f.year, 2000);
    EXPECT_EQ(f.month, 2);
    EXPECT_EQ(f.day, 29);
    EXPECT_EQ(f.dayOfWeek, 2);  // Tuesday
    EXPECT_EQ(f.hour, 23);
    EXPECT_EQ(f.minute, 59);
    EXPECT_EQ(f.second, 59);
    EXPECT_EQ(f.milliseconds, 234);
    ASSERT_TRUE(TicksToCalendar(ToTicks(Fields(2026, 12, 8)), f));
    EXPECT_EQ(f.dayOfWeek, 2);
}

TEST(Calendar, EveryDayFollowsTheDayBefore) {
    // Walk day by day over four centuries, crossing 1700, 1800, 1900 (not
    // leap) and 2000 (leap), and check that fields and ticks agree.
    CalendarFields prev;
    ASSERT_TRUE(TicksToCalendar(0, prev));
    const Ticks day = 864'000'000'000LL;
    for (Ticks t = day; t < 146097 * day; t += day) {
        CalendarFields f;
        ASSERT_TRUE(TicksToCalendar(t, f));
        const bool sameMonth = f.month == prev.month && f.day == prev.day + 1;
        const bool nextMonth =
            f.day == 1 && prev.day == DaysInMonth(prev.year, prev.month) && (f.month == prev.month % 12 + 1);
        ASSERT_TRUE(sameMonth || nextMonth) << f.year << "-" << f.month << "-" << f.day;
        ASSERT_EQ(f.dayOfWeek, (prev.dayOfWeek + 1) % 7);
        ASSERT_EQ(ToTicks(f), t);
        prev = f;
    }
    EXPECT_EQ(prev.year, 2000);
    EXPECT_EQ(prev.month, 12);
    EXPECT_EQ(prev.day, 31);
}

TEST(Calendar, RejectsFieldsAndTicksOutsideTheCalendar) {
    Ticks t = 42;
    EXPECT_FALSE(CalendarToTicks(Fields(2008, 0, 1), t));
    EXPECT_FALSE(CalendarToTicks(Fields(2008, 13, 1), t));
    EXPECT_FALSE(CalendarToTicks(Fields(2008, 4, 31), t));
    EXPECT_FALSE(CalendarToTicks(Fields(1900, 2, 29), t));
    EXPECT_FALSE(CalendarToTicks(Fields(2008, 1, 0), t));
    EXPECT_FALSE(CalendarToTicks(Fields(2008, 1, 1, 24), t));
    EXPECT_FALSE(CalendarToTicks(Fields(2008, 1, 1, 0, 60), t));
    EXPECT_FALSE(CalendarToTicks(Fields(1600, 12, 31), t));
    EXPECT_FALSE(CalendarToTicks(Fields(30828, 1, 1), t));
    EXPECT_EQ(t, 42);
    EXPECT_TRUE(CalendarToTicks(Fields(2008, 2, 29), t));

    CalendarFields f = Fields(1999, 9, 9);
    EXPECT_FALSE(TicksToCalendar(-1, f));
    const Ticks last = ToTicks(Fields(30827, 12, 31, 23, 59, 59));
    EXPECT_TRUE(TicksToCalendar(last + kTicksPerSecond - 1, f));
    EXPECT_FALSE(TicksToCalendar(last + kTicksPerSecond, f));
    EXPECT_EQ(f.year, 30827);
}

TEST(Locale, PicturesInTheCLocale) {
    ob::test::ScopedLocale c("C");
    CalendarFields f;
    ASSERT_TRUE(TicksToCalendar(ToTicks(Fields(2008, 3, 9, 0, 5, 7)), f));
    std::wstring out;
    ASSERT_TRUE(FormatDatePicture(f, L"dddd ddd dd d, MMMM MMM MM M, yyyy yy y", out));
    EXPECT_EQ(out, L"Sunday Sun 09 9, March Mar 03 3, 2008 08 8");
    ASSERT_TRUE(FormatTimePicture(f, L"h:mm:ss tt|hh t|H HH|m s", out));
    EXPECT_EQ(out, L"12:05:07 AM|12 A|0 00|5 7");
    f.hour = 13;
    ASSERT_TRUE(FormatTimePicture(f, L"h:mm tt", out));
    EXPECT_EQ(out, L"1:05 PM");

    // Quoted text is copied, '' is an apostrophe, and each kind of picture
    // leaves the other kind's letters alone.
    ASSERT_TRUE(FormatDatePicture(f, L"'day' d 'o''clock' h:mm", out));
    EXPECT_EQ(out, L"day 9 o'clock h:mm");
    ASSERT_TRUE(FormatTimePicture(f, L"HH'h' dd 'unterminated", out));
    EXPECT_EQ(out, L"13h dd unterminated");

    f.month = 2;
    f.day = 30;
    EXPECT_FALSE(FormatDatePicture(f, L"d", out));
    f.hour = 24;
    EXPECT_FALSE(FormatTimePicture(f, L"H", out));

    EXPECT_EQ(LocaleShortDatePicture(), L"MM/dd/yy");
    EXPECT_EQ(LocaleLongDatePicture(), L"dddd, MMMM d, yyyy");
    EXPECT_EQ(LocaleTimePicture(), L"HH:mm:ss");
    EXPECT_EQ(LocaleAmDesignator(), L"AM");
    EXPECT_EQ(LocalePmDesignator(), L"PM");
    EXPECT_EQ(LocaleMeasurementSystem(), MeasurementSystem::Metric);
}

TEST(Locale, StrftimeFormatsBecomePictures) {
    EXPECT_EQ(PictureFromStrftime("%d.%m.%Y"), L"dd.MM.yyyy");
    EXPECT_EQ(PictureFromStrftime("%-d/%-m/%y"), L"d/M/yy");
    EXPECT_EQ(PictureFromStrftime("%Y年%m月%d日"), L"yyyy'年'MM'月'dd'日'");
    EXPECT_EQ(PictureFromStrftime("%I:%M:%S %p"), L"hh:mm:ss tt");
    EXPECT_EQ(PictureFromStrftime("%e de %B, %T"), L"d' de 'MMMM, HH:mm:ss");
    EXPECT_EQ(PictureFromStrftime("%Ey %Z %% it's"), L"yy'  % it''s'");
}

TEST(Locale, PicturesInAGermanLocale) {
    OB_USE_LOCALE(guard, "de_DE.UTF-8");
    CalendarFields f;
    ASSERT_TRUE(TicksToCalendar(ToTicks(Fields(2008, 3, 4, 15, 30)), f));
    std::wstring out;
    ASSERT_TRUE(FormatDatePicture(f, L"dddd, d. MMMM yyyy (ddd, MMM)", out));
    EXPECT_EQ(out, L"Dienstag, 4. M\u00e4rz 2008 (Di, M\u00e4r)");
    EXPECT_EQ(LocaleShortDatePicture(), L"dd.MM.yyyy");
    EXPECT_EQ(LocaleLongDatePicture(), L"dddd, d MMMM yyyy");
    EXPECT_EQ(LocaleTimePicture(), L"HH:mm:ss");
    EXPECT_EQ(LocaleMeasurementSystem(), MeasurementSystem::Metric);
    EXPECT_FALSE(LocaleUsesTwelveHourClock());
    EXPECT_EQ(LocaleCountryCode(), "DE");
}

TEST(Locale, NamesOfAnEightBitLocaleAreConverted) {
    OB_USE_LOCALE(guard, "de_DE.ISO-8859-1");
    CalendarFields f;
    ASSERT_TRUE(TicksToCalendar(ToTicks(Fields(2008, 3, 4)), f));
    std::wstring out;
    ASSERT_TRUE(FormatDatePicture(f, L"MMMM", out));
    EXPECT_EQ(out, L"M\u00e4rz");
}

TEST(Locale, MeasurementSystemOfTheUnitedStates) {
    OB_USE_LOCALE(guard, "en_US.UTF-8");
    EXPECT_EQ(LocaleMeasurementSystem(), MeasurementSystem::US);
    EXPECT_EQ(LocaleAmDesignator(), L"AM");
    CalendarFields f;
    ASSERT_TRUE(TicksToCalendar(ToTicks(Fields(2008, 3, 4, 15, 30)), f));
    std::wstring out;
    ASSERT_TRUE(FormatTimePicture(f, LocaleTimePicture(), out));
    EXPECT_EQ(out, L"03:30:00 PM");
    EXPECT_TRUE(LocaleUsesTwelveHourClock());
}

TEST(MachineZone, TzThenTheLocaltimeLinkThenTheTimezoneFile) {
    EXPECT_EQ(TimeZoneNameFrom("Asia/Tokyo", "/usr/share/zoneinfo/Europe/Berlin", "UTC"), "Asia/Tokyo");
    EXPECT_EQ(TimeZoneNameFrom(":America/Sao_Paulo", "", ""), "America/Sao_Paulo");
    EXPECT_EQ(TimeZoneNameFrom("/usr/share/zoneinfo/posix/Asia/Kolkata", "", ""), "Asia/Kolkata");
    EXPECT_EQ(TimeZoneNameFrom("", "", ""), "UTC");
    EXPECT_EQ(TimeZoneNameFrom(nullptr, "../usr/share/zoneinfo/Europe/Berlin", "Asia/Tokyo\n"),
              "Europe/Berlin");
    EXPECT_EQ(TimeZoneNameFrom(nullptr, "/etc/mylocaltime", " Asia/Tokyo\n"), "Asia/Tokyo");
    EXPECT_EQ(TimeZoneNameFrom(nullptr, "", ""), "");
}
