// The information fields of the info list: their stored form, stepping and
// texts. No windows needed.
#include <gtest/gtest.h>

#include "app/CityGroupInfoListFields.h"
#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/ui/testing/UiDriver.h"
#include "resources/Resources.h"

using OBControls::CityInfoFieldSet;

namespace {

std::vector<int> All() { return {0, 1, 2, 3, 4, 5, 6, 7}; }

CityInfoFieldSet Loaded(const wchar_t* text) {
    CityInfoFieldSet set;
    set.LoadFromText(text);
    return set;
}

}  // namespace

TEST(ListFields, StoredFormReadsBackAndBadValuesFallBack) {
    CityInfoFieldSet fresh;
    EXPECT_EQ(fresh.ToText(), L"0;0;1;2;3;4;5;6;7;");
    EXPECT_EQ(fresh.GetDefinitions().size(), 8u);
    // A choice stored before Offset existed keeps its seven fields.
    EXPECT_EQ(Loaded(L"0;0;1;2;3;4;5;6;").ToText(), L"0;0;1;2;3;4;5;6;");

    // A current field beyond the selection becomes the first selected.
    CityInfoFieldSet set = Loaded(L"9;1;2;");
    EXPECT_EQ(set.GetSelectedFields(), (std::vector<int>{1, 2}));
    EXPECT_EQ(set.GetCurrentField(), 0);
    EXPECT_EQ(set.GetCurrentDefinition(), 1);

    // One bad index and everything is selected again.
    set = Loaded(L"0;3;12;");
    EXPECT_EQ(set.GetSelectedFields(), All());
    EXPECT_EQ(set.GetCurrentField(), 0);
    EXPECT_EQ(Loaded(L"2;3;-1;4;").GetSelectedFields(), All());

    // Not a number at the start: nothing changes.
    set = Loaded(L"1;6;5;");
    set.LoadFromText(L"abc;1;2;");
    EXPECT_EQ(set.ToText(), L"1;6;5;");

    // Reading stops where no number follows a semicolon; a missing last
    // semicolon still ends the last number.
    EXPECT_EQ(Loaded(L"1;4;5;x;6;").ToText(), L"1;4;5;");
    EXPECT_EQ(Loaded(L"1;4;5").ToText(), L"1;4;5;");
    EXPECT_EQ(Loaded(L"3;").ToText(), L"0;0;1;2;3;4;5;6;7;");
    EXPECT_EQ(Loaded(L"-1;2;3;").GetCurrentField(), 0);

    // What is written is what is read.
    set = Loaded(L"2;6;0;3;");
    EXPECT_EQ(Loaded(set.ToText().c_str()).ToText(), L"2;6;0;3;");
}

TEST(ListFields, SteppingWrapsAndPassesOverHomeLessFieldsWithOneCity) {
    CityInfoFieldSet set;
    set.Step(-1, false);
    EXPECT_EQ(set.GetCurrentDefinition(), OBControls::kFieldOffset);
    set.Step(+1, false);
    EXPECT_EQ(set.GetCurrentDefinition(), 0);
    set.Step(+1, false);
    EXPECT_EQ(set.GetCurrentDefinition(), 1);  // Dial, with other cities about

    // Only the home city: Dial and Distance are never current.
    set = CityInfoFieldSet();
    for (int i = 0; i < 20; ++i) {
        set.Step(+1, true);
        EXPECT_NE(set.GetCurrentDefinition(), 1);
        EXPECT_NE(set.GetCurrentDefinition(), 2);
    }
    set.SetSelectedFields({0});
    set.Step(-1, true);
    EXPECT_EQ(set.GetCurrentDefinition(), 0);
    set.SetSelectedFields({3, 1, 2});
    set.Step(-1, true);  // from Sunrise backwards past Distance and Dial to Sunrise again
    EXPECT_EQ(set.GetCurrentDefinition(), 3);
    set.SetSelectedFields({1, 2});
    set.Step(+1, true);  // nothing has a home text: back at the start
    EXPECT_EQ(set.GetCurrentDefinition(), 1);

    // Invalid indexes are dropped from a new selection; none left means all.
    set.SetSelectedFields({5, 9, -2, 4});
    EXPECT_EQ(set.GetSelectedFields(), (std::vector<int>{5, 4}));
    set.SetSelectedFields({});
    EXPECT_EQ(set.GetSelectedFields(), All());
}

