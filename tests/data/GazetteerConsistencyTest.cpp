// Checks over the whole built-in gazetteer, straight on the record arrays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "data/GazetteerRecords.h"
#include "data/ReferenceTables.h"
#include "platform/kernel/WideText.h"

using namespace OBData;

namespace {

std::wstring Text(TextRef ref) {
    // The pool is published by the loader.
    LoadReferenceTables();
    return ResolveText(ref);
}

// Case and accents ignored, hyphens and apostrophes ignored.
std::wstring NameKey(const std::wstring& name) {
    std::wstring key;
    for (wchar_t ch : name)
        if (ch != L'-' && ch != L'\'')
            key.push_back(ob::kernel::FoldLetter(ch));
    return key;
}

bool Matches(const std::wstring& text, const wchar_t* pattern) {
    return std::regex_match(text, std::wregex(pattern));
}

bool TwoDecimals(double x) { return std::fabs(x * 100 - std::round(x * 100)) < 1e-6; }

}  // namespace

// Ids are stored in settings and forecast files: 1 to 521 (without 84) are
// the first rows and keep their meaning; rows added later go on from 522.
TEST(Gazetteer, CityIdsRunFrom1To579Without84) {
    std::set<std::int32_t> ids;
    for (const CityRecord& c : kCityRecords)
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
    EXPECT_EQ(ids.size(), 578u);
    EXPECT_EQ(*ids.begin(), 1);
    EXPECT_EQ(*ids.rbegin(), 579);
    EXPECT_EQ(ids.count(84), 0u);
}

TEST(Gazetteer, CitiesLinkToExistingCountriesAndZonesAndEveryCountryHasACity) {
    std::set<std::wstring> countries;
    for (const CountryRecord& c : kCountryRecords)
        countries.insert(Text(c.iso2Name));
    std::set<std::int32_t> zones;
    for (const TimeZoneRecord& z : kTimeZoneRecords)
        zones.insert(z.indx);
    EXPECT_EQ(countries.size(), 226u);
    EXPECT_EQ(zones.size(), 90u);
    std::set<std::wstring> used;
    for (const CityRecord& c : kCityRecords) {
        EXPECT_EQ(countries.count(Text(c.country)), 1u) << c.id;
        EXPECT_EQ(zones.count(c.timeZone), 1u) << c.id;
        used.insert(Text(c.country));
    }
    EXPECT_EQ(used, countries);
}

TEST(Gazetteer, RowsStandInTheirStatedOrder) {
    for (std::int32_t i = 1; i < kCityCount; ++i) {
        const std::wstring a = Text(kCityRecords[i - 1].displayName);
        const std::wstring b = Text(kCityRecords[i].displayName);
        EXPECT_LE(NameKey(a), NameKey(b)) << i;
    }
    // The awkward places: hyphens and apostrophes do not count.
    auto position = [](std::int32_t id) {
        return std::find_if(std::begin(kCityRecords), std::end(kCityRecords),
                            [id](const CityRecord& c) { return c.id == id; }) -
               std::begin(kCityRecords);
    };
    EXPECT_LT(position(506), position(493));  // Basseterre, Basse-Terre
    EXPECT_LT(position(289), position(290));  // Nassau, N'Djamena
    EXPECT_LT(position(462), position(463));  // Wuhan, Xi'an
    EXPECT_LT(position(502), position(203));  // Kingston NF, Kingston JM
    EXPECT_LT(position(380), position(381));  // Santo Domingo, São Paulo
    EXPECT_LT(position(381), position(509));  // São Paulo, São Tomé
    EXPECT_LT(position(440), position(441));  // Ulaanbaatar, Ürümqi
    EXPECT_LT(position(441), position(442));  // Ürümqi, Vaduz

    for (std::int32_t i = 1; i < kCountryCount; ++i)
        EXPECT_LT(Text(kCountryRecords[i - 1].iso2Name), Text(kCountryRecords[i].iso2Name));
    for (std::int32_t i = 1; i < kTimeZoneCount; ++i)
        EXPECT_LT(kTimeZoneRecords[i - 1].indx, kTimeZoneRecords[i].indx) << i;
    EXPECT_EQ(static_cast<std::uint32_t>(kTimeZoneRecords[0].indx), 0x80000040u);
    EXPECT_EQ(static_cast<std::uint32_t>(kTimeZoneRecords[11].indx), 0x8000004Bu);
}

