#include <gtest/gtest.h>

#include <algorithm>

#include "data/City.h"
#include "data/ReferenceTables.h"
#include "info/ClockChanges.h"
#include "info/WorkingHours.h"
#include "model/CityGroup.h"

using OBData::ClockHour;
using OBData::DayPart;
using ZEP_Utility::DateTime;

namespace {

// London, New York, Tokyo.
constexpr const wchar_t* kThreeZones = L"234;292;429";

int Marked(const OBData::PlannerQuarters& quarters) {
    return static_cast<int>(std::count(quarters.begin(), quarters.end(), true));
}

}  // namespace

TEST(WorkingHours, EachCityIsTintedByItsOwnClockAroundTheEdges) {
    ASSERT_TRUE(OBData::LoadReferenceTables());
    OBData::CityGroup group;
    group.Parse(kThreeZones);
    const auto& cities = group.GetCities();
    const OBData::WorkingHours hours;  // 9 to 17
    const auto part = [&](int city, const DateTime& utc) {
        return OBData::DayPartOf(cities[static_cast<std::size_t>(city)]->GetLocalTime(utc), hours);
    };
    // 9 December: London on UTC, New York 5 hours behind, Tokyo 9 ahead.
    // 08:59 UTC: London waking, New York 03:59 night, Tokyo 17:59 waking.
    EXPECT_EQ(part(0, DateTime(2026, 12, 9, 8, 59, 0)), DayPart::Waking);
    EXPECT_EQ(part(0, DateTime(2026, 12, 9, 9, 0, 0)), DayPart::Work);
    EXPECT_EQ(part(0, DateTime(2026, 12, 9, 16, 59, 0)), DayPart::Work);
    EXPECT_EQ(part(0, DateTime(2026, 12, 9, 17, 0, 0)), DayPart::Waking);
    EXPECT_EQ(part(1, DateTime(2026, 12, 9, 13, 59, 0)), DayPart::Waking);  // 08:59
    EXPECT_EQ(part(1, DateTime(2026, 12, 9, 14, 0, 0)), DayPart::Work);     // 09:00
    EXPECT_EQ(part(1, DateTime(2026, 12, 9, 3, 0, 0)), DayPart::Night);     // 22:00
    EXPECT_EQ(part(1, DateTime(2026, 12, 9, 2, 59, 0)), DayPart::Waking);   // 21:59
    EXPECT_EQ(part(2, DateTime(2026, 12, 9, 7, 59, 0)), DayPart::Work);     // 16:59
    EXPECT_EQ(part(2, DateTime(2026, 12, 9, 8, 0, 0)), DayPart::Waking);    // 17:00
    EXPECT_EQ(part(2, DateTime(2026, 12, 8, 21, 59, 0)), DayPart::Night);   // 06:59
    EXPECT_EQ(part(2, DateTime(2026, 12, 8, 22, 0, 0)), DayPart::Waking);   // 07:00
    // A night shift across midnight, and no working time at all.
    EXPECT_EQ(OBData::DayPartOf(DateTime(2026, 1, 1, 23, 0, 0), {22, 6}), DayPart::Work);
    EXPECT_EQ(OBData::DayPartOf(DateTime(2026, 1, 1, 5, 59, 0), {22, 6}), DayPart::Work);
    EXPECT_EQ(OBData::DayPartOf(DateTime(2026, 1, 1, 12, 0, 0), {9, 9}), DayPart::Waking);
}

