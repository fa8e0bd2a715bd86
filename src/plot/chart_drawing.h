#pragma once

#include "device/records/chart_block.h"
#include "plot/chart_scale.h"

#include <QImage>
#include <QLocale>
#include <QRgb>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The chart of the board's recorded history, drawn into an image: white
// ground, a light-red band above 60 °C for temperatures, grey grid lines with
// labels on both sides, the newest value at the right and the curve of the
// 40 samples in the source's colour. The window shows it and the command line
// writes it to a file; both draw through here.
namespace kv::chart {

// What the chart is drawn from.
struct ChartInput {
    ChartBlock chart = ChartBlock::empty();
    std::uint8_t chartMode = 0;     // ExpertBlock ChartMode
    std::uint8_t chartInterval = 0; // ExpertBlock ChartInterval, minutes
    qint64 moment = 0;              // when the chart ends (see boardNow)
};

namespace colors {
inline constexpr QRgb Background = 0xFFFFFFFF;
inline constexpr QRgb HotBand = 0xFFFFF0F0;
inline constexpr QRgb MajorGrid = 0xFFD0D0D0;
inline constexpr QRgb MinorGrid = 0xFFF0F0F0;
inline constexpr QRgb Label = 0xFF808080;
// The curve's colour: water temperature, voltage, slave temperature.
QRgb series(std::uint8_t chartMode);
} // namespace colors

// Margins around the plot area, in pixels.
inline constexpr int MarginLeft = 40;
inline constexpr int MarginRight = 40;
inline constexpr int MarginTop = 20;
inline constexpr int MarginBottom = 20;
inline constexpr int FontPointSize = 8;
// Temperatures above this (0.1 °C) lie in the band.
inline constexpr int HotBandFrom = 600;

// Where everything goes on an image of a given size; nothing when the chart
// has no data (the newest sample is empty or nothing is recorded).
class ChartLayout {
public:
    static std::optional<ChartLayout> of(const ChartInput& input, QSize size);

    ValueRange range() const { return range_; }
    int gridStep() const { return step_; }
    qint64 newest() const { return newest_; }
    qint64 span() const { return span_; }
    qint64 tickSpacing() const { return tickSpacing_; }
    // The time ticks that lie inside the plot area, newest first.
    const std::vector<qint64>& ticks() const { return ticks_; }
    // The values of the horizontal grid lines, from lo up to hi; the
    // multiples of 10 are major lines with labels.
    std::vector<int> gridValues() const;
    static bool isLabelled(int value) { return value % 10 == 0; }

    double y(double value) const;
    double x(qint64 time) const;
    // The x of sample n (0 the newest, at the right end).
    double sampleX(int n) const;

private:
    ValueRange range_;
    int step_ = 1;
    qint64 newest_ = 0;
    qint64 span_ = 1;
    qint64 tickSpacing_ = 1;
    std::vector<qint64> ticks_;
    int plotWidth_ = 0;
    int plotHeight_ = 0;
};

// The chart at this size (ARGB, 32 bit); a null image for an empty size.
QImage drawChart(const ChartInput& input, QSize size, const QLocale& locale = QLocale());

// What the chart shows, in words: the newest value and the range, or the
// not-connected text.
QString chartDescription(const ChartInput& input, const QLocale& locale = QLocale());

} // namespace kv::chart