TEST(Gazetteer, CityValuesAreWellFormed) {
    int noAirport = 0;
    for (const CityRecord& c : kCityRecords) {
        SCOPED_TRACE(c.id);
        EXPECT_FALSE(Text(c.displayName).empty());
        EXPECT_EQ(c.usesDST, 1);
        EXPECT_TRUE(Matches(Text(c.ianaZone), L"[A-Z][A-Za-z_]+(/[A-Za-z_+-]+)+"));
        EXPECT_TRUE(c.lat >= -90 && c.lat <= 90 && TwoDecimals(c.lat));
        EXPECT_TRUE(c.lon >= -180 && c.lon <= 180 && TwoDecimals(c.lon));
        EXPECT_FALSE(c.lat == 0 && c.lon == 0);
        EXPECT_TRUE(Matches(Text(c.areaCode), L"[0-9]*"));
        const std::wstring airport = Text(c.airport);
        EXPECT_TRUE(Matches(airport, L"([A-Z]{3})?"));
        noAirport += airport.empty();
        // US, Canadian and Australian cities carry their state after "; ".
        const std::wstring country = Text(c.country);
        const bool hasState = Matches(Text(c.displayName), L"[^;]+; [A-Z]{2,3}");
        if (country == L"US" || country == L"CA" || country == L"AU") {
            EXPECT_TRUE(hasState || c.id == 92);  // Canberra stands alone
        } else if (country != L"GU") {
            EXPECT_FALSE(hasState);
        }
    }
    EXPECT_EQ(noAirport, 1);
}

TEST(Gazetteer, CountryAndZoneValuesAreWellFormed) {
    for (const CountryRecord& c : kCountryRecords) {
        SCOPED_TRACE(Text(c.iso2Name).size());
        EXPECT_TRUE(Matches(Text(c.iso2Name), L"[A-Z]{2}"));
        EXPECT_TRUE(Matches(Text(c.iso3Name), L"[A-Z]{3}"));
        EXPECT_FALSE(Text(c.displayName).empty());
        EXPECT_FALSE(Text(c.peopleName).empty());
        EXPECT_TRUE(c.isoNumber > 0 && c.isoNumber < 1000);
        EXPECT_TRUE(Matches(Text(c.intDialCode), L"[0-9]{0,3}"));
        // Digits, or a wait for a second dial tone written as "..".
        EXPECT_TRUE(Matches(Text(c.intAccessCode), L"([0-9]+(\\.\\.[0-9]*)?)?"));
        EXPECT_TRUE(Matches(Text(c.areaCodePrefix), L"([0-9]+(\\.\\.)?)?"));
        EXPECT_TRUE(c.driveSide >= 0 && c.driveSide <= 2);
    }
    for (const TimeZoneRecord& z : kTimeZoneRecords) {
        SCOPED_TRACE(z.indx);
        EXPECT_TRUE(Matches(Text(z.displayName), L"\\(GMT([+-][0-9]{2}:[0-9]{2})?\\) .+"));
        EXPECT_EQ(z.standardBias, 0);
        EXPECT_EQ(z.daylightBias, z.indx == static_cast<std::int32_t>(0x80000046u) ? 60 : -60);
        // Either both changes are set or neither is.
        EXPECT_EQ(z.standardDateMonth == 0, z.daylightDateMonth == 0);
        auto wellFormed = [](std::int32_t month, std::int32_t dow, std::int32_t index, std::int32_t hour,
                             std::int32_t minute) {
            if (month == 0)
                return dow == 0 && index == 0 && hour == 0 && minute == 0;
            return month <= 12 && dow >= 0 && dow <= 6 && index >= 1 && index <= 5 && hour >= 0 &&
                   hour <= 23 && minute >= 0 && minute <= 59;
        };
        EXPECT_TRUE(wellFormed(z.standardDateMonth, z.standardDateDOW, z.standardDateDayIndex,
                               z.standardDateHour, z.standardDateMin));
        EXPECT_TRUE(wellFormed(z.daylightDateMonth, z.daylightDateDOW, z.daylightDateDayIndex,
                               z.daylightDateHour, z.daylightDateMin));
    }
}

namespace {

std::vector<std::vector<std::wstring>> ReadList(const char* name) {
    std::ifstream in(std::string(ORBELLINE_SOURCE_DIR) + "/tools/gazetteer/" + name);
    std::vector<std::vector<std::wstring>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::wstring> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(ob::kernel::FromUtf8(line.substr(start, tab - start)));
        fields.push_back(ob::kernel::FromUtf8(line.substr(start)));
        rows.push_back(fields);
    }
    return rows;
}

std::int32_t ZoneKeyOf(const std::wstring& text) {
    return static_cast<std::int32_t>(std::stoul(text, nullptr, 0));
}

}  // namespace

