#include "plot/chart_scale.h"

#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "text/number_format.h"

#include <algorithm>

namespace kv::chart {

namespace {

// Whole-number division rounding down and up: the range is computed in
// thousandths so that no rounding of 0.095 or 0.105 moves a boundary.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) == (b < 0)) ? q + 1 : q;
}

// lo = floor(min × factor − 0.5) × 10 and hi = ceil(max × factor + 0.5) × 10,
// with the factors in thousandths.
int lowEnd(int min, int factor) {
    return int(floorDiv(std::int64_t(min) * factor - 500, 1000) * 10);
}

int highEnd(int max, int factor) {
    return int(ceilDiv(std::int64_t(max) * factor + 500, 1000) * 10);
}

constexpr int LowFactor = 95;   // 0.095
constexpr int HighFactor = 105; // 0.105

} // namespace

std::optional<SampleExtent> sampleExtent(const ChartBlock& chart) {
    const int newest = chart.Sample[0];
    if (newest == NoValue)
        return std::nullopt;
    SampleExtent extent{newest, newest};
    for (std::int16_t sample : chart.Sample) {
        if (sample == NoValue)
            continue;
        extent.min = std::min(extent.min, int(sample));
        extent.max = std::max(extent.max, int(sample));
    }
    return extent;
}

ValueRange valueRange(const SampleExtent& extent) {
    const ValueRange usual{lowEnd(extent.min, LowFactor), highEnd(extent.max, HighFactor)};
    if (usual.lo <= extent.min && usual.hi >= extent.max && usual.lo < usual.hi)
        return usual;
    // Below zero the factors swap roles: 0.105 takes a negative minimum further
    // down and 0.095 a negative maximum further up, so both ends lie strictly
    // outside the values.
    return {extent.min < 0 ? lowEnd(extent.min, HighFactor) : usual.lo,
            extent.max < 0 ? highEnd(extent.max, LowFactor) : usual.hi};
}

int gridStep(const ValueRange& range) {
    struct Step {
        int above;
        int step;
    };
    static constexpr Step Steps[] = {{40000, 4000}, {20000, 2000}, {10000, 1000}, {4000, 400},
                                     {2000, 200},   {1000, 100},   {400, 20},     {200, 10},
                                     {100, 5},      {40, 2}};
    const int height = range.height();
    for (const Step& s : Steps)
        if (height > s.above)
            return s.step;
    return 1;
}

QString valueText(int value, std::uint8_t chartMode, const QLocale& locale) {
    if (!isTemperature(chartMode))
        return formatNumber(value / 100.0, u"0.00", locale) + QStringLiteral(" V");
    return formatNumber(value / 10.0, u"0.0", locale) + QString::fromUtf8("°C");
}

bool isTemperature(std::uint8_t chartMode) {
    return chartMode != ExpertBlock::ChartVoltage;
}

} // namespace kv::chart
