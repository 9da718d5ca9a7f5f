#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kernel/LocaleFixture.h"
#include "platform/kernel/Locale.h"
#include "time/DisplayFormats.h"

using namespace OBData;
using ZEP_Utility::DateTime;

TEST(DisplayFormats, ClockTimesIn12And24HourStyle) {
    ob::test::ScopedLocale c("C");
    EXPECT_STREQ(GetTimePicture(0), L"h:mm tt");
    EXPECT_STREQ(GetTimePicture(1), L"HH:mm");
    EXPECT_STREQ(GetTimePicture(7), L"h:mm tt");
    const DateTime t(2008, 6, 1, 13, 5, 0);
    EXPECT_EQ(FormatClockTime(1, t), L"13:05");
    EXPECT_EQ(FormatClockTime(0, t), L"1:05 PM");
    EXPECT_EQ(FormatClockTime(-1, DateTime(2008, 6, 1, 0, 30, 0)), L"12:30 AM");
}

TEST(DisplayFormats, ClockTimesInAGermanLocale) {
    OB_USE_LOCALE(guard, "de_DE.UTF-8");
    const DateTime t(2008, 6, 1, 13, 5, 0);
    EXPECT_EQ(FormatClockTime(1, t), L"13:05");
    // The locale has no designators of its own: a 12-hour time still says which half of the day.
    EXPECT_EQ(FormatClockTime(0, t), L"1:05 PM");
    EXPECT_EQ(FormatClockTime(0, DateTime(2008, 6, 1, 0, 30, 0)), L"12:30 AM");
    EXPECT_FALSE(ob::kernel::LocaleUsesTwelveHourClock());
}

TEST(DisplayFormats, Temperatures) {
    EXPECT_EQ(FormatTemperature(20.0, 0), L"20 C");
    EXPECT_EQ(FormatTemperature(20.0, 1), L"68 F");
    EXPECT_EQ(FormatTemperature(20.0, 2), L"***");
    EXPECT_EQ(FormatTemperature(-17.8, 1), L"0 F");
    EXPECT_EQ(FormatCelsius(-2.7), L"-3 C");
    EXPECT_DOUBLE_EQ(ToCelsius(212, 1), 100.0);
    EXPECT_DOUBLE_EQ(ToCelsius(30, 0), 30.0);
    EXPECT_DOUBLE_EQ(ToCelsius(30, 5), 30.0);
    EXPECT_EQ(RoundToInt(20.5), 21);
    EXPECT_EQ(RoundToInt(-2.5), -2);
    EXPECT_EQ(RoundToInt(-2.7), -3);
    EXPECT_EQ(RoundToInt(-3.0), -3);
    // A value no int holds reads as 0 instead of undefined behaviour.
    EXPECT_EQ(RoundToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundToInt(1e300), 0);
}