// The generated rows must agree with the hand-kept lists they were made from;
// a list edited without running the generator fails here.
TEST(Gazetteer, RowsAgreeWithTheHandKeptLists) {
    const auto cities = ReadList("cities.tsv");
    ASSERT_EQ(cities.size(), static_cast<std::size_t>(kCityCount));
    for (std::size_t i = 0; i < cities.size(); ++i) {
        const CityRecord& c = kCityRecords[i];
        ASSERT_GE(cities[i].size(), 4u);
        EXPECT_EQ(std::stoi(cities[i][0]), c.id) << i;
        EXPECT_EQ(cities[i][1], Text(c.displayName)) << i;
        EXPECT_EQ(cities[i][2], Text(c.country)) << i;
        EXPECT_EQ(ZoneKeyOf(cities[i][3]), c.timeZone) << i;
    }
    const auto countries = ReadList("countries.tsv");
    ASSERT_EQ(countries.size(), static_cast<std::size_t>(kCountryCount));
    for (std::size_t i = 0; i < countries.size(); ++i) {
        EXPECT_EQ(countries[i][0], Text(kCountryRecords[i].iso2Name)) << i;
        EXPECT_EQ(countries[i][1], Text(kCountryRecords[i].displayName)) << i;
    }
    const auto zones = ReadList("timezones.tsv");
    ASSERT_EQ(zones.size(), static_cast<std::size_t>(kTimeZoneCount));
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const TimeZoneRecord& z = kTimeZoneRecords[i];
        ASSERT_EQ(zones[i].size(), 8u);
        EXPECT_EQ(ZoneKeyOf(zones[i][0]), z.indx) << i;
        EXPECT_EQ(zones[i][1], Text(z.displayName)) << i;
        EXPECT_EQ(std::stoi(zones[i][2]), z.bias) << i;
        EXPECT_EQ(zones[i][3], Text(z.standardName)) << i;
        EXPECT_EQ(zones[i][4], Text(z.daylightName)) << i;
        EXPECT_EQ(std::stoi(zones[i][5]), z.daylightBias) << i;
        auto change = [](std::int32_t month, std::int32_t dow, std::int32_t index, std::int32_t hour,
                         std::int32_t minute) {
            if (month == 0)
                return std::wstring(L"none");
            wchar_t text[32];
            std::swprintf(text, 32, L"%d/%d/%d %02d:%02d", month, dow, index, hour, minute);
            return std::wstring(text);
        };
        EXPECT_EQ(zones[i][6], change(z.standardDateMonth, z.standardDateDOW, z.standardDateDayIndex,
                                      z.standardDateHour, z.standardDateMin))
            << i;
        EXPECT_EQ(zones[i][7], change(z.daylightDateMonth, z.daylightDateDOW, z.daylightDateDayIndex,
                                      z.daylightDateHour, z.daylightDateMin))
            << i;
    }
}

// The committed report: every city lies near its source place and its airport,
// and a city named as a capital stands at it, or the row says why not.
// Panama City once matched a hamlet of that name by Colon, 55 km from the capital.
TEST(Gazetteer, ReportedOutliersAllCarryAReason) {
    const auto report = ReadList("report.tsv");
    ASSERT_EQ(report.size(), static_cast<std::size_t>(kCityCount) + 1);
    ASSERT_EQ(report[0].size(), 12u);
    EXPECT_EQ(report[0][8], L"airport km");
    EXPECT_EQ(report[0][11], L"zone");
    int explained = 0;
    for (std::size_t i = 1; i < report.size(); ++i) {
        const auto& row = report[i];
        ASSERT_EQ(row.size(), 12u) << i;
        // The zone the report shows is the zone the row carries.
        EXPECT_EQ(row[11].substr(0, row[11].find(L' ')), Text(kCityRecords[i - 1].ianaZone)) << row[1];
        const double km = row[5] == L"-" ? 0 : std::stod(row[5]);
        const auto space = row[8].find(L' ');
        const double airportKm =
            space == std::wstring::npos || row[8].back() == L'?' ? 0 : std::stod(row[8].substr(space + 1));
        const bool outlier = km > 25 || airportKm > 60 || row[9].starts_with(L"not the capital");
        if (!outlier)
            continue;
        EXPECT_TRUE(!row[10].empty() || row[9].starts_with(L"not the capital: ")) << row[1];
        ++explained;
    }
    EXPECT_GE(explained, 1);
    for (const CityRecord& c : kCityRecords) {
        if (c.id != 314)
            continue;
        EXPECT_NEAR(c.lat, 8.98, 0.05);
        EXPECT_NEAR(c.lon, -79.52, 0.05);
    }
}
