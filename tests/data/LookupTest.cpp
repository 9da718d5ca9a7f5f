#include <gtest/gtest.h>

#include <memory>

#include "data/City.h"
#include "data/Country.h"
#include "data/DataView.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "geo/NearestCities.h"
#include "time/TimeZone.h"

using ZEP_Utility::DateTime;
using namespace OBData;

namespace {

constexpr int kAberdeen = 1, kAdelaide = 6, kApia = 27, kCaracas = 94, kKathmandu = 198;
constexpr int kKingstonNorfolk = 502, kKingstonJamaica = 203, kLondon = 234, kNewYork = 292;
constexpr int kNukualofa = 299, kParis = 316, kSydney = 414;

class Lookup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadReferenceTables()); }
    void TearDown() override { ReleaseReferenceData(); }

    static City& C(int id) {
        City* city = GetCity(id);
        EXPECT_NE(city, nullptr) << id;
        return *city;
    }
};

}  // namespace

TEST_F(Lookup, ObjectsAreBuiltOnceFromTheirRows) {
    EXPECT_EQ(GetCity(84), nullptr);
    EXPECT_EQ(GetCity(0), nullptr);
    City* aberdeen = GetCity(kAberdeen);
    ASSERT_NE(aberdeen, nullptr);
    EXPECT_EQ(GetCity(kAberdeen), aberdeen);
    EXPECT_EQ(aberdeen->GetDisplayName(), L"Aberdeen");
    EXPECT_EQ(aberdeen->GetAreaCode(), L"1224");
    EXPECT_DOUBLE_EQ(aberdeen->GetPosition().GetLatitude(), 57.13);
    EXPECT_DOUBLE_EQ(aberdeen->GetPosition().GetLongitude(), -2.07);
    ASSERT_NE(aberdeen->GetCountry(), nullptr);
    EXPECT_EQ(aberdeen->GetCountry(), GetCountry(L"UK"));
    ASSERT_NE(aberdeen->GetTimeZone(), nullptr);
    EXPECT_EQ(aberdeen->GetTimeZone()->GetKey(), 85);
    EXPECT_EQ(aberdeen->GetTimeZone()->GetIanaZone(), L"Europe/London");
    EXPECT_TRUE(aberdeen->GetTimeZone()->UsesDaylightTime());

    // The two Kingstons are told apart by id and country.
    EXPECT_EQ(C(kKingstonNorfolk).GetCountry()->GetIso2Name(), L"NF");
    EXPECT_EQ(C(kKingstonJamaica).GetCountry()->GetIso2Name(), L"JM");
    EXPECT_EQ(C(kKingstonNorfolk).GetAreaCode(), L"");

    EXPECT_EQ(GetCountry(L"uk"), nullptr);
    EXPECT_EQ(GetCountry(L""), nullptr);
    ASSERT_NE(GetCountry(L"GS"), nullptr);
    EXPECT_EQ(GetCountry(L"GS")->GetDriveSideText(), L"Unknown");
    EXPECT_EQ(GetCountry(L"UK")->GetDriveSideText(), L"Left");
    EXPECT_EQ(GetCountry(L"US")->GetDriveSideText(), L"Right");
    EXPECT_EQ(GetCountry(L"UK")->GetIntDialCode(), L"44");

    EXPECT_EQ(GetTimeZone(12345), nullptr);
    TimeZone* amman = GetTimeZone(static_cast<std::int32_t>(0x80000042u));
    ASSERT_NE(amman, nullptr);
    EXPECT_EQ(amman->GetDisplayName(), L"(GMT+02:00) Amman");
    EXPECT_EQ(amman->GetInfo().daylightDate.dayOfWeek, 4);
    EXPECT_EQ(amman->GetInfo().daylightDate.hour, 23);
    EXPECT_EQ(amman->GetInfo().daylightDate.minute, 59);
    EXPECT_EQ(C(460).GetTimeZone()->GetInfo().daylightBias, 60);  // Windhoek

    // A zone loaded by key alone reads the same row; an unknown key stays empty.
    const TimeZone london(85);
    EXPECT_EQ(london.GetInfo().standardDate.month, 10);
    EXPECT_EQ(london.GetStandardName(), L"GMT Standard Time");
    const TimeZone nowhere(777);
    EXPECT_EQ(nowhere.GetDisplayName(), L"");
    EXPECT_FALSE(nowhere.HasDaylightRule());
}

