#include "info/CityClock.h"

#include <gtest/gtest.h>

#include "data/City.h"
#include "data/Country.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "model/CityGroup.h"

using OBData::BuildCityClock;
using OBData::CityGroup;
using ZEP_Utility::DateTime;

TEST(CityClock, RowsAcrossASummerTimeChangeAndPolarNight) {
    ASSERT_TRUE(OBData::LoadReferenceTables());
    CityGroup group;
    group.Parse(L"234;281");  // London, Murmansk
    // London's summer time begins at 01:00 UTC on 30 March 2008.
    auto before = BuildCityClock(group, DateTime(2008, 3, 30, 0, 59, 59), 0, 1);
    auto after = BuildCityClock(group, DateTime(2008, 3, 30, 1, 0, 0), 0, 1);
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(before[0].time, L"00:59:59");
    EXPECT_FALSE(before[0].summer);
    EXPECT_EQ(before[0].utcOffsetMinutes, 0);
    EXPECT_EQ(after[0].time, L"02:00:00");
    EXPECT_TRUE(after[0].summer);
    EXPECT_EQ(after[0].utcOffsetMinutes, 60);
    EXPECT_EQ(after[0].date, L"2008-03-30");
    EXPECT_TRUE(after[0].isHome);
    EXPECT_EQ(after[0].offset, L"none");
    EXPECT_EQ(after[0].distance, L"");
    EXPECT_FALSE(after[1].isHome);
    EXPECT_NE(after[1].distance.find(L" KM"), std::wstring::npos);

    // Murmansk at the winter solstice: no sunrise, no sunset, empty texts.
    const auto winter = BuildCityClock(group, DateTime(2008, 12, 21, 12, 0, 0), 2, 0);
    EXPECT_EQ(winter[1].sunrise, L"");
    EXPECT_EQ(winter[1].sunset, L"");
    EXPECT_NE(winter[1].distance.find(L" NM"), std::wstring::npos);
    EXPECT_NE(winter[0].sunrise, L"");

    // A date change: 23:30 UTC on New Year's Eve is already 2009 in Sydney.
    group.Parse(L"234;414");
    const auto newYear = BuildCityClock(group, DateTime(2008, 12, 31, 23, 30, 0), 0, 1);
    EXPECT_EQ(newYear[1].date, L"2009-01-01");
    EXPECT_EQ(newYear[1].time, L"10:30:00");

    EXPECT_TRUE(BuildCityClock(CityGroup(), DateTime(2008, 1, 1), 0, 0).empty());
}
