#include <gtest/gtest.h>

#include <memory>

#include "kernel/LocaleFixture.h"
#include "time/TimeZone.h"

using ZEP_Utility::DateTime;
using namespace OBData;

namespace {

// Zones as the time zone table holds them.
std::unique_ptr<TimeZone> Zone(int key, int bias, int daylightBias, TransitionRule standard,
                               TransitionRule daylight) {
    TimeZoneInfo info;
    info.displayName = L"zone";
    info.bias = bias;
    info.daylightBias = daylightBias;
    info.standardDate = standard;
    info.daylightDate = daylight;
    auto zone = std::make_unique<TimeZone>(key, info);
    zone->SetUsesDaylightTime(true);
    return zone;
}

std::unique_ptr<TimeZone> London() { return Zone(85, 0, -60, {10, 0, 5, 2, 0}, {3, 0, 5, 1, 0}); }
std::unique_ptr<TimeZone> NewYork() { return Zone(35, 300, -60, {11, 0, 1, 2, 0}, {3, 0, 2, 2, 0}); }
std::unique_ptr<TimeZone> Sydney() { return Zone(255, -600, -60, {4, 0, 1, 3, 0}, {10, 0, 1, 2, 0}); }
std::unique_ptr<TimeZone> Windhoek() { return Zone(-2147483578, -120, 60, {9, 0, 1, 2, 0}, {4, 0, 1, 2, 0}); }
std::unique_ptr<TimeZone> India() { return Zone(190, -330, -60, {}, {}); }

DateTime Local(const TimeZone& zone, int y, int mo, int d, int h, int mi, int s = 0) {
    return zone.ToLocalTime(DateTime(y, mo, d, h, mi, s));
}

}  // namespace

TEST(TimeZone, TransitionDatesFollowTheRule) {
    EXPECT_EQ(TimeZone::GetTransitionDate({3, 0, 5, 2, 0}, 2008), DateTime(2008, 3, 30, 2, 0, 0));
    EXPECT_EQ(TimeZone::GetTransitionDate({11, 0, 1, 2, 0}, 2008), DateTime(2008, 11, 2, 2, 0, 0));
    EXPECT_EQ(TimeZone::GetTransitionDate({3, 0, 2, 2, 0}, 2008), DateTime(2008, 3, 9, 2, 0, 0));
    EXPECT_EQ(TimeZone::GetTransitionDate({3, 5, 5, 2, 0}, 2008), DateTime(2008, 3, 28, 2, 0, 0));
    // Last Sunday when the month ends on a Sunday, and a December rule.
    EXPECT_EQ(TimeZone::GetTransitionDate({8, 0, 5, 1, 0}, 2008), DateTime(2008, 8, 31, 1, 0, 0));
    EXPECT_EQ(TimeZone::GetTransitionDate({12, 6, 5, 23, 59}, 2008), DateTime(2008, 12, 27, 23, 59, 0));
    EXPECT_EQ(TimeZone::GetTransitionDate({2, 0, 3, 0, 0}, 2026), DateTime(2026, 2, 15, 0, 0, 0));
    EXPECT_TRUE(TimeZone::GetTransitionDate({13, 0, 1, 2, 0}, 2008).IsEmpty());
}

TEST(TimeZone, SouthernPeriodsSpanTheNewYear) {
    const auto sydney = Sydney();
    DaylightPeriod p = sydney->GetDaylightPeriod(DateTime(2008, 1, 15));
    EXPECT_EQ(p.GetStart(), DateTime(2007, 10, 7, 2, 0, 0));
    EXPECT_EQ(p.GetEnd(), DateTime(2008, 4, 6, 3, 0, 0));
    EXPECT_EQ(p.GetShift().GetTotalSeconds(), 3600);
    EXPECT_TRUE(p.Contains(DateTime(2008, 1, 15)));
    EXPECT_TRUE(sydney->IsDaylightTime(DateTime(2008, 1, 15)));
    EXPECT_EQ(sydney->GetUtcOffset(DateTime(2008, 1, 15)).GetTotalSeconds(), 11 * 3600);

    p = sydney->GetDaylightPeriod(DateTime(2008, 7, 15));
    EXPECT_EQ(p.GetStart(), DateTime(2008, 10, 5, 2, 0, 0));
    EXPECT_EQ(p.GetEnd(), DateTime(2009, 4, 5, 3, 0, 0));
    EXPECT_FALSE(sydney->IsDaylightTime(DateTime(2008, 7, 15)));
    EXPECT_TRUE(sydney->IsDaylightTime(DateTime(2008, 12, 25)));

    EXPECT_FALSE(DaylightPeriod().IsValid());
    EXPECT_FALSE(DaylightPeriod().Contains(DateTime(2008, 1, 1)));
}