class ListFieldTexts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OBData::LoadReferenceTables());
        OBResources::RegisterResources();
        GetSettingsStore().Clear();
        group.AddCity(234);  // London
        group.AddCity(414);  // Sydney
        london = OBData::GetCity(234);
        sydney = OBData::GetCity(414);
        ASSERT_TRUE(london && sydney);
    }
    std::wstring Text(int field, const OBData::City& city, const ZEP_Utility::DateTime& utc) {
        CityInfoFieldSet set;
        set.SetSelectedFields({field});
        return set.GetText(group, city, utc);
    }
    ob::ui::testing::UiDriver driver;  // the string table lives in the window system
    OBData::CityGroup group;
    OBData::City* london = nullptr;
    OBData::City* sydney = nullptr;
};

TEST_F(ListFieldTexts, EachFieldNamesItsValueAndTheHomeCityLeavesDialAndDistanceEmpty) {
    const ZEP_Utility::DateTime january(2026, 1, 15, 12, 0, 0);
    const ZEP_Utility::DateTime july(2026, 7, 15, 12, 0, 0);

    EXPECT_EQ(Text(OBControls::kFieldDial, *sydney, january), L"Dial: " + london->GetDialCode(*sydney));
    EXPECT_EQ(Text(OBControls::kFieldDial, *london, january), L"");
    EXPECT_EQ(Text(OBControls::kFieldDistance, *london, january), L"");
    const std::wstring distance = Text(OBControls::kFieldDistance, *sydney, january);
    EXPECT_EQ(distance.rfind(L"Distance: ", 0), 0u) << distance;
    EXPECT_NE(distance.find_first_of(L"0123456789"), std::wstring::npos) << distance;

    // Summer time in the southern summer, not in London's winter.
    EXPECT_EQ(Text(OBControls::kFieldSummerTime, *sydney, january), L"Summer: Yes");
    EXPECT_EQ(Text(OBControls::kFieldSummerTime, *london, january), L"Summer: No");
    EXPECT_EQ(Text(OBControls::kFieldSummerTime, *london, july), L"Summer: Yes");
    EXPECT_EQ(Text(OBControls::kFieldSummerTime, *sydney, july), L"Summer: No");

    EXPECT_EQ(Text(OBControls::kFieldAirport, *london, january), L"Airport: " + london->GetAirport());
    EXPECT_EQ(Text(OBControls::kFieldOffset, *london, january), L"Offset: none");
    EXPECT_EQ(Text(OBControls::kFieldOffset, *sydney, january), L"Offset: 11 hours ahead");
    EXPECT_EQ(Text(OBControls::kFieldOffset, *sydney, july), L"Offset: 9 hours ahead");
    const std::wstring sunrise = Text(OBControls::kFieldSunrise, *london, january);
    EXPECT_EQ(sunrise.rfind(L"Sunrise: ", 0), 0u);
    EXPECT_GT(sunrise.size(), std::wstring(L"Sunrise: ").size());
    EXPECT_EQ(Text(OBControls::kFieldSunset, *sydney, january).rfind(L"Sunset: ", 0), 0u);

    // The date is the city's own: at 23:00 UTC Sydney is already on the next day.
    const ZEP_Utility::DateTime lateUtc(2026, 1, 15, 23, 0, 0);
    const ZEP_Utility::DateTime sydneyLocal = sydney->GetLocalTime(lateUtc);
    EXPECT_EQ(sydneyLocal.GetDay(), 16);
    EXPECT_EQ(Text(OBControls::kFieldDate, *sydney, lateUtc),
              sydneyLocal.FormatDate(L"ddd") + L" " + sydneyLocal.GetShortDate());
}

TEST_F(ListFieldTexts, PolarNightLeavesTheSunTimesEmpty) {
    // The northernmost city of the gazetteer in the polar night has no sunrise.
    OBData::City* north = nullptr;
    for (int id = 1; id < 2000; ++id)
        if (OBData::City* c = OBData::GetCity(id);
            c && (!north || c->GetPosition().GetLatitude() > north->GetPosition().GetLatitude()))
            north = c;
    ASSERT_TRUE(north);
    if (north->GetPosition().GetLatitude() < 67.0)
        GTEST_SKIP() << "no city beyond the polar circle";
    const ZEP_Utility::DateTime midwinter(2026, 12, 21, 12, 0, 0);
    EXPECT_EQ(Text(OBControls::kFieldSunrise, *north, midwinter), L"Sunrise: ");
    EXPECT_EQ(Text(OBControls::kFieldSunset, *north, midwinter), L"Sunset: ");
}
