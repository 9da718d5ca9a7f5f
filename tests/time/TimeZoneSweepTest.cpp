#include <gtest/gtest.h>

#include "data/DataView.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "platform/kernel/Calendar.h"
#include "time/TimeZone.h"

using ZEP_Utility::DateTime;
using namespace OBData;

namespace {

// The transition falls on the rule's month, weekday and occurrence.
void ExpectOnRule(const DateTime& date, const TransitionRule& rule, const std::wstring& zone) {
    ASSERT_FALSE(date.IsEmpty()) << zone;
    EXPECT_EQ(date.GetMonth(), rule.month) << zone;
    EXPECT_EQ(date.GetDayOfWeek(), rule.dayOfWeek) << zone;
    EXPECT_EQ(date.GetHour(), rule.hour) << zone;
    EXPECT_EQ(date.GetMinute(), rule.minute) << zone;
    if (rule.dayIndex > 4)
        EXPECT_GT(date.GetDay() + 7, ob::kernel::DaysInMonth(date.GetYear(), date.GetMonth())) << zone;
    else
        EXPECT_EQ((date.GetDay() - 1) / 7 + 1, rule.dayIndex) << zone;
}

int OffsetMinutes(const TimeZone& zone, const DateTime& utc) {
    return (zone.ToLocalTime(utc) - utc).GetTotalSeconds() / 60;
}

}  // namespace

TEST(TimeZoneSweep, EveryRuleZoneJumpsExactlyTwiceAYearAtItsTransitions) {
    ASSERT_TRUE(LoadReferenceTables());
    DataView* zones = GetTimeZoneView();
    ASSERT_NE(zones, nullptr);
    int swept = 0;
    for (std::int32_t i = 0; i < zones->GetCount(); ++i) {
        std::int32_t key = 0;
        zones->GetRow(i).GetInt(L"indx", key);
        TimeZone* zone = GetTimeZone(key);
        ASSERT_NE(zone, nullptr);
        if (!zone->HasDaylightRule())
            continue;
        ++swept;
        zone->SetUsesDaylightTime(true);
        const TimeZoneInfo& info = zone->GetInfo();
        const std::wstring& name = info.displayName;
        const int standard = -(info.bias + info.standardBias);
        const int summer = -(info.bias + info.daylightBias);
        for (int year : {2008, 2026}) {
            const DateTime start = TimeZone::GetTransitionDate(info.daylightDate, year);
            const DateTime end = TimeZone::GetTransitionDate(info.standardDate, year);
            ExpectOnRule(start, info.daylightDate, name);
            ExpectOnRule(end, info.standardDate, name);

            // Summer time begins when the standard clock shows the start and
            // ends when the summer clock shows the end.
            const DateTime startUtc = start.AddMinutes(-standard);
            const DateTime endUtc = end.AddMinutes(-summer);
            const ZEP_Utility::TimeSpan second(0, 0, 0, 1);
            EXPECT_EQ(OffsetMinutes(*zone, startUtc - second), standard) << name << " " << year;
            EXPECT_EQ(OffsetMinutes(*zone, startUtc), summer) << name << " " << year;
            EXPECT_EQ(OffsetMinutes(*zone, endUtc - second), summer) << name << " " << year;
            EXPECT_EQ(OffsetMinutes(*zone, endUtc), standard) << name << " " << year;

            // Hour by hour through the year the offset changes only there.
            int jumps = 0;
            DateTime t(year, 1, 1, 0, 0, 0);
            int previous = OffsetMinutes(*zone, t);
            for (t = t.AddMinutes(60); t.GetYear() == year; t = t.AddMinutes(60)) {
                const int offset = OffsetMinutes(*zone, t);
                if (offset != previous) {
                    ++jumps;
                    const DateTime before = t.AddMinutes(-60);
                    const bool atStart = before < startUtc && startUtc <= t && offset == summer;
                    const bool atEnd = before < endUtc && endUtc <= t && offset == standard;
                    EXPECT_TRUE(atStart || atEnd)
                        << name << " jumps at " << t.GetMonth() << "/" << t.GetDay() << " " << t.GetHour();
                }
                previous = offset;
            }
            EXPECT_EQ(jumps, 2) << name << " " << year;
        }
    }
    EXPECT_GT(swept, 30);
    ReleaseReferenceData();
}
