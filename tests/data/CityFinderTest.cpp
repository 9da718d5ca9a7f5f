// Finding cities by what the user types: the folding and the order.
#include <gtest/gtest.h>

#include "data/City.h"
#include "data/CityFinder.h"
#include "data/ReferenceTables.h"

using namespace OBData;

namespace {

TEST(CityFinder, FoldsCaseAccentsHyphensApostrophesAndBlanks) {
    EXPECT_EQ(FoldForFind(L"S\u00e3o Paulo"), L"sao paulo");
    EXPECT_EQ(FoldForFind(L"SAO PAULO"), L"sao paulo");
    EXPECT_EQ(FoldForFind(L"  Port-au-Prince"), L"port au prince");
    EXPECT_EQ(FoldForFind(L"N'Djamena"), L"ndjamena");
    EXPECT_EQ(FoldForFind(L"Nuku\u2019alofa"), L"nukualofa");
    EXPECT_EQ(FoldForFind(L"St. John's"), L"st johns");
    EXPECT_EQ(FoldForFind(L"Z\u00fcrich \u00c7ay \u0141\u00f3d\u017a Stra\u00dfe"),
              L"zurich cay lodz strasse");
    EXPECT_EQ(FoldForFind(L"H\u00e0 N\u1ed9i"), L"ha noi");
    EXPECT_EQ(FoldForFind(L"Sa\u0303o"), L"sao");  // a combining tilde
    // One trailing blank stays: "new " is the start of a word.
    EXPECT_EQ(FoldForFind(L"new  "), L"new ");
}

TEST(CityFinder, RanksNameStartThenWordStartThenInside) {
    EXPECT_EQ(RankName(L"new york ny", L"new y"), FindRank::NameStart);
    EXPECT_EQ(RankName(L"new york ny", L"york"), FindRank::WordStart);
    EXPECT_EQ(RankName(L"new york ny", L"ork"), FindRank::Inside);
    EXPECT_EQ(RankName(L"tokyo", L"tokyo "), FindRank::NameStart);
    EXPECT_EQ(RankName(L"tokyo", L"kyoto"), FindRank::None);
    EXPECT_EQ(RankName(L"tokyo", L""), FindRank::None);
}

class CityFinderData : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadReferenceTables()); }
};

TEST_F(CityFinderData, FindsAcrossCountriesBestFirst) {
    const auto names = [](std::wstring_view text) {
        std::vector<std::wstring> out;
        for (const City* city : FindCities(text))
            out.push_back(city->GetDisplayName());
        return out;
    };
    EXPECT_EQ(names(L"london"), (std::vector<std::wstring>{L"London", L"Londonderry", L"Outer London"}));
    EXPECT_EQ(names(L"sao").front(), L"S\u00e3o Paulo");
    EXPECT_EQ(names(L"S\u00c3O p"), names(L"sao p"));
    EXPECT_EQ(names(L"kyoto"), (std::vector<std::wstring>{L"Kyoto"}));
    EXPECT_TRUE(names(L" ").empty());
    const auto york = FindCities(L"new y");
    ASSERT_FALSE(york.empty());
    EXPECT_EQ(york.front()->GetId(), 292);
    EXPECT_EQ(CityWithCountry(*FindCities(L"tokyo").front()), L"Tokyo, Japan");
}

TEST_F(CityFinderData, NamesResolveToOneCityOrToTheirCandidates) {
    EXPECT_EQ(LookUpCityName(L"sao paulo").city->GetId(), 381);
    EXPECT_EQ(LookUpCityName(L"Kingston, JM").city->GetId(), 203);
    EXPECT_EQ(LookUpCityName(L"kingston, norfolk island").city->GetId(), 502);
    // A whole name wins over names that hold it: London, not Londonderry.
    EXPECT_EQ(LookUpCityName(L"London").city->GetId(), 234);
    EXPECT_EQ(LookUpCityName(L"Kingston").candidates.size(), 2u);
    EXPECT_GE(LookUpCityName(L"Birmingham").candidates.size(), 2u);
    const CityNameLookup none = LookUpCityName(L"Narnia");
    EXPECT_EQ(none.city, nullptr);
    EXPECT_TRUE(none.candidates.empty());
}

TEST_F(CityFinderData, TheMachineGivesItsZonesOwnCityThenTheLocaleCountrysFirstCity) {
    const auto name = [](const std::string& zone) {
        const City* city = CityForMachine(zone, "");
        return city ? FoldForFind(city->GetDisplayName()) : std::wstring();
    };
    EXPECT_EQ(name("Asia/Tokyo"), L"tokyo");
    EXPECT_EQ(name("America/Sao_Paulo"), L"sao paulo");
    EXPECT_EQ(name("Europe/Berlin"), L"berlin");
    EXPECT_EQ(name("Asia/Kolkata"), L"kolkata");

    EXPECT_EQ(CityForMachine("Nowhere/Atlantis", "JP"), FindCities(L"akita").front());
    EXPECT_EQ(CityForMachine("", "GB"), FindCities(L"aberdeen").front());
    EXPECT_EQ(CityForMachine("", ""), nullptr);
}

}  // namespace