TEST(WorkingHours, TheStripMarksOnlyTheQuartersWhenEveryoneIsAtWork) {
    ASSERT_TRUE(OBData::LoadReferenceTables());
    // London and New York share 14:00 to 17:00 London time: twelve quarters
    // from position 56.
    OBData::CityGroup atlantic;
    atlantic.Parse(L"234;292");
    const OBData::PlannerQuarters shared = OBData::CommonWorkingQuarters(atlantic, 2026, 12, 9, {});
    EXPECT_EQ(Marked(shared), 12);
    EXPECT_FALSE(shared[55]);
    EXPECT_TRUE(shared[56]);
    EXPECT_TRUE(shared[67]);
    EXPECT_FALSE(shared[68]);
    // New York and Tokyo never meet between nine and five.
    OBData::CityGroup pacific;
    pacific.Parse(kThreeZones);
    EXPECT_EQ(Marked(OBData::CommonWorkingQuarters(pacific, 2026, 12, 9, {})), 0);
    EXPECT_EQ(Marked(OBData::CommonWorkingQuarters(OBData::CityGroup(), 2026, 12, 9, {})), 0);
}

TEST(ClockChanges, AWeekAheadFlaggedAndTheSkippedAndRepeatedHours) {
    ASSERT_TRUE(OBData::LoadReferenceTables());
    OBData::CityGroup group;
    group.Parse(L"234;429");
    const OBData::City& london = *group.GetCities()[0];
    const OBData::City& tokyo = *group.GetCities()[1];
    // London goes forward at 01:00 UTC on 28 March 2027, to 02:00 BST.
    const auto change = OBData::NextClockChange(london, DateTime(2027, 3, 22, 1, 0, 0), 7 * 24 * 60);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->utc, DateTime(2027, 3, 28, 1, 0, 0));
    EXPECT_EQ(change->localAfter, DateTime(2027, 3, 28, 2, 0, 0));
    EXPECT_EQ(change->shiftMinutes, 60);
    EXPECT_EQ(OBData::ClockChangeText(*change, 1), L"Clocks go forward 1 h Sun 02:00");
    EXPECT_EQ(OBData::UpcomingClockChangeText(london, DateTime(2027, 3, 22, 1, 0, 0), 1),
              L"Clocks go forward 1 h Sun 02:00");  // six days before
    EXPECT_EQ(OBData::UpcomingClockChangeText(london, DateTime(2027, 3, 20, 1, 0, 0), 1), L"");  // eight
    EXPECT_EQ(OBData::UpcomingClockChangeText(london, DateTime(2027, 3, 28, 1, 0, 0), 1), L"")
        << "a change already made is not ahead";
    // Back on 31 October 2027 at 01:00 UTC, from 02:00 BST to 01:00 GMT.
    const auto back = OBData::NextClockChange(london, DateTime(2027, 10, 30, 12, 0, 0), 7 * 24 * 60);
    ASSERT_TRUE(back);
    EXPECT_EQ(OBData::ClockChangeText(*back, 0), L"Clocks go back 1 h Sun 1:00 AM");
    EXPECT_FALSE(OBData::NextClockChange(tokyo, DateTime(2027, 3, 22, 0, 0, 0), 366 * 24 * 60));

    EXPECT_EQ(OBData::ClassifyClockTime(london, DateTime(2027, 3, 28, 1, 30, 0)), ClockHour::Skipped);
    EXPECT_EQ(OBData::ClassifyClockTime(london, DateTime(2027, 3, 28, 2, 0, 0)), ClockHour::Normal);
    EXPECT_EQ(OBData::ClassifyClockTime(london, DateTime(2027, 3, 28, 0, 59, 0)), ClockHour::Normal);
    EXPECT_EQ(OBData::ClassifyClockTime(london, DateTime(2027, 10, 31, 1, 0, 0)), ClockHour::Repeated);
    EXPECT_EQ(OBData::ClassifyClockTime(london, DateTime(2027, 10, 31, 1, 59, 0)), ClockHour::Repeated);
    EXPECT_EQ(OBData::ClassifyClockTime(london, DateTime(2027, 10, 31, 2, 0, 0)), ClockHour::Normal);
    EXPECT_EQ(OBData::ClassifyClockTime(tokyo, DateTime(2027, 10, 31, 1, 30, 0)), ClockHour::Normal);
}
