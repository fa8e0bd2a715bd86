// The day curve redrawn as during a drag (every 25 ms) and after every poll:
// 20 and 255 lines in a 1000 x 600 picture, beside a plain fill of the same
// image. Each run reports the draw and fill times and their ratio, in wall
// time and in the process's processor time (Qt blends large translucent areas
// on its thread pool, so the two differ on a busy machine).
#include "plot/day_curve.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;

// A day of the given number of lines: a sunrise-to-sunset hill per channel.
kv::DayCurveScene sceneOf(int lineCount) {
    kv::DayCurveScene scene;
    for (int k = 0; k < lineCount; ++k) {
        kv::ScheduleLine line;
        const int minutes = k * 1440 / std::max(1, lineCount - 1);
        line.Hour = std::int8_t(minutes / 60);
        line.Minute = std::int8_t(minutes % 60);
        const double day = std::sin(M_PI * k / std::max(1, lineCount - 1));
        for (int c = 0; c < kv::ChannelCount; ++c)
            line.Color16[std::size_t(c)] = std::int16_t(4096 * day * (1.0 - 0.2 * c));
        scene.schedule.push_back(line);
    }
    scene.curveColors = {0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    scene.curveShades = {0x20FFFFFF, 0x20FF0000, 0x2000FF00, 0x200000FF};
    scene.clock = {2024, 6, 21, 14, 30, 0};
    scene.dragLine = lineCount / 2;
    scene.font = QGuiApplication::font();
    return scene;
}

double microsecondsPer(Clock::duration total, std::int64_t count) {
    return std::chrono::duration<double, std::micro>(total).count() / double(count);
}

// Processor time of every thread of the process, in microseconds.
double processMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

void BM_DayCurve(benchmark::State& state) {
    const kv::DayCurveScene scene = sceneOf(int(state.range(0)));
    QImage image(1000, 600, QImage::Format_ARGB32_Premultiplied);
    kv::DrawDayCurve(image, scene); // glyphs cached, as after the first draw

    constexpr int FillCount = 500;
    const auto fillStart = Clock::now();
    const double fillCpuStart = processMicroseconds();
    for (int i = 0; i < FillCount; ++i) {
        image.fill(0xFF000000u + std::uint32_t(i & 1));
        benchmark::DoNotOptimize(image.constBits());
    }
    const double fillMicros = microsecondsPer(Clock::now() - fillStart, FillCount);
    const double fillCpu = (processMicroseconds() - fillCpuStart) / FillCount;

    std::int64_t draws = 0;
    const auto drawStart = Clock::now();
    const double drawCpuStart = processMicroseconds();
    for (auto _ : state) {
        auto points = kv::DrawDayCurve(image, scene);
        benchmark::DoNotOptimize(points);
        ++draws;
    }
    const double drawMicros = microsecondsPer(Clock::now() - drawStart, draws);
    const double drawCpu = (processMicroseconds() - drawCpuStart) / double(draws);
    state.counters["draw_us"] = drawMicros;
    state.counters["fill_us"] = fillMicros;
    state.counters["draw_per_fill"] = drawMicros / fillMicros;
    state.counters["draw_cpu_us"] = drawCpu;
    state.counters["fill_cpu_us"] = fillCpu;
    state.counters["cpu_draw_per_fill"] = drawCpu / fillCpu;
}
BENCHMARK(BM_DayCurve)->Arg(20)->Arg(255)->Unit(benchmark::kMicrosecond);

void BM_PlainFill(benchmark::State& state) {
    QImage image(1000, 600, QImage::Format_ARGB32_Premultiplied);
    std::uint32_t color = 0xFF000000u;
    for (auto _ : state) {
        image.fill(color ^= 1u);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PlainFill)->Unit(benchmark::kMicrosecond);

} // namespace
