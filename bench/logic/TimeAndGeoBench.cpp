// Costs the README promises: the nearest-city search behind every tap on the
// map, the night shadow of the map, and a city's local time.
#include <benchmark/benchmark.h>

#include <vector>

#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "geo/NearestCities.h"
#include "geo/Sun.h"
#include "time/TimeZone.h"

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
    const City* sydney = GetCity(414);
    const TimeZone* zone = sydney->GetTimeZone();
    DateTime utc(2008, 4, 5, 15, 0, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zone->ToLocalTime(utc));
    }
}
BENCHMARK(BM_ToLocalTime)->Unit(benchmark::kNanosecond);

}  // namespace
