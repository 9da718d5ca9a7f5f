#include "info/PlannerTime.h"

#include <gtest/gtest.h>

#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "model/CityGroup.h"

using OBData::CityGroup;
using OBData::HomeClockToUtc;
using OBData::PlannerClockTime;
using OBData::PlannerPosition;
using ZEP_Utility::DateTime;

TEST(PlannerTime, SliderPositionsAndHomeClockOnOrdinaryDays) {
    ASSERT_TRUE(OBData::LoadReferenceTables());
    EXPECT_EQ(PlannerClockTime(2026, 1, 15, 48), DateTime(2026, 1, 15, 12, 0, 0));
    EXPECT_EQ(PlannerClockTime(2026, 1, 15, 95), DateTime(2026, 1, 15, 23, 45, 0));
    EXPECT_EQ(PlannerClockTime(2026, 1, 15, -1), DateTime(2026, 1, 15, 0, 0, 0));
    EXPECT_EQ(PlannerClockTime(2026, 1, 15, 96), DateTime(2026, 1, 15, 23, 45, 0));
    EXPECT_TRUE(PlannerClockTime(2026, 2, 30, 48).IsEmpty());
    EXPECT_EQ(PlannerPosition(DateTime(2026, 1, 15, 14, 37, 59)), 58);
    EXPECT_EQ(PlannerPosition(DateTime(2026, 1, 15, 23, 59, 0)), 95);

    // New York is 5 hours west of UTC in winter, 4 in summer; Paris one hour
    // east in winter.
    CityGroup group;
    group.Parse(L"292;316");
    const DateTime winter = HomeClockToUtc(group, PlannerClockTime(2026, 1, 15, 48));
    EXPECT_EQ(winter, DateTime(2026, 1, 15, 17, 0, 0));
    EXPECT_EQ(group.GetCities()[1]->GetLocalTime(winter), DateTime(2026, 1, 15, 18, 0, 0));
    EXPECT_EQ(HomeClockToUtc(group, PlannerClockTime(2026, 7, 15, 48)), DateTime(2026, 7, 15, 16, 0, 0));

    EXPECT_TRUE(HomeClockToUtc(CityGroup(), DateTime(2026, 1, 15, 12, 0, 0)).IsEmpty());
    EXPECT_TRUE(HomeClockToUtc(group, DateTime()).IsEmpty());
}

// Every half hour of both 2026 change days of a northern and a southern zone
// (and New York's, whose changes fall at 02:00). On the hour of the change
// the clock either repeats (the earlier instant wins) or skips (the time
// moves on by the gap); both read with the offset in force before the change.
TEST(PlannerTime, ChangeDaysHourByHour) {
    ASSERT_TRUE(OBData::LoadReferenceTables());
    struct ChangeDay {
        int city, year, month, day;
        int changeHour;     // the clock hour that is repeated or skipped
        int before, after;  // offsets from UTC in minutes
    };
    const ChangeDay days[] = {
        {234, 2026, 3, 29, 1, 0, 60},     {234, 2026, 10, 25, 1, 60, 0},      // London
        {292, 2026, 3, 8, 2, -300, -240}, {292, 2026, 11, 1, 1, -240, -300},  // New York
        {414, 2026, 4, 5, 2, 660, 600},   {414, 2026, 10, 4, 2, 600, 660},    // Sydney
    };
    for (const ChangeDay& d : days) {
        CityGroup group;
        group.Parse(std::to_wstring(d.city));
        const OBData::City& home = *group.GetHomeCity();
        for (int minutes = 0; minutes < 24 * 60; minutes += 30) {
            const DateTime clock(d.year, d.month, d.day, minutes / 60, minutes % 60, 0);
            const int offset = minutes / 60 <= d.changeHour ? d.before : d.after;
            const DateTime utc = HomeClockToUtc(group, clock);
            SCOPED_TRACE(testing::Message()
                         << d.city << " " << d.month << "/" << d.day << " minute " << minutes);
            EXPECT_EQ(utc, clock.AddMinutes(-offset));
            const bool skipped = minutes / 60 == d.changeHour && d.after > d.before;
            EXPECT_EQ(home.GetLocalTime(utc), clock.AddMinutes(skipped ? d.after - d.before : 0));
        }
    }
    // The example of a day's first half hour read with the midday offset:
    // London at 00:30 on 29 March 2026 is 00:30 UTC, not 23:30 the day before.
    CityGroup london;
    london.Parse(L"234");
    EXPECT_EQ(HomeClockToUtc(london, DateTime(2026, 3, 29, 0, 30, 0)), DateTime(2026, 3, 29, 0, 30, 0));
}
