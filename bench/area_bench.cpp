// Selecting the ZIP codes within 50 miles of ZIP codes spread over the whole
// place table (nearest first, as near prints them), and making the selections'
// index from the table once.
#include "area/zipareas.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace zd;

// Every 37th located ZIP code of the table: some 1,150 centres from Maine to
// Guam, cities and empty land alike.
std::vector<GeoPoint> centres()
{
    std::vector<GeoPoint> points;
    const ZipAreas& areas = ZipAreas::installed();
    int count = 0;
    for (const AreaZip& zip : areas.near({39.8, -98.6}, 12000)) {
        if (count++ % 37 == 0) {
            const Place place = *areas.place(zip.zip);
            points.push_back({place.latitude, place.longitude});
        }
    }
    return points;
}

void BM_NearWithin50Miles(benchmark::State& state)
{
    const ZipAreas& areas = ZipAreas::installed();
    static const std::vector<GeoPoint> points = centres();
    std::size_t next = 0;
    std::int64_t found = 0;
    for (auto _ : state) {
        const QList<AreaZip> zips = areas.near(points[next], 50);
        found += zips.size();
        benchmark::DoNotOptimize(zips.constData());
        next = (next + 1) % points.size();
    }
    state.counters["zips_per_selection"] = benchmark::Counter(double(found) / double(state.iterations()));
}
BENCHMARK(BM_NearWithin50Miles)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_IndexFromThePlaceTable(benchmark::State& state)
{
    const PlaceNames& places = PlaceNames::installed();
    for (auto _ : state) {
        const ZipAreas areas(places, ZctaList::builtIn(2010));
        benchmark::DoNotOptimize(areas.size());
    }
}
BENCHMARK(BM_IndexFromThePlaceTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
