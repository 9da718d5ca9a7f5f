#include "geo/NearestCities.h"

#include <algorithm>
#include <cmath>

#include "data/DataRow.h"
#include "data/DataView.h"
#include "data/ReferenceLookup.h"

namespace OBData {
namespace {

// Each city's sines and cosines are worked out once, and cos(l2 - l1) is
// expanded as cos l2 cos l1 + sin l2 sin l1, so that a search costs one arc
// cosine per city. The result agrees with GreatCircleDistance to far below
// a metre; a city at the point itself is exactly 0, as there.
struct Precomputed {
    double latitude;
    double longitude;
    double sinLatitude;
    double cosLatitude;
    double sinLongitude;
    double cosLongitude;
};

struct Index {
    std::vector<CityPosition> entries;
    std::vector<Precomputed> trig;
};

Index& TheIndex() {
    static Index index;
    return index;
}

}  // namespace

bool BuildCityPositionIndex() {
    Index& index = TheIndex();
    index.entries.clear();
    index.trig.clear();
    DataView* view = GetCityView();
    if (!view)
        return false;
    const std::int32_t count = view->GetCount();
    index.entries.reserve(static_cast<size_t>(count));
    index.trig.reserve(static_cast<size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const DataRow row = view->GetRow(i);
        std::int32_t id = 0;
        double latitude = 0.0, longitude = 0.0;
        row.GetInt(L"id", id);
        row.GetDouble(L"Lat", latitude);
        row.GetDouble(L"Long", longitude);
        const Position position(latitude, longitude);
        index.entries.push_back({id, position});
        const double phi = position.GetLatitude() * kDegToRad;
        const double lambda = position.GetLongitude() * kDegToRad;
        index.trig.push_back({position.GetLatitude(), position.GetLongitude(), std::sin(phi), std::cos(phi),
                              std::sin(lambda), std::cos(lambda)});
    }
    return true;
}

void ClearCityPositionIndex() {
    Index& index = TheIndex();
    index.entries.clear();
    index.entries.shrink_to_fit();
    index.trig.clear();
    index.trig.shrink_to_fit();
}

const std::vector<CityPosition>& GetCityPositionIndex() { return TheIndex().entries; }

bool FindNearestCities(const Position& point, std::vector<NearestCity>& result) {
    const Index& index = TheIndex();
    const double phi1 = point.GetLatitude() * kDegToRad;
    const double lambda1 = point.GetLongitude() * kDegToRad;
    const double sin1 = std::sin(phi1), cos1 = std::cos(phi1);
    const double sinLambda1 = std::sin(lambda1), cosLambda1 = std::cos(lambda1);
    const size_t first = result.size();
    result.resize(first + index.entries.size(), NearestCity{0, Distance()});
    NearestCity* out = result.data() + first;
    for (size_t i = 0; i < index.entries.size(); ++i) {
        const Precomputed& e = index.trig[i];
        double km = 0.0;
        if (e.latitude != point.GetLatitude() || e.longitude != point.GetLongitude()) {
            const double cosDelta = e.cosLongitude * cosLambda1 + e.sinLongitude * sinLambda1;
            double c = cosDelta * e.cosLatitude * cos1 + e.sinLatitude * sin1;
            c = c > 1.0 ? 1.0 : c < -1.0 ? -1.0 : c;
            km = std::acos(c) * kRadToDeg * 60.0 * 1.852;  // nautical miles to km, as Distance does
        }
        out[i] = {index.entries[i].cityId, Distance(km, kKilometres)};
    }
    std::sort(result.begin(), result.end(),
              [](const NearestCity& a, const NearestCity& b) { return a.distance < b.distance; });
    return true;
}

void CutNearestCities(std::vector<NearestCity>& result, const NearbyCut& cut, std::int32_t skipCityId) {
    if (skipCityId != kNoCity)
        result.erase(std::remove_if(result.begin(), result.end(),
                                    [skipCityId](const NearestCity& e) { return e.cityId == skipCityId; }),
                     result.end());
    size_t keep = 0;
    if (cut.byDistance) {
        while (keep < result.size() && !(result[keep].distance.InUnits(kKilometres) > cut.radiusKm))
            ++keep;
    } else {
        keep = cut.count > 0 ? std::min(result.size(), static_cast<size_t>(cut.count)) : 0;
    }
    result.resize(keep);
}

}  // namespace OBData
