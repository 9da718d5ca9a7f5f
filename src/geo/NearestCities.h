// The city position index (one entry per city table row, built once at
// start-up) and the search for the cities nearest a point, with the two ways
// callers cut the result (a number of cities or a radius).
#pragma once

#include <cstdint>
#include <vector>

#include "geo/Position.h"

namespace OBData {

struct CityPosition {
    std::int32_t cityId;
    Position position;
};

struct NearestCity {
    std::int32_t cityId;
    Distance distance;
};

// Builds the index from the cached city view, replacing any earlier index.
// False (index empty) when the city table is missing.
bool BuildCityPositionIndex();
void ClearCityPositionIndex();
const std::vector<CityPosition>& GetCityPositionIndex();

// Appends one entry per indexed city and sorts the whole list nearest first
// (ties in no defined order). A city at the point itself has distance 0.
bool FindNearestCities(const Position& point, std::vector<NearestCity>& result);

// How a caller cuts the list: by count keeps the first `count` entries; by
// distance keeps entries up to the first one farther than the radius (an
// entry exactly at the radius stays).
struct NearbyCut {
    bool byDistance = false;
    std::int32_t count = 20;
    double radiusKm = 500.0;
};

constexpr std::int32_t kNoCity = -1;

// Cuts a sorted result in place. With `skipCityId` the entry of that city is
// dropped first, so that a cut by count still keeps `count` other cities.
void CutNearestCities(std::vector<NearestCity>& result, const NearbyCut& cut,
                      std::int32_t skipCityId = kNoCity);

}  // namespace OBData