TEST_F(Lookup, ViewsAreCachedAndReleasedAtExit) {
    ASSERT_NE(GetCityView(), nullptr);
    EXPECT_EQ(GetCityView(), GetCityView());
    EXPECT_EQ(GetCityView()->GetCount(), 578);
    EXPECT_EQ(GetCountryView()->GetCount(), 226);
    EXPECT_EQ(GetTimeZoneView()->GetCount(), 90);
    std::unique_ptr<DataView> australia(CreateCityView(L"displayName", L"country = 'AU'"));
    ASSERT_NE(australia, nullptr);
    EXPECT_GT(australia->GetCount(), 5);
    DataRow row;
    EXPECT_TRUE(FindCityRow(kSydney, row));
    EXPECT_FALSE(FindCityRow(84, row));
    EXPECT_TRUE(FindTimeZoneRow(static_cast<std::int32_t>(0x8000004Bu), row));

    EXPECT_EQ(GetCityPositionIndex().size(), 578u);
    ReleaseReferenceData();
    EXPECT_EQ(GetCityView(), nullptr);
    EXPECT_EQ(GetCity(kSydney), nullptr);
    EXPECT_EQ(GetCountry(L"AU"), nullptr);
    EXPECT_EQ(CreateCityView(nullptr, nullptr), nullptr);
    EXPECT_TRUE(GetCityPositionIndex().empty());
    std::vector<NearestCity> none;
    EXPECT_TRUE(FindNearestCities(Position(0, 0), none));
    EXPECT_TRUE(none.empty());

    ASSERT_TRUE(LoadReferenceTables());
    EXPECT_NE(GetCity(kSydney), nullptr);
}

TEST_F(Lookup, DiallingCodes) {
    EXPECT_EQ(C(kLondon).GetDialCode(C(kAberdeen)), L"0 1224");
    EXPECT_EQ(C(kLondon).GetDialCode(C(kNewYork)), L"00 1 212");
    EXPECT_EQ(C(kSydney).GetDialCode(C(kAdelaide)), L"0 8");
    EXPECT_EQ(C(kKingstonNorfolk).GetDialCode(C(kLondon)), L"00 44 207");
    // An empty area code leaves the trailing blank.
    EXPECT_EQ(C(kLondon).GetDialCode(C(kKingstonNorfolk)), L"00 672 ");
}

TEST_F(Lookup, OffsetTexts) {
    const DateTime january(2008, 1, 15, 12, 0, 0);
    City& london = C(kLondon);
    EXPECT_EQ(london.GetOffsetText(C(kParis), january), L"1 hour ahead");
    EXPECT_EQ(london.GetOffsetText(C(kNewYork), january), L"5 hours behind");
    EXPECT_EQ(london.GetOffsetText(C(kKathmandu), january), L"5 hours 45 mins ahead");
    EXPECT_EQ(london.GetOffsetText(C(kCaracas), january), L"4 hours 30 mins behind");
    EXPECT_EQ(C(kCaracas).GetOffsetText(london, january), L"4 hours 30 mins ahead");
    EXPECT_EQ(london.GetOffsetText(C(kAberdeen), january), L"none");
    EXPECT_EQ(london.GetOffsetText(london, january), L"none");
    // Same offsets in summer too; and 24 hours apart reads as "none".
    EXPECT_EQ(london.GetOffsetText(C(kParis), DateTime(2008, 7, 1)), L"1 hour ahead");
    EXPECT_EQ(C(kApia).GetOffsetText(C(kNukualofa), january), L"none");

    // Across the date line, 25 hours apart reads as one hour.
    TimeZoneInfo west, east;
    west.bias = 720;
    east.bias = -780;
    TimeZone westZone(1, west), eastZone(2, east);
    const City a(9001, L"A", L"", L"", Position(0, -179), &westZone, nullptr);
    const City b(9002, L"B", L"", L"", Position(0, 179), &eastZone, nullptr);
    EXPECT_EQ(a.GetOffsetText(b, january), L"1 hour ahead");
    EXPECT_EQ(b.GetOffsetText(a, january), L"1 hour behind");
    // A city without a country still dials without crashing.
    EXPECT_EQ(a.GetDialCode(b), L"  ");
}