TEST(TimeZone, LondonChangesAtOneInTheMorningUtcBothWays) {
    const auto london = London();
    EXPECT_EQ(london->GetUtcOffset(DateTime(2008, 3, 29, 12, 0, 0)).GetTotalSeconds(), 0);
    EXPECT_EQ(london->GetUtcOffset(DateTime(2008, 3, 31, 12, 0, 0)).GetTotalSeconds(), 3600);
    EXPECT_EQ(london->GetUtcOffset(DateTime(2008, 7, 1)).GetTotalSeconds(), 3600);
    EXPECT_EQ(Local(*london, 2008, 3, 30, 0, 30), DateTime(2008, 3, 30, 0, 30, 0));
    EXPECT_EQ(Local(*london, 2008, 3, 30, 0, 59, 59), DateTime(2008, 3, 30, 0, 59, 59));
    EXPECT_EQ(Local(*london, 2008, 3, 30, 1, 0), DateTime(2008, 3, 30, 2, 0, 0));
    EXPECT_EQ(Local(*london, 2008, 3, 30, 1, 30), DateTime(2008, 3, 30, 2, 30, 0));
    // Summer time ends at 02:00 on the summer clock, which is 01:00 UTC.
    EXPECT_EQ(Local(*london, 2008, 10, 26, 0, 59, 59), DateTime(2008, 10, 26, 1, 59, 59));
    EXPECT_EQ(Local(*london, 2008, 10, 26, 1, 0), DateTime(2008, 10, 26, 1, 0, 0));
    EXPECT_EQ(Local(*london, 2026, 10, 25, 0, 59), DateTime(2026, 10, 25, 1, 59, 0));
    EXPECT_EQ(Local(*london, 2026, 10, 25, 1, 0), DateTime(2026, 10, 25, 1, 0, 0));
}

TEST(TimeZone, NewYorkSydneyAndWindhoekTransitions) {
    const auto ny = NewYork();
    EXPECT_EQ(Local(*ny, 2008, 1, 15, 12, 0), DateTime(2008, 1, 15, 7, 0, 0));
    EXPECT_EQ(Local(*ny, 2008, 3, 9, 6, 59), DateTime(2008, 3, 9, 1, 59, 0));
    EXPECT_EQ(Local(*ny, 2008, 3, 9, 7, 0), DateTime(2008, 3, 9, 3, 0, 0));
    EXPECT_EQ(Local(*ny, 2008, 11, 2, 5, 59, 59), DateTime(2008, 11, 2, 1, 59, 59));
    EXPECT_EQ(Local(*ny, 2008, 11, 2, 6, 0), DateTime(2008, 11, 2, 1, 0, 0));

    // Sydney ends summer time at 03:00 on its summer clock: 16:00 UTC the day before.
    const auto sydney = Sydney();
    EXPECT_EQ(Local(*sydney, 2008, 4, 5, 15, 59, 59), DateTime(2008, 4, 6, 2, 59, 59));
    EXPECT_EQ(Local(*sydney, 2008, 4, 5, 16, 0), DateTime(2008, 4, 6, 2, 0, 0));
    EXPECT_EQ(Local(*sydney, 2008, 10, 4, 15, 59), DateTime(2008, 10, 5, 1, 59, 0));
    EXPECT_EQ(Local(*sydney, 2008, 10, 4, 16, 0), DateTime(2008, 10, 5, 3, 0, 0));

    // Windhoek's "summer" is an hour behind its standard time (bias +60):
    // first Sunday of April to first Sunday of September.
    const auto windhoek = Windhoek();
    EXPECT_EQ(windhoek->GetUtcOffset(DateTime(2008, 1, 15)).GetTotalSeconds(), 7200);
    EXPECT_EQ(windhoek->GetUtcOffset(DateTime(2008, 6, 15)).GetTotalSeconds(), 3600);
    EXPECT_EQ(Local(*windhoek, 2008, 4, 5, 23, 59), DateTime(2008, 4, 6, 1, 59, 0));
    EXPECT_EQ(Local(*windhoek, 2008, 4, 6, 0, 0), DateTime(2008, 4, 6, 1, 0, 0));
    // It ends at 02:00 on the clock in force (UTC+1), i.e. 01:00 UTC.
    EXPECT_EQ(Local(*windhoek, 2008, 9, 7, 0, 59), DateTime(2008, 9, 7, 1, 59, 0));
    EXPECT_EQ(Local(*windhoek, 2008, 9, 7, 1, 0), DateTime(2008, 9, 7, 3, 0, 0));
}

