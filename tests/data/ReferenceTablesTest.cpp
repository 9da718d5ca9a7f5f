#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "data/DataTable.h"
#include "data/DataView.h"
#include "data/GazetteerRecords.h"
#include "data/ReferenceTables.h"

using namespace OBData;

namespace {

class ReferenceTables : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadReferenceTables());
        cities = GetCityTable();
        countries = GetCountryTable();
        zones = GetTimeZoneTable();
    }

    DataRow City(std::int32_t id) {
        DataView view(cities, nullptr, nullptr);
        DataRow row;
        EXPECT_TRUE(view.FindInt(L"id", id, row)) << id;
        return row;
    }
    std::wstring Text(const DataRow& row, const wchar_t* column) {
        std::wstring value = L"<missing>";
        row.GetString(column, value);
        return value;
    }
    std::int32_t Int(const DataRow& row, const wchar_t* column) {
        std::int32_t value = -999999;
        row.GetInt(column, value);
        return value;
    }
    double Double(const DataRow& row, const wchar_t* column) {
        double value = NAN;
        row.GetDouble(column, value);
        return value;
    }

    DataTable* cities = nullptr;
    DataTable* countries = nullptr;
    DataTable* zones = nullptr;
};

constexpr std::int32_t Key(std::uint32_t key) { return static_cast<std::int32_t>(key); }

struct CityRow {
    std::int32_t id;
    const wchar_t* name;
    const wchar_t* country;
    std::int32_t zone;
    const wchar_t* areaCode;
    double lat;
    double lon;
    const wchar_t* airport;
};

}  // namespace

TEST_F(ReferenceTables, LoaderBuildsThreeTablesOnceWithTheirStrides) {
    ASSERT_NE(cities, nullptr);
    ASSERT_NE(countries, nullptr);
    ASSERT_NE(zones, nullptr);
    EXPECT_EQ(cities->GetRowCount(), 578);
    EXPECT_EQ(countries->GetRowCount(), 226);
    EXPECT_EQ(zones->GetRowCount(), 90);
    EXPECT_EQ(cities->GetRecordStride(), 48);
    EXPECT_EQ(countries->GetRecordStride(), 36);
    EXPECT_EQ(zones->GetRecordStride(), 68);
    // The tables lie over the static rows; nothing was copied.
    EXPECT_EQ(cities->GetRow(0), &kCityRecords[0]);
    EXPECT_EQ(zones->GetRow(89), &kTimeZoneRecords[89]);
    // Loading again keeps the tables that views may already point at.
    EXPECT_TRUE(LoadReferenceTables());
    EXPECT_EQ(GetCityTable(), cities);
    EXPECT_EQ(GetTimeZoneTable(), zones);
}

