#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "geo/Sun.h"
#include "time/TimeZone.h"

using ZEP_Utility::DateTime;
using namespace OBData;

namespace {

TimeZone FixedZone(int bias) {
    TimeZoneInfo info;
    info.bias = bias;
    return TimeZone(1, info);
}

}  // namespace

TEST(Sun, SunriseSunsetAndNoonInUtcMinutes) {
    EXPECT_NEAR(*SunriseUtcMinutes(80, 0, 0), 364.5, 0.05);
    EXPECT_NEAR(*SunsetUtcMinutes(80, 0, 0), 1091.2, 0.05);
    EXPECT_NEAR(SolarNoonUtcMinutes(80, 0), 727.9, 0.05);
    EXPECT_NEAR(*SunriseUtcMinutes(172, 51.5, 0.12), 223.9, 0.05);
    EXPECT_NEAR(*SunsetUtcMinutes(172, 51.5, 0.12), 1219.8, 0.05);
    EXPECT_NEAR(*SunriseUtcMinutes(172, -33.87, -151.2), -180.9, 0.05);
}

TEST(Sun, UtcMinutesToLocalStaysOnTheSameDay) {
    const DateTime date(2008, 6, 20);
    const TimeZone sydney = FixedZone(-600);
    EXPECT_EQ(UtcMinutesToLocal(date, *SunriseUtcMinutes(172, -33.87, -151.2), &sydney).FormatTime(L"HH:mm"),
              L"06:59");
    EXPECT_EQ(UtcMinutesToLocal(date, -30, nullptr), DateTime(2008, 6, 20, 23, 30, 0));
    EXPECT_EQ(UtcMinutesToLocal(date, 1470, nullptr), DateTime(2008, 6, 20, 0, 30, 0));
    // Exactly 1440 minutes is midnight of the same day, not an invalid hour 24.
    EXPECT_EQ(UtcMinutesToLocal(date, 1440, nullptr), DateTime(2008, 6, 20, 0, 0, 0));
    EXPECT_EQ(UtcMinutesToLocal(date, 600, &sydney), DateTime(2008, 6, 20, 20, 0, 0));
    EXPECT_EQ(UtcMinutesToLocal(date, 12.5, nullptr), DateTime(2008, 6, 20, 0, 12, 30));
    // Far outside the day still lands inside it.
    EXPECT_EQ(UtcMinutesToLocal(date, 3000, nullptr), DateTime(2008, 6, 20, 2, 0, 0));
    EXPECT_TRUE(UtcMinutesToLocal(date, NAN, nullptr).IsEmpty());
}

TEST(Sun, LocalTimesAndNightAtATemperatePlace) {
    const Position london(51.5, -0.12);
    const DateTime day(2008, 6, 20, 15, 0, 0);
    const DateTime sunrise = LocalSunrise(day, london, nullptr);
    const DateTime sunset = LocalSunset(day, london, nullptr);
    const DateTime noon = LocalSolarNoon(day, london, nullptr);
    EXPECT_EQ(sunrise.FormatTime(L"HH:mm"), L"03:43");
    EXPECT_EQ(sunset.FormatTime(L"HH:mm"), L"20:19");
    EXPECT_EQ(noon.FormatTime(L"HH:mm"), L"12:01");
    EXPECT_EQ(sunrise.GetDate(), day.GetDate());

    const ZEP_Utility::TimeSpan second(0, 0, 0, 1);
    EXPECT_FALSE(IsNight(london, nullptr, sunset));  // equal counts as day
    EXPECT_TRUE(IsNight(london, nullptr, sunset + second));
    EXPECT_FALSE(IsNight(london, nullptr, sunrise));
    EXPECT_TRUE(IsNight(london, nullptr, sunrise - second));
    EXPECT_FALSE(IsNight(london, nullptr, noon));

    // With a zone the comparison is made on the local clock.
    const TimeZone tokyo = FixedZone(-540);
    const Position tokyoPos(35.68, 139.77);
    EXPECT_FALSE(IsNight(tokyoPos, &tokyo, DateTime(2008, 6, 20, 3, 0, 0)));  // 12:00 local
    EXPECT_TRUE(IsNight(tokyoPos, &tokyo, DateTime(2008, 6, 20, 15, 0, 0)));  // 00:00 local
}