TEST(TimeZone, ZonesWithoutRulesOrWithTheFlagClear) {
    ob::test::ScopedLocale c("C");
    const auto india = India();
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(india->GetUtcOffset(DateTime(2008, month, 10)).GetTotalSeconds(), 330 * 60);
    EXPECT_EQ(india->GetDaylightSummary(DateTime(2008, 6, 1)), L"no daylight savings time");
    EXPECT_FALSE(india->GetDaylightPeriod(DateTime(2008, 6, 1)).IsValid());

    const auto london = London();
    london->SetUsesDaylightTime(false);
    for (int month = 1; month <= 12; ++month)
        EXPECT_FALSE(london->IsDaylightTime(DateTime(2008, month, 10)));
    EXPECT_EQ(Local(*london, 2008, 7, 1, 12, 0), DateTime(2008, 7, 1, 12, 0, 0));
    EXPECT_EQ(london->GetDaylightSummary(DateTime(2008, 6, 1)),
              L"Sunday, March 30, 2008 to Sunday, October 26, 2008");

    // An empty zone is UTC.
    const TimeZone empty;
    EXPECT_EQ(empty.GetKey(), -1);
    EXPECT_EQ(empty.ToLocalTime(DateTime(2008, 7, 1, 12, 0, 0)), DateTime(2008, 7, 1, 12, 0, 0));
    EXPECT_EQ(empty.GetDaylightSummary(DateTime(2008, 6, 1)), L"no daylight savings time");
}

TEST(TimeZone, SummaryInAGermanLocale) {
    OB_USE_LOCALE(guard, "de_DE.UTF-8");
    EXPECT_EQ(Sydney()->GetDaylightSummary(DateTime(2008, 1, 15)),
              L"Sonntag, 7 Oktober 2007 to Sonntag, 6 April 2008");
}

// A zone whose summer offset is the smaller one (Windhoek) repeats the hour
// when its period begins and skips one when it ends; zones without rules
// take the standard offset.
TEST(TimeZone, ClockTimeToUtcWithARepeatedAndASkippedHour) {
    const auto windhoek = Windhoek();
    // 5 April 2026 02:00 standard goes back to 01:00: 01:30 comes twice.
    EXPECT_EQ(windhoek->ToUniversalTime(DateTime(2026, 4, 5, 1, 30, 0)), DateTime(2026, 4, 4, 23, 30, 0));
    EXPECT_EQ(windhoek->ToUniversalTime(DateTime(2026, 4, 5, 2, 30, 0)), DateTime(2026, 4, 5, 1, 30, 0));
    // 6 September 2026 02:00 on the summer clock goes on to 03:00: 02:30 is
    // skipped and moves on to the instant the clock reads 03:30.
    const DateTime skipped = windhoek->ToUniversalTime(DateTime(2026, 9, 6, 2, 30, 0));
    EXPECT_EQ(skipped, DateTime(2026, 9, 6, 1, 30, 0));
    EXPECT_EQ(windhoek->ToLocalTime(skipped), DateTime(2026, 9, 6, 3, 30, 0));
    EXPECT_EQ(windhoek->ToUniversalTime(DateTime(2026, 9, 6, 1, 30, 0)), DateTime(2026, 9, 6, 0, 30, 0));

    EXPECT_EQ(India()->ToUniversalTime(DateTime(2026, 3, 29, 1, 30, 0)), DateTime(2026, 3, 28, 20, 0, 0));
    const auto london = London();
    london->SetUsesDaylightTime(false);
    EXPECT_EQ(london->ToUniversalTime(DateTime(2026, 7, 1, 12, 0, 0)), DateTime(2026, 7, 1, 12, 0, 0));
    EXPECT_TRUE(london->ToUniversalTime(DateTime()).IsEmpty());
}
