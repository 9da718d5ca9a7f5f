#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

#include "geo/Position.h"

static_assert(std::is_trivially_copyable_v<OBData::Position>);

using namespace OBData;

TEST(Position, CoordinateTexts) {
    EXPECT_EQ(Position().ToString(), L"0\u00B0 0' N, 0\u00B0 0' E");
    EXPECT_EQ(Position(-0.5, 0.5).ToString(), L"0\u00B0 30' S, 0\u00B0 30' E");
    EXPECT_EQ(Position(0.5, -0.12).ToString(), L"0\u00B0 30' N, 0\u00B0 7' W");
    EXPECT_EQ(Position(-33.8667, 151.2).FormatLatitude(), L"33\u00B0 52' S");
    EXPECT_EQ(Position(51.5083, -0.1253).FormatLatitude(), L"51\u00B0 30' N");
    const Position clamped(200, -200);
    EXPECT_EQ(clamped.GetLatitude(), 180);
    EXPECT_EQ(clamped.GetLongitude(), -180);
    const Position copy = clamped;
    EXPECT_EQ(copy.GetLongitude(), -180);
    EXPECT_EQ(Position(NAN, 10).GetLatitude(), 0);
}

TEST(Position, GreatCircleDistances) {
    const Position london(51.5, -0.12), sydney(-33.87, 151.2);
    EXPECT_EQ(GreatCircleDistance(london, london).InUnits(kKilometres), 0.0);
    EXPECT_EQ(GreatCircleDistance(sydney, sydney).Format(kKilometres, true), L"0 KM");
    // Nearly identical points round the cosine past 1; never NaN.
    const double tiny = GreatCircleDistance(Position(45, 10), Position(45, 10.0000000001)).InUnits(0);
    EXPECT_FALSE(std::isnan(tiny));
    EXPECT_LT(tiny, 0.001);

    const Distance antipodes = GreatCircleDistance(Position(0, 0), Position(0, 180));
    EXPECT_NEAR(antipodes.InUnits(kNauticalMiles), 10800, 1e-6);
    EXPECT_NEAR(antipodes.InUnits(kKilometres), 20001.6, 1e-6);
    EXPECT_FALSE(std::isnan(GreatCircleDistance(Position(0, 0), Position(0, 180.0)).InUnits(0)));

    const double a = GreatCircleDistance(london, sydney).InUnits(0);
    EXPECT_DOUBLE_EQ(a, GreatCircleDistance(sydney, london).InUnits(0));
    EXPECT_NEAR(a, 16990, 30);
}

TEST(Distance, UnitsAndFormatting) {
    const Distance d(20001.6, kKilometres);
    EXPECT_EQ(d.Format(kKilometres, false), L"20,002");
    EXPECT_EQ(d.Format(kKilometres, true), L"20,002 KM");
    EXPECT_EQ(d.Format(kMiles, true), L"12,401 Miles");
    EXPECT_EQ(d.Format(3, true), L"0 UNKNOWN");
    EXPECT_EQ(d.Format(3, false), L"0");
    EXPECT_EQ(Distance(10000, kKilometres).Format(kMiles, true), L"6,200 Miles");
    EXPECT_EQ(Distance(1.852, kKilometres).Format(kNauticalMiles, true), L"1 NM");
    EXPECT_EQ(Distance(999.5, kKilometres).Format(kKilometres, false), L"1,000");
    EXPECT_NEAR(Distance(100, kMiles).InUnits(kKilometres), 161, 1e-9);
    EXPECT_NEAR(Distance(1, kNauticalMiles).InUnits(kKilometres), 1.852, 1e-12);
    EXPECT_EQ(Distance(5, 9).InUnits(kKilometres), 0);
    EXPECT_TRUE(Distance(1, 0) < Distance(2, 0));
    EXPECT_TRUE(Distance(3, 0) > Distance(2, 0));
    EXPECT_EQ(Distance(-5, 0).Format(0, false), L"0");

    EXPECT_EQ(FormatThousands(0, L','), L"0");
    EXPECT_EQ(FormatThousands(999, L','), L"999");
    EXPECT_EQ(FormatThousands(1000, L','), L"1,000");
    EXPECT_EQ(FormatThousands(1234567, L'.'), L"1.234.567");
}