TEST_F(Lookup, SunOfACity) {
    City& london = C(kLondon);
    const DateTime day(2008, 6, 20);
    EXPECT_EQ(london.GetSunrise(day).FormatTime(L"HH:mm"), L"04:43");  // summer time
    EXPECT_EQ(london.GetSunset(day).FormatTime(L"HH:mm"), L"21:19");
    EXPECT_EQ(london.GetSolarNoon(day).FormatTime(L"HH:mm"), L"13:01");
    EXPECT_FALSE(IsNight(london, DateTime(2008, 6, 20, 12, 0, 0)));
    EXPECT_TRUE(IsNight(london, DateTime(2008, 6, 20, 23, 0, 0)));
    EXPECT_NEAR(london.GetDistance(C(kParis)), 343, 5);
    EXPECT_EQ(london.GetDistance(london), 0.0);
}

TEST_F(Lookup, CitiesKeepTheClockOfTheirTzDatabaseZone) {
    EXPECT_EQ(C(kLondon).GetIanaZone(), L"Europe/London");
    EXPECT_EQ(C(441).GetIanaZone(), L"Asia/Shanghai");   // Urumqi keeps Beijing time
    EXPECT_EQ(C(141).GetIanaZone(), L"America/Denver");  // Fort Defiance: Navajo Nation summer time
    EXPECT_EQ(FindCitiesInZone(L"Europe/Kyiv"), std::vector<std::int32_t>{201});
    EXPECT_TRUE(FindCitiesInZone(L"Europe/Kiev").empty());
    EXPECT_TRUE(FindCitiesInZone(L"").empty());
    // Phoenix and Tucson keep Arizona's year-round standard time; Fort Defiance does not.
    EXPECT_EQ(FindCitiesInZone(L"America/Phoenix"), (std::vector<std::int32_t>{324, 437}));
}

// Rows added after the first ones, a renamed row and an accented one, as the program reads them.
TEST_F(Lookup, LaterAndRenamedRowsReadBackWhole) {
    struct Row {
        int id;
        const wchar_t* name;
        const wchar_t* country;
        const wchar_t* iana;
        const wchar_t* airport;
        const wchar_t* areaCode;
    };
    const Row rows[] = {
        {579, L"Johannesburg", L"ZA", L"Africa/Johannesburg", L"JNB", L"11"},
        {561, L"Dubai", L"AE", L"Asia/Dubai", L"DXB", L"4"},
        {201, L"Kyiv", L"UA", L"Europe/Kyiv", L"KBP", L"44"},
        {381, L"S\u00E3o Paulo", L"BR", L"America/Sao_Paulo", L"GRU", L"11"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        const City& city = C(r.id);
        EXPECT_EQ(city.GetDisplayName(), r.name);
        ASSERT_NE(city.GetCountry(), nullptr);
        EXPECT_EQ(city.GetCountry()->GetIso2Name(), r.country);
        EXPECT_EQ(city.GetIanaZone(), r.iana);
        EXPECT_EQ(city.GetAirport(), r.airport);
        EXPECT_EQ(city.GetAreaCode(), r.areaCode);
    }
}
