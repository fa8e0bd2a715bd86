#pragma once

#include "device/records/info_block.h"
#include "history/history_records.h"

#include <QRect>
#include <QRgb>
#include <QSize>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Where things lie in the history picture: two panels over one time axis,
// the water temperature above (its own scale in °C) and the four levels
// below (0 to 100 %), with room for the legend above and the time labels
// below. Pixels of a picture of the given size, origin top left.
namespace kv::historyplot {

inline constexpr int MarginLeft = 56;
inline constexpr int MarginRight = 16;
inline constexpr int MarginTop = 24;
inline constexpr int MarginBottom = 22;
inline constexpr int PanelGap = 14;
// The temperature's share of the height both panels have.
inline constexpr double TemperatureShare = 0.45;
// The least number of pixels between two temperature labels.
inline constexpr int MinValueSpacing = 22;

// A bucket is never shorter than this: a board polled only every minute
// still gives joined lines.
inline constexpr qint64 MinBucketMs = 60 * 1000;
inline constexpr int MaxPoints = 1000;

// How many buckets a range is read in for a plot this wide: one per pixel,
// at most MaxPoints, and none shorter than MinBucketMs.
int pointCount(qint64 from, qint64 to, int plotWidth);
// The length of a bucket when the range is read in that many (the history's
// queries round it up to the millisecond).
qint64 bucketLength(qint64 from, qint64 to, int points);

class HistoryFrame {
public:
    HistoryFrame(QSize size, qint64 from, qint64 to);

    // The plot areas; both are at least one pixel high and wide.
    QRect temperatureArea() const { return temperature_; }
    QRect levelArea() const { return levels_; }
    int plotWidth() const { return temperature_.width(); }

    // The x of a moment: from at the left edge, to at the right.
    double x(qint64 time) const;
    // The y of a level in percent in the lower panel (100 at its top).
    double levelY(double percent) const;

private:
    QRect temperature_;
    QRect levels_;
    qint64 from_;
    qint64 to_;
};

// The temperature panel's scale: lo and hi are multiples of step, with every
// value between them and at least a degree from lo to hi.
struct TemperatureScale {
    double lo = 0;
    double hi = 1;
    double step = 1;
    std::vector<double> ticks() const;
    double y(double celsius, const QRect& area) const;
};
// The scale for values from min to max with at most maxTicks + 1 labels.
TemperatureScale temperatureScale(double min, double max, int maxTicks);
// The least and greatest temperature of the points (their min and max where
// given); nothing when no point has one.
std::optional<std::pair<double, double>> temperatureExtent(const std::vector<HistoryPoint>& points);

// The stretches of points that are drawn joined, as [first, last] indices:
// a bucket missing between two points (they lie more than one and a half
// bucket lengths apart) or a point that lacks the value breaks the line.
using Stretch = std::pair<std::size_t, std::size_t>;
std::vector<Stretch> joinedRuns(const std::vector<HistoryPoint>& points, qint64 bucketMs,
                                bool (*hasValue)(const HistoryPoint&));
bool hasWater(const HistoryPoint& point);
bool hasLevels(const HistoryPoint& point);

// The line colours of the four channels: the colour each is named with,
// and for a channel without one (0, unnamed) the colour of its letter
// (white, red, green, blue).
std::array<QRgb, ChannelCount> channelLineColors(const std::array<std::uint8_t, 4>& colorNames);

} // namespace kv::historyplot
