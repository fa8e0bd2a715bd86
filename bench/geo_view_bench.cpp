// One redraw of the Geo tab (map copy, marker, figures with the label text,
// moon picture) against a plain copy of the 1000 × 500 world map, measured in
// the same run; the counters give both times and their ratio.
#include "geo/geo_figures.h"
#include "text/text_catalogue.h"
#include "views/geo_map.h"
#include "views/geo_scene.h"

#include <QLocale>
#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

kv::sunmoon::TimeZoneRules centralEurope() {
    kv::sunmoon::TimeZoneRules r;
    r.bias = -60;
    r.standardDate = {10, 5, 0, 3, 0, 0, 0};
    r.daylightDate = {3, 5, 0, 2, 0, 0, 0};
    r.daylightBias = -60;
    return r;
}

double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// A different minute each time, so nothing can be carried over.
kv::BoardDateTime nextMoment(int& minute) {
    minute = (minute + 7) % 1440;
    return {2024, 6, 21, minute / 60, minute % 60, 0};
}

void BM_UpdateGeoViewAgainstMapCopy(benchmark::State& state) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    kv::LoadTextCatalogue();
    const QImage world = kv::geomap::loadWorldMap();
    if (world.pixel(0, 250) == world.pixel(500, 250)) {
        state.SkipWithError("the world map could not be read");
        return;
    }
    kv::GeoScene scene(world);
    const auto rules = centralEurope();
    QImage copyTarget = world.copy();
    int minute = 0;
    Clock::duration update{};
    Clock::duration inPlaceCopy{};
    Clock::duration newCopy{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        auto figures = scene.update(501, 85, nextMoment(minute), rules);
        benchmark::DoNotOptimize(figures);
        const auto t1 = Clock::now();
        kv::geomap::copyMap(world, copyTarget);
        benchmark::DoNotOptimize(copyTarget.constBits());
        const auto t2 = Clock::now();
        QImage fresh = world.copy();
        benchmark::DoNotOptimize(fresh.constBits());
        const auto t3 = Clock::now();
        update += t1 - t0;
        inPlaceCopy += t2 - t1;
        newCopy += t3 - t2;
    }
    const double n = double(state.iterations());
    state.counters["update_us"] = microseconds(update) / n;
    state.counters["copy_us"] = microseconds(inPlaceCopy) / n;
    state.counters["new_copy_us"] = microseconds(newCopy) / n;
    // How many map copies one redraw costs (aim: at most 3).
    state.counters["ratio"] = microseconds(update) / microseconds(inPlaceCopy);
    state.counters["ratio_new_copy"] = microseconds(update) / microseconds(newCopy);
}
BENCHMARK(BM_UpdateGeoViewAgainstMapCopy)->Unit(benchmark::kMicrosecond);

// The redraw and the copy each on their own.
void BM_UpdateGeoView(benchmark::State& state) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    kv::LoadTextCatalogue();
    kv::GeoScene scene(kv::geomap::loadWorldMap());
    const auto rules = centralEurope();
    int minute = 0;
    for (auto _ : state) {
        auto figures = scene.update(501, 85, nextMoment(minute), rules);
        benchmark::DoNotOptimize(figures);
    }
}
BENCHMARK(BM_UpdateGeoView)->Unit(benchmark::kMicrosecond);

void BM_CopyWorldMap(benchmark::State& state) {
    const QImage world = kv::geomap::loadWorldMap();
    QImage target = world.copy();
    for (auto _ : state) {
        kv::geomap::copyMap(world, target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_CopyWorldMap)->Unit(benchmark::kMicrosecond);

} // namespace
