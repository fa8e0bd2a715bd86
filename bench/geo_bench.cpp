// One full Geo view computation: place, board moment and zone rules to every
// figure and the label text, as the view does on each poll while it shows.
#include "geo/geo_figures.h"
#include "text/text_catalogue.h"

#include <QLocale>
#include <benchmark/benchmark.h>

namespace {

kv::sunmoon::TimeZoneRules centralEurope() {
    kv::sunmoon::TimeZoneRules r;
    r.bias = -60;
    r.standardDate = {10, 5, 0, 3, 0, 0, 0};
    r.daylightDate = {3, 5, 0, 2, 0, 0, 0};
    r.daylightBias = -60;
    return r;
}

void BM_GeoFigures(benchmark::State& state) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    kv::LoadTextCatalogue();
    const auto rules = centralEurope();
    int minute = 0;
    for (auto _ : state) {
        // A different minute each time, so nothing can be carried over.
        const kv::BoardDateTime t{2024, 6, 21, minute / 60, minute % 60, 0};
        auto figures = kv::computeGeoFigures(501, 85, t, rules);
        benchmark::DoNotOptimize(figures);
        minute = (minute + 7) % 1440;
    }
}
BENCHMARK(BM_GeoFigures)->Unit(benchmark::kMicrosecond);

// A moment whose moon events must be looked up on neighbouring days.
void BM_GeoFiguresFarFromMeanTime(benchmark::State& state) {
    kv::LoadTextCatalogue();
    kv::sunmoon::TimeZoneRules kiritimati;
    kiritimati.bias = -14 * 60;
    const kv::BoardDateTime t{2024, 1, 5, 12, 0, 0};
    for (auto _ : state) {
        auto figures = kv::computeGeoFigures(19, -1574, t, kiritimati);
        benchmark::DoNotOptimize(figures);
    }
}
BENCHMARK(BM_GeoFiguresFarFromMeanTime)->Unit(benchmark::kMicrosecond);

} // namespace
