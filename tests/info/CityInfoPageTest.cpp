#include "info/CityInfoPage.h"

#include <gtest/gtest.h>

#include <vector>

#include "data/City.h"
#include "data/Country.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "geo/NearestCities.h"
#include "time/DisplayFormats.h"
#include "time/TimeZone.h"

using OBData::BuildCityInfoPage;
using OBData::CityInfoPageOptions;
using OBData::GetCity;
using ZEP_Utility::DateTime;

namespace {

constexpr int kLondon = 234, kNewYork = 292, kKathmandu = 198;
const DateTime kJanuary(2008, 1, 15, 12, 0, 0);

std::size_t Count(const std::wstring& text, const std::wstring& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// The lines after the "Nearby Cities" heading.
std::size_t NearbyLines(const std::wstring& page) {
    const auto heading = page.find(L"<B>Nearby Cities</B>");
    return heading == std::wstring::npos ? 0 : Count(page.substr(heading), L"<BR>") - 1;
}

CityInfoPageOptions Options(bool byDistance, int count, double radius) {
    CityInfoPageOptions options;
    options.timeFormat = 1;
    options.nearby.byDistance = byDistance;
    options.nearby.cityCount = count;
    options.nearby.distanceKm = radius;
    return options;
}

class CityInfoPageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(OBData::LoadReferenceTables()); }
};

}  // namespace

TEST_F(CityInfoPageTest, PageForACityAwayFromHome) {
    const OBData::City& newYork = *GetCity(kNewYork);
    const OBData::City& london = *GetCity(kLondon);
    const std::wstring page = BuildCityInfoPage(newYork, &london, kJanuary, Options(false, 3, 0));
    const ZEP_Utility::DateTime local = newYork.GetTimeZone()->ToLocalTime(kJanuary);
    const std::wstring expectedStart =
        L"<HTML><TITLE>City Info</TITLE><BODY>"
        L"<B>New York; NY, United States</B><BR>"
        L"<SMALL>Local time: " +
        OBData::FormatClockTime(1, local) + L", " + local.FormatDate(L"ddd") + L" " + local.GetShortDate() +
        L" (5 hours behind London)</SMALL><BR>"
        L"<SMALL>Latitude/Longitude: " +
        newYork.GetPosition().ToString() +
        L"</SMALL><BR>"
        L"<SMALL>Airport: JFK</SMALL><BR>"
        L"<SMALL>TimeZone: (GMT-05:00) New York</SMALL><BR>"
        L"<SMALL>DST: " +
        newYork.GetTimeZone()->GetDaylightSummary(kJanuary) + L"</SMALL><BR>";
    EXPECT_EQ(page.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(page.find(L"<SMALL>Cars drive on: Right</SMALL><BR><BR>"), std::wstring::npos);
    const std::wstring relation =
        L"<SMALL><B>Distance from London:</B> " +
        OBData::Distance(newYork.GetDistance(london), OBData::kKilometres).Format(0, true) +
        L"</SMALL><BR>"
        L"<SMALL><B>Offset from London:</B> 5 hours behind</SMALL><BR>"
        L"<SMALL><B>To call from London:</B> 00 1 212</SMALL><BR>"
        L"<SMALL><B>To call London:</B> 011 44 207</SMALL><BR><BR>"
        L"<SMALL><B>Nearby Cities</B></SMALL><BR>";
    EXPECT_NE(page.find(relation), std::wstring::npos) << page;
    EXPECT_EQ(NearbyLines(page), 3u);
    EXPECT_EQ(page.find(L"New York; NY: "), std::wstring::npos);  // itself is skipped
    EXPECT_EQ(page.substr(page.size() - 14), L"</BODY></HTML>");

    // Clock times follow the time format: 24-hour here, 12-hour by default.
    const auto sunrise = page.find(L"Sunrise: ");
    ASSERT_NE(sunrise, std::wstring::npos);
    EXPECT_EQ(page[sunrise + 9 + 2], L':');
    CityInfoPageOptions twelve = Options(false, 3, 0);
    twelve.timeFormat = 0;
    EXPECT_NE(BuildCityInfoPage(newYork, &london, kJanuary, twelve).find(L" AM</SMALL>"), std::wstring::npos);
}

TEST_F(CityInfoPageTest, HomeOrNoOtherCityLeavesOutTheRelation) {
    const OBData::City& london = *GetCity(kLondon);
    CityInfoPageOptions options = Options(false, 20, 0);
    options.smallText = false;
    const std::wstring page = BuildCityInfoPage(london, nullptr, kJanuary, options);
    EXPECT_EQ(page.find(L"Distance from"), std::wstring::npos);
    EXPECT_EQ(page.find(L"<SMALL>"), std::wstring::npos);
    EXPECT_NE(page.find(L"Cars drive on: Left<BR><BR><B>Nearby Cities</B><BR>"), std::wstring::npos) << page;
    EXPECT_EQ(NearbyLines(page), 20u);

    const std::wstring kathmandu = BuildCityInfoPage(*GetCity(kKathmandu), &london, kJanuary, options);
    EXPECT_NE(kathmandu.find(L"DST: no daylight savings time<BR>"), std::wstring::npos);
    EXPECT_NE(kathmandu.find(L"Offset from London:</B> 5 hours 45 mins ahead<BR>"), std::wstring::npos);
}

TEST_F(CityInfoPageTest, NearbyCitiesByRadiusKeepTheCityAtTheEdge) {
    const OBData::City& london = *GetCity(kLondon);
    std::vector<OBData::NearestCity> nearest;
    OBData::FindNearestCities(london.GetPosition(), nearest);
    ASSERT_GT(nearest.size(), 6u);
    // The sixth entry (London itself is the first) sits exactly on the edge.
    const double edge = nearest[5].distance.InUnits(OBData::kKilometres);
    ASSERT_LT(nearest[4].distance.InUnits(OBData::kKilometres), edge);
    ASSERT_GT(nearest[6].distance.InUnits(OBData::kKilometres), edge);
    EXPECT_EQ(NearbyLines(BuildCityInfoPage(london, nullptr, kJanuary, Options(true, 0, edge))), 5u);
    EXPECT_EQ(NearbyLines(BuildCityInfoPage(london, nullptr, kJanuary, Options(true, 0, edge - 0.01))), 4u);

    const OBData::City* fifth = GetCity(nearest[5].cityId);
    const std::wstring line = L"<SMALL>" + fifth->GetDisplayName() + L": " +
                              fifth->GetCountry()->GetDisplayName() + L" (" +
                              nearest[5].distance.Format(1, true) + L")</SMALL><BR>";
    CityInfoPageOptions miles = Options(true, 0, edge);
    miles.units = 1;
    EXPECT_NE(BuildCityInfoPage(london, nullptr, kJanuary, miles).find(line), std::wstring::npos);

    // Nonsense counts and radii give an empty list, not a crash.
    EXPECT_EQ(NearbyLines(BuildCityInfoPage(london, nullptr, kJanuary, Options(false, -5, 0))), 0u);
    EXPECT_EQ(NearbyLines(BuildCityInfoPage(london, nullptr, kJanuary, Options(false, 2147483647, 0))),
              nearest.size() - 1);
    EXPECT_EQ(NearbyLines(BuildCityInfoPage(london, nullptr, kJanuary, Options(true, 0, -1))), 0u);
}