TEST_F(ReferenceTables, DeletingEmptiesTheSlotsAndLoadingRebuildsThem) {
    // In a child process, so the tables other tests hold stay alive.
    EXPECT_EXIT(
        {
            DeleteReferenceTables();
            bool ok =
                GetCityTable() == nullptr && GetCountryTable() == nullptr && GetTimeZoneTable() == nullptr;
            DeleteReferenceTables();  // twice is harmless
            ok = ok && LoadReferenceTables() && GetCityTable() != nullptr &&
                 GetCityTable()->GetRowCount() == 578;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ReferenceTables, GivenCityRowsReadBackExactly) {
    const CityRow given[] = {
        {1, L"Aberdeen", L"UK", 85, L"1224", 57.13, -2.07, L"ABZ"},
        {17, L"Amman", L"JO", Key(0x80000042), L"6", 31.95, 35.93, L"AMM"},
        {6, L"Adelaide; SA", L"AU", 250, L"8", -34.93, 138.6, L"ADL"},
        {234, L"London", L"UK", 85, L"207", 51.51, -0.06, L"LHR"},
        {292, L"New York; NY", L"US", 35, L"212", 40.74, -73.99, L"JFK"},
        {414, L"Sydney; NSW", L"AU", 255, L"2", -33.96, 151.12, L"SYD"},
        {198, L"Kathmandu", L"NP", 193, L"1", 27.71, 85.31, L"KTM"},
        {460, L"Windhoek", L"NA", Key(0x80000046), L"61", -22.56, 17.08, L"WDH"},
        {502, L"Kingston", L"NF", 901, L"", -29.03, 167.97, L"NLK"},
        {203, L"Kingston", L"JM", 40, L"876", 17.96, -76.79, L"KIN"},
        {141, L"Fort Defiance; AZ", L"US", 15, L"520", 35.9, -109.16, L""},
    };
    for (const CityRow& g : given) {
        SCOPED_TRACE(g.id);
        const DataRow row = City(g.id);
        EXPECT_EQ(Text(row, L"displayName"), g.name);
        EXPECT_EQ(Text(row, L"country"), g.country);
        EXPECT_EQ(Int(row, L"usesDST"), 1);
        EXPECT_EQ(Int(row, L"timeZone"), g.zone);
        // Empty texts are present columns that read as empty strings.
        EXPECT_EQ(Text(row, L"areaCode"), g.areaCode);
        EXPECT_EQ(Double(row, L"Lat"), g.lat);
        EXPECT_EQ(Double(row, L"Long"), g.lon);
        EXPECT_EQ(Text(row, L"airport"), g.airport);
    }
    // Read through the kinds: the Float column truncates and prints six
    // decimals, a numeric text reads as a number.
    const DataRow adelaide = City(6);
    EXPECT_EQ(Int(adelaide, L"Lat"), -34);
    EXPECT_EQ(Text(adelaide, L"Lat"), L"-34.930000");
    EXPECT_EQ(Int(City(1), L"areaCode"), 1224);
    EXPECT_EQ(Double(City(1), L"areaCode"), 1224.0);
    std::wstring lower;
    EXPECT_FALSE(adelaide.GetString(L"lat", lower));  // names are case-sensitive
}

TEST_F(ReferenceTables, GivenCountryRowsReadBackExactly) {
    struct CountryRow {
        const wchar_t* iso2;
        const wchar_t* iso3;
        const wchar_t* name;
        const wchar_t* people;
        std::int32_t number;
        const wchar_t* dial;
        const wchar_t* access;
        const wchar_t* prefix;
        std::int32_t drive;
    };
    const CountryRow given[] = {
        {L"AU", L"AUS", L"Australia", L"Australian", 36, L"61", L"0011", L"0", 1},
        {L"CA", L"CAN", L"Canada", L"Canadian", 124, L"1", L"011", L"1", 2},
        {L"DE", L"DEU", L"Germany", L"German", 276, L"49", L"00", L"0", 2},
        {L"EH", L"ESH", L"Western Sahara", L"Western Sahara", 732, L"", L"", L"", 2},
        {L"GS", L"SGS", L"South Georgia and the South Sandwich Islands", L"Sth. Georgia and Sandwich", 239,
         L"870", L"", L"", 0},
        {L"JP", L"JPN", L"Japan", L"Japanese", 392, L"81", L"001", L"0", 1},
        {L"RU", L"RUS", L"Russian Federation", L"Russian", 643, L"7", L"8..10", L"8..", 2},
        {L"UK", L"GBR", L"United Kingdom", L"United Kingdom", 826, L"44", L"00", L"0", 1},
        {L"US", L"USA", L"United States", L"United States", 840, L"1", L"011", L"1", 2},
    };
    DataView view(countries, nullptr, nullptr);
    for (const CountryRow& g : given) {
        SCOPED_TRACE(std::wstring(g.iso2).size());
        DataRow row;
        ASSERT_TRUE(view.FindString(L"iso2Name", g.iso2, row));
        EXPECT_EQ(Text(row, L"iso3Name"), g.iso3);
        EXPECT_EQ(Text(row, L"displayName"), g.name);
        EXPECT_EQ(Text(row, L"peopleName"), g.people);
        EXPECT_EQ(Int(row, L"isoNumber"), g.number);
        EXPECT_EQ(Text(row, L"intDialCode"), g.dial);
        EXPECT_EQ(Text(row, L"intAccessCode"), g.access);
        EXPECT_EQ(Text(row, L"areaCodePrefix"), g.prefix);
        EXPECT_EQ(Int(row, L"driveSide"), g.drive);
    }
    DataRow row;
    EXPECT_FALSE(view.FindString(L"iso2Name", L"GB", row));  // the kingdom is "UK"
    EXPECT_FALSE(view.FindString(L"iso2Name", L"uk", row));
}

TEST_F(ReferenceTables, TimeZoneRowsAndTheTopBitKeys) {
    std::unique_ptr<DataView> view(zones->CreateView(nullptr, nullptr));
    // Amman's zone carries a top-bit key and sorts before every ordinary one.
    DataRow amman;
    ASSERT_TRUE(view->FindInt(L"indx", Key(0x80000042), amman));
    EXPECT_EQ(Text(amman, L"displayName"), L"(GMT+02:00) Amman");
    EXPECT_LT(Int(amman, L"indx"), 0);
    EXPECT_EQ(Int(view->GetRow(0), L"indx"), Key(0x80000040));
    EXPECT_EQ(Int(view->GetRow(12), L"indx"), 0);
    EXPECT_EQ(Text(amman, L"indx"), L"-2147483582");

    // Every field of one full row, and the one zone with a positive daylight bias.
    DataRow gmt;
    ASSERT_TRUE(view->FindInt(L"indx", 85, gmt));
    EXPECT_EQ(Text(gmt, L"displayName"), L"(GMT) Greenwich Mean Time : Dublin; Edinburgh; Lisbon; London");
    EXPECT_EQ(Int(gmt, L"bias"), 0);
    EXPECT_EQ(Text(gmt, L"standardName"), L"GMT Standard Time");
    EXPECT_EQ(Int(gmt, L"standardBias"), 0);
    EXPECT_EQ(Text(gmt, L"daylightName"), L"GMT Daylight Time");
    EXPECT_EQ(Int(gmt, L"daylightBias"), -60);
    const wchar_t* fields[] = {L"standardDateMonth", L"standardDateDOW",      L"standardDateDayIndex",
                               L"standardDateHour",  L"standardDateMin",      L"daylightDateMonth",
                               L"daylightDateDOW",   L"daylightDateDayIndex", L"daylightDateHour",
                               L"daylightDateMin"};
    const std::int32_t expected[] = {10, 0, 5, 2, 0, 3, 0, 5, 1, 0};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Int(gmt, fields[i]), expected[i]) << i;

    DataRow windhoek;
    ASSERT_TRUE(view->FindInt(L"indx", Key(0x80000046), windhoek));
    EXPECT_EQ(Int(windhoek, L"daylightBias"), 60);
    EXPECT_EQ(Int(windhoek, L"bias"), -120);
    DataRow caracas;
    ASSERT_TRUE(view->FindInt(L"indx", Key(0x8000004B), caracas));
    EXPECT_EQ(Int(caracas, L"bias"), 270);
    EXPECT_EQ(Int(caracas, L"daylightDateMonth"), 0);
    DataRow nepal;
    ASSERT_TRUE(view->FindInt(L"indx", 193, nepal));
    EXPECT_EQ(Int(nepal, L"bias"), -345);
}

TEST_F(ReferenceTables, ViewsOverTheCityTable) {
    auto ids = [this](const wchar_t* sort, const wchar_t* filter) {
        std::unique_ptr<DataView> view(cities->CreateView(sort, filter));
        std::vector<std::int32_t> out;
        for (std::int32_t i = 0; i < view->GetCount(); ++i)
            out.push_back(Int(view->GetRow(i), L"id"));
        return out;
    };
    using V = std::vector<std::int32_t>;
    // Australia's cities in table (alphabetical) order.
    EXPECT_EQ(ids(nullptr, L"country = 'AU'"), (V{6, 79, 92, 119, 177, 261, 320, 414}));
    EXPECT_EQ(ids(nullptr, L"country='AU'"), V{});
    EXPECT_EQ(ids(nullptr, L"id = 17"), V{17});
    EXPECT_EQ(ids(nullptr, L"id = 17.0"), V{17});
    EXPECT_EQ(ids(nullptr, L"id = 84"), V{});
    EXPECT_EQ(ids(nullptr, L"displayName = 'Kingston'"), (V{502, 203}));
    EXPECT_EQ(ids(L"displayName DESC", nullptr).front(), 473);  // Zürich, not Ürümqi
    EXPECT_EQ(ids(L"displayName", nullptr).front(), 214);       // A Coruña

    // The integer pattern on latitudes takes every city whose latitude
    // truncates to the number.
    for (const auto& [filter, whole] : {std::pair{L"Lat = 51", 51}, std::pair{L"Lat = -33", -33}}) {
        const V matched = ids(nullptr, filter);
        V expected;
        for (const CityRecord& c : kCityRecords)
            if (static_cast<int>(std::trunc(c.lat)) == whole)
                expected.push_back(c.id);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(matched, expected);
    }
}