TEST(Sun, PolarDayAndNightHaveNoSunriseOrSunset) {
    const Position tromso(69.65, 18.96);
    EXPECT_FALSE(SunriseUtcMinutes(355, 69.65, -18.96).has_value());
    EXPECT_FALSE(SunsetUtcMinutes(355, 69.65, -18.96).has_value());
    EXPECT_TRUE(LocalSunrise(DateTime(2008, 12, 20), tromso, nullptr).IsEmpty());
    EXPECT_TRUE(LocalSunset(DateTime(2008, 6, 20), tromso, nullptr).IsEmpty());
    EXPECT_TRUE(IsNight(tromso, nullptr, DateTime(2008, 12, 20, 11, 0, 0)));
    EXPECT_FALSE(IsNight(tromso, nullptr, DateTime(2008, 6, 20, 23, 0, 0)));

    const Position mcmurdo(-77.85, 166.67);
    EXPECT_TRUE(IsNight(mcmurdo, nullptr, DateTime(2008, 6, 20, 0, 0, 0)));
    EXPECT_FALSE(IsNight(mcmurdo, nullptr, DateTime(2008, 12, 20, 12, 0, 0)));

    // The poles themselves: no NaN, no crash.
    for (double lat : {90.0, -90.0}) {
        EXPECT_FALSE(std::isnan(SunriseUtcMinutes(100, lat, 0).value_or(0)));
        EXPECT_FALSE(std::isnan(SolarNoonUtcMinutes(100, 0)));
        IsNight(Position(lat, 0), nullptr, DateTime(2008, 4, 10, 12, 0, 0));
    }
}

TEST(Terminator, PointsCoverEveryColumn) {
    const DateTime june(2008, 6, 21, 12, 0, 0);
    Terminator t = ComputeTerminator(june, 360);
    ASSERT_EQ(t.points.size(), 360u);
    for (int i = 0; i < 360; ++i)
        ASSERT_DOUBLE_EQ(t.points[i].GetLongitude(), -180.0 + i);
    EXPECT_FALSE(t.southDeclination);
    // Noon at Greenwich at the June solstice: the curve dips to the Antarctic
    // circle under the sun and rises to the Arctic circle opposite it.
    EXPECT_NEAR(t.points[180].GetLatitude(), -66.56, 0.3);
    EXPECT_NEAR(t.points[0].GetLatitude(), 66.56, 0.3);
    EXPECT_NEAR(t.points[90].GetLatitude(), 0, 1.5);

    // 240 columns: one point per column, 1.5 degrees apart.
    t = ComputeTerminator(june, 240);
    ASSERT_EQ(t.points.size(), 240u);
    EXPECT_DOUBLE_EQ(t.points[1].GetLongitude(), -178.5);
    EXPECT_DOUBLE_EQ(t.points[239].GetLongitude(), 178.5);
    for (const Position& p : t.points)
        ASSERT_FALSE(std::isnan(p.GetLatitude()));

    EXPECT_TRUE(ComputeTerminator(june, 0).points.empty());
    EXPECT_TRUE(ComputeTerminator(june, -5).points.empty());
    EXPECT_TRUE(ComputeTerminator(DateTime(2008, 12, 21, 12, 0, 0), 10).southDeclination);
}

