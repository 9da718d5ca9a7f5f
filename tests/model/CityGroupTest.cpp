#include "model/CityGroup.h"

#include <gtest/gtest.h>

#include "data/City.h"
#include "data/Country.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "model/Settings.h"

using OBData::CityGroup;

namespace {

constexpr int kLondon = 234, kNewYork = 292, kSydney = 414;

CityGroup Group(const wchar_t* text) {
    CityGroup group;
    group.Parse(text);
    return group;
}

class CityGroupTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(OBData::LoadReferenceTables()); }
};

}  // namespace

TEST_F(CityGroupTest, ParseKeepsFirstOccurrencesOfKnownIdsAbove0) {
    CityGroup group = Group(L"234;292;414");
    EXPECT_EQ(group.GetCount(), 3);
    EXPECT_EQ(group.GetHomeCity()->GetId(), kLondon);
    EXPECT_EQ(group.ToText(), L"234;292;414");

    // 84 names no city, the second 292 repeats, -5 and the empty and
    // unreadable entries are not above 0.
    EXPECT_EQ(Group(L"292;84;292;-5;;abc;414").ToText(), L"292;414");
    EXPECT_EQ(Group(L"").GetCount(), 0);
    EXPECT_EQ(Group(L"").ToText(), L"");
    EXPECT_EQ(Group(L" 234 ; +292;414x;;").ToText(), L"234;292;414");
    EXPECT_EQ(Group(L";;;").GetCount(), 0);
    EXPECT_EQ(Group(L"99999999999;234").ToText(), L"234");

    // Parse replaces the whole list.
    group.Parse(L"414");
    EXPECT_EQ(group.ToText(), L"414");
}

TEST_F(CityGroupTest, AddAndRemoveKeepOrderAndHome) {
    CityGroup group;
    EXPECT_EQ(group.GetHomeCity(), nullptr);
    EXPECT_EQ(group.GetDialCode(OBData::GetCity(kLondon)), L"***");
    EXPECT_EQ(group.AddCity(84), -1);
    EXPECT_EQ(group.AddCity(kNewYork), 0);  // the first city is home
    EXPECT_EQ(group.AddCity(kLondon), 1);
    EXPECT_EQ(group.AddCity(kSydney), 2);
    EXPECT_EQ(group.AddCity(kLondon), 1);  // already there: nothing moves
    EXPECT_EQ(group.ToText(), L"292;234;414");
    EXPECT_TRUE(group.IsHomeCity(OBData::GetCity(kNewYork)));
    EXPECT_FALSE(group.IsHomeCity(OBData::GetCity(kLondon)));
    EXPECT_EQ(group.IndexOf(kSydney), 2);
    EXPECT_EQ(group.IndexOf(84), -1);
    EXPECT_EQ(group.GetDialCode(OBData::GetCity(kLondon)), L"011 44 207");

    group.RemoveCity(kNewYork);  // the next city becomes home
    EXPECT_EQ(group.ToText(), L"234;414");
    EXPECT_TRUE(group.IsHomeCity(OBData::GetCity(kLondon)));
    group.RemoveCity(999);
    EXPECT_EQ(group.ToText(), L"234;414");

    CityGroup copy;
    copy.Assign(group);
    copy.Assign(copy);
    group.Clear();
    EXPECT_EQ(copy.ToText(), L"234;414");
    EXPECT_FALSE(copy.IsHomeCity(nullptr));
}

TEST_F(CityGroupTest, MovesAndHomeChanges) {
    CityGroup group = Group(L"234;292;414");
    group.MoveCity(2, 0);
    EXPECT_EQ(group.ToText(), L"414;234;292");
    group = Group(L"234;292;414");
    group.MoveCity(0, 2);
    EXPECT_EQ(group.ToText(), L"292;414;234");
    group.MoveCity(1, 2);
    EXPECT_EQ(group.ToText(), L"292;234;414");
    for (auto [from, to] : {std::pair{0, 0}, {-1, 0}, {0, 3}, {3, 1}})
        group.MoveCity(from, to);
    EXPECT_EQ(group.ToText(), L"292;234;414");

    group = Group(L"234;292;414");
    EXPECT_TRUE(group.SetHomeCity(2));
    EXPECT_EQ(group.ToText(), L"414;234;292");
    EXPECT_FALSE(group.SetHomeCity(3));
    EXPECT_FALSE(group.SetHomeCity(-1));
    EXPECT_TRUE(group.SetHomeCity(OBData::GetCity(kNewYork)));
    EXPECT_EQ(group.ToText(), L"292;414;234");
    EXPECT_FALSE(group.SetHomeCity(OBData::GetCity(1)));  // Aberdeen is not in the group
    EXPECT_EQ(group.ToText(), L"292;414;234");
}

TEST_F(CityGroupTest, SavesAndLoadsAsASetting) {
    ZEP_Utility::Settings store;
    CityGroup group = Group(L"414;234");
    EXPECT_TRUE(group.Save(store, L"cities"));
    std::wstring text;
    EXPECT_TRUE(store.GetString(L"cities", text));
    EXPECT_EQ(text, L"414;234");

    CityGroup loaded = Group(L"292");
    loaded.Load(store, L"cities");
    EXPECT_EQ(loaded.ToText(), L"414;234");
    loaded.Load(store, L"absent");  // an absent key is the empty group
    EXPECT_EQ(loaded.GetCount(), 0);

    // Every city of the gazetteer fits in one line of the settings file.
    CityGroup all;
    for (int id = 1; id <= 579; ++id)
        all.AddCity(id);
    EXPECT_EQ(all.GetCount(), 578);
    EXPECT_TRUE(all.Save(store, L"cities"));
}
