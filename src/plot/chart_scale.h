#pragma once

#include "device/records/chart_block.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

// The value axis of the chart: the range shown, the step of its grid lines
// and the texts of its labels. Samples are in the unit of their source
// (0.1 °C for temperatures, 0.01 V for the input voltage).
namespace kv::chart {

// The values shown from bottom (lo) to top (hi), both multiples of 10 with
// lo below hi and every valid sample between them.
struct ValueRange {
    int lo = 0;
    int hi = 0;
    int height() const { return hi - lo; }
    bool operator==(const ValueRange&) const = default;
};

// The smallest and largest of the newest sample and the older samples that
// are not empty; nothing when the newest sample is empty.
struct SampleExtent {
    int min = 0;
    int max = 0;
};
std::optional<SampleExtent> sampleExtent(const ChartBlock& chart);

// About 5 % room below and above: lo = floor(min × 0.095 − 0.5) × 10, hi =
// ceil(max × 0.105 + 0.5) × 10. Those factors only widen the range for values
// of 0 and more; where they would cut off a value below −10 °C or leave no
// height at all (a flat curve at −10.0 °C), the negative end takes the other
// factor, which widens it.
ValueRange valueRange(const SampleExtent& extent);

// The step between two grid lines for the range's height (every tenth line,
// a multiple of 10, is labelled).
int gridStep(const ValueRange& range);

// The label of a value: "25,3°C" for temperatures, "12,05 V" for the voltage
// (in the locale's number format).
QString valueText(int value, std::uint8_t chartMode, const QLocale& locale = QLocale());

// Whether the source is a temperature (the band above 60 °C applies).
bool isTemperature(std::uint8_t chartMode);

} // namespace kv::chart