TEST(Terminator, DeclinationChangesSignOnlyAtTheEquinoxes) {
    int changes = 0;
    bool previous = ComputeTerminator(DateTime(2008, 1, 1, 12, 0, 0), 1).southDeclination;
    EXPECT_TRUE(previous);
    for (DateTime d(2008, 1, 2, 12, 0, 0); d.GetYear() == 2008; d = d.AddDays(1)) {
        const bool south = ComputeTerminator(d, 1).southDeclination;
        if (south != previous) {
            ++changes;
            EXPECT_TRUE((d.GetMonth() == 3 && d.GetDay() >= 19 && d.GetDay() <= 21) ||
                        (d.GetMonth() == 9 && d.GetDay() >= 21 && d.GetDay() <= 23))
                << d.GetMonth() << "/" << d.GetDay();
        }
        previous = south;
    }
    EXPECT_EQ(changes, 2);
    // A declination of exactly 0 gives the two meridians 90 degrees from the sun.
    EXPECT_NEAR(std::fabs(TerminatorLatitude(10, 0)), 90, 1e-5);
    EXPECT_NEAR(std::fabs(TerminatorLatitude(170, 0)), 90, 1e-5);
    EXPECT_FALSE(std::isnan(TerminatorLatitude(90, 0)));
    EXPECT_NEAR(TerminatorDeclination(21, 6, 2008, 12), 23.44, 0.05);
}

TEST(Twilight, DarkSpansFollowTheSunsAltitudeAndMeetTheTerminatorAtTheHorizon) {
    for (double dec : {23.44, -23.44, 0.3}) {
        // Midnight meridian: the sun's lowest altitude is lat + |dec| - 90 on
        // the summer side, so each band ends 90 - |dec| - depression from the
        // equator; the winter pole stays dark to the end.
        for (double depression : {0.0, 6.0, 12.0, 18.0}) {
            const LatitudeSpan dark = DarkLatitudes(180, dec, depression);
            ASSERT_FALSE(dark.IsEmpty());
            // Mirrored for a southern sun: the far end is the winter pole,
            // dark unless the sun sinks less than the depression below it.
            const double sign = dec > 0 ? 1 : -1, ad = std::fabs(dec);
            const double nearEdge = sign > 0 ? dark.north : -dark.south;
            const double farEdge = sign > 0 ? dark.south : -dark.north;
            EXPECT_NEAR(nearEdge, 90 - ad - depression, 1e-3) << dec << " " << depression;
            EXPECT_NEAR(farEdge, std::max(-90.0, -90 + depression - ad), 1e-3) << dec << " " << depression;
            // Noon meridian: dark only within |dec| - depression of the winter pole.
            const LatitudeSpan noon = DarkLatitudes(0, dec, depression);
            if (std::fabs(dec) > depression) {
                EXPECT_NEAR(dec > 0 ? noon.north : -noon.south, -90 + std::fabs(dec) - depression, 1e-3);
            } else {
                EXPECT_TRUE(noon.IsEmpty()) << dec << " " << depression;
            }
        }
        // With the sun on the horizon the dark span's edge is the terminator.
        for (double x = -175; x < 180; x += 12.5) {
            const LatitudeSpan dark = DarkLatitudes(x, dec, 0);
            const double edge = dec > 0 ? dark.north : dark.south;
            EXPECT_NEAR(edge, TerminatorLatitude(x, dec), 1e-3) << x << " " << dec;
            EXPECT_NEAR(dec > 0 ? dark.south : dark.north, dec > 0 ? -90 : 90, 1e-3);
        }
    }
    // At the equinox the deep bands leave both poles in twilight.
    const LatitudeSpan equinox = DarkLatitudes(180, 0.0, 18);
    EXPECT_NEAR(equinox.north, 72, 1e-3);
    EXPECT_NEAR(equinox.south, -72, 1e-3);
    EXPECT_TRUE(DarkLatitudes(60, 0.0, 6).IsEmpty()) << "four hours from noon the sun is up everywhere";
    // The terminator reports where the sun stands overhead.
    const Terminator june = ComputeTerminator(DateTime(2026, 6, 21, 12, 0, 0), 0);
    EXPECT_NEAR(june.SubsolarPoint().GetLatitude(), 23.44, 0.05);
    EXPECT_NEAR(june.SubsolarPoint().GetLongitude(), 0, 1.5) << "noon UTC is noon at Greenwich, give or take";
}
