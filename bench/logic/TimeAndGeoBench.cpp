// Costs the README promises: the nearest-city search behind every tap on the
// map, the night shadow of the map, and a city's local time (built-in rules and
// the tz database).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "data/GazetteerRecords.h"
#include "data/ReferenceTables.h"
#include "geo/NearestCities.h"
#include "geo/Sun.h"
#include "time/TimeZone.h"
#include "time/ZoneDatabase.h"

using ZEP_Utility::DateTime;
using namespace OBData;

namespace {

void BM_FindNearestCities(benchmark::State& state) {
    LoadReferenceTables();
    const Position tap(48.2, 16.4);
    std::vector<NearestCity> result;
    for (auto _ : state) {
        result.clear();
        FindNearestCities(tap, result);
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["cities"] = static_cast<double>(result.size());
}
BENCHMARK(BM_FindNearestCities)->Unit(benchmark::kMicrosecond);

void BM_ComputeTerminator(benchmark::State& state) {
    const DateTime when(2008, 6, 21, 15, 30, 0);
    Terminator terminator;
    for (auto _ : state) {
        ComputeTerminator(when, static_cast<int>(state.range(0)), terminator);
        benchmark::DoNotOptimize(terminator.points.data());
    }
}
BENCHMARK(BM_ComputeTerminator)->Arg(240)->Arg(480)->Unit(benchmark::kMicrosecond);

void BM_ToLocalTime(benchmark::State& state) {
    LoadReferenceTables();
    // The built-in rules of Sydney's table zone, the fallback without the database.
    const TimeZone* zone = GetTimeZone(255);
    DateTime utc(2008, 4, 5, 15, 0, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zone->ToLocalTime(utc));
    }
}
BENCHMARK(BM_ToLocalTime)->Unit(benchmark::kNanosecond);

// A city's local time through the tz database (the zone loaded beforehand).
void BM_ToLocalTimeDatabase(benchmark::State& state) {
    LoadReferenceTables();
    const TimeZone* zone = GetCity(381)->GetTimeZone();  // Sao Paulo
    if (!zone->GetDatabaseZone()) {
        state.SkipWithError("no tz database");
        return;
    }
    DateTime utc(2026, 12, 9, 1, 27, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zone->ToLocalTime(utc));
    }
}
BENCHMARK(BM_ToLocalTimeDatabase)->Unit(benchmark::kNanosecond);

// Loading every zone the cities keep from the database, as a first start
// with all of them would.
void BM_LoadAllCityZones(benchmark::State& state) {
    LoadReferenceTables();
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < kCityCount; ++i) {
        std::wstring zone = GetCity(kCityRecords[i].id)->GetIanaZone();
        names.emplace_back(zone.begin(), zone.end());
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (auto _ : state) {
        int loaded = 0;
        for (const std::string& name : names)
            loaded += DatabaseZone::Load(name) != nullptr;
        benchmark::DoNotOptimize(loaded);
    }
    state.counters["zones"] = static_cast<double>(names.size());
}
// cctz keeps every zone it has read for the life of the process, so only
// the first pass reads the files: one iteration is the real cost.
BENCHMARK(BM_LoadAllCityZones)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
