#include <gtest/gtest.h>

#include <algorithm>

#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "geo/NearestCities.h"

using namespace OBData;

namespace {

constexpr int kLondon = 234, kKingstonNorfolk = 502;

class NearestCities : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadReferenceTables()); }
    void TearDown() override { ReleaseReferenceData(); }

    static std::vector<NearestCity> Around(int cityId) {
        std::vector<NearestCity> list;
        EXPECT_TRUE(FindNearestCities(GetCity(cityId)->GetPosition(), list));
        return list;
    }
};

}  // namespace

TEST_F(NearestCities, EveryCitySortedNearestFirst) {
    const auto& index = GetCityPositionIndex();
    ASSERT_EQ(index.size(), 578u);
    EXPECT_EQ(index.front().cityId, 214);  // A Coruña, first by name

    std::vector<NearestCity> list = Around(kLondon);
    ASSERT_EQ(list.size(), 578u);
    EXPECT_EQ(list[0].cityId, kLondon);
    EXPECT_EQ(list[0].distance.InUnits(kKilometres), 0.0);
    for (size_t i = 1; i < list.size(); ++i)
        ASSERT_FALSE(list[i].distance < list[i - 1].distance);
    // The search's shortcut agrees with the great-circle distance.
    const Position london = GetCity(kLondon)->GetPosition();
    for (const NearestCity& e : list) {
        const Distance d = GreatCircleDistance(london, GetCity(e.cityId)->GetPosition());
        ASSERT_NEAR(e.distance.InUnits(kKilometres), d.InUnits(kKilometres), 1e-6) << e.cityId;
    }

    // The list is appended to, then sorted as a whole.
    std::vector<NearestCity> twice = list;
    FindNearestCities(london, twice);
    EXPECT_EQ(twice.size(), 1156u);
    EXPECT_EQ(twice[1].distance.InUnits(kKilometres), 0.0);

    // A tap in mid-ocean still yields every city, the nearest far away.
    std::vector<NearestCity> ocean;
    FindNearestCities(Position(-45, -130), ocean);
    EXPECT_EQ(ocean.size(), 578u);
    EXPECT_GT(ocean[0].distance.InUnits(kKilometres), 1000);
}

TEST_F(NearestCities, CutByCountAndByRadius) {
    std::vector<NearestCity> list = Around(kLondon);
    const std::vector<NearestCity> all = list;

    NearbyCut byCount;
    byCount.count = 20;
    CutNearestCities(list, byCount);
    ASSERT_EQ(list.size(), 20u);
    EXPECT_EQ(list[0].cityId, kLondon);

    // Skipping the centre city still leaves `count` others.
    list = all;
    CutNearestCities(list, byCount, kLondon);
    ASSERT_EQ(list.size(), 20u);
    EXPECT_TRUE(
        std::none_of(list.begin(), list.end(), [](const NearestCity& e) { return e.cityId == kLondon; }));
    EXPECT_EQ(list[0].cityId, all[1].cityId);

    byCount.count = 600;
    list = all;
    CutNearestCities(list, byCount);
    EXPECT_EQ(list.size(), 578u);
    byCount.count = -3;
    CutNearestCities(list, byCount);
    EXPECT_TRUE(list.empty());

    // An entry exactly at the radius is kept; the first one beyond it stops.
    NearbyCut byRadius;
    byRadius.byDistance = true;
    byRadius.radiusKm = all[5].distance.InUnits(kKilometres);
    ASSERT_TRUE(all[6].distance > all[5].distance);
    list = all;
    CutNearestCities(list, byRadius);
    EXPECT_EQ(list.size(), 6u);

    // A remote island within 500 km lists only itself.
    byRadius.radiusKm = 500;
    list = Around(kKingstonNorfolk);
    CutNearestCities(list, byRadius);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].cityId, kKingstonNorfolk);
}
