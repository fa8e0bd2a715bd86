#include "plot/history_geometry.h"

#include "plot/channel_colors.h"

#include <algorithm>
#include <cmath>

namespace kv::historyplot {

int pointCount(qint64 from, qint64 to, int plotWidth) {
    if (to <= from)
        return 1;
    const qint64 byLength = std::max<qint64>(1, (to - from) / MinBucketMs);
    return int(std::min<qint64>({qint64(MaxPoints), std::max(1, plotWidth), byLength}));
}

qint64 bucketLength(qint64 from, qint64 to, int points) {
    points = std::max(points, 1);
    return std::max<qint64>(1, (to - from + points - 1) / points);
}

HistoryFrame::HistoryFrame(QSize size, qint64 from, qint64 to) : from_(from), to_(to) {
    const int width = std::max(1, size.width() - MarginLeft - MarginRight);
    const int both = std::max(2, size.height() - MarginTop - MarginBottom - PanelGap);
    const int upper = std::clamp(int(std::lround(both * TemperatureShare)), 1, both - 1);
    temperature_ = QRect(MarginLeft, MarginTop, width, upper);
    levels_ = QRect(MarginLeft, MarginTop + upper + PanelGap, width, both - upper);
}

double HistoryFrame::x(qint64 time) const {
    const double span = double(std::max<qint64>(1, to_ - from_));
    return temperature_.left() + double(time - from_) / span * (temperature_.width() - 1);
}

double HistoryFrame::levelY(double percent) const {
    return levels_.top() + (1.0 - percent / 100.0) * (levels_.height() - 1);
}

std::vector<double> TemperatureScale::ticks() const {
    std::vector<double> values;
    const int count = int(std::lround((hi - lo) / step));
    for (int i = 0; i <= count; ++i)
        values.push_back(lo + i * step);
    return values;
}

double TemperatureScale::y(double celsius, const QRect& area) const {
    return area.top() + (hi - celsius) / (hi - lo) * (area.height() - 1);
}

TemperatureScale temperatureScale(double min, double max, int maxTicks) {
    if (max < min)
        std::swap(min, max);
    // A flat line still gets a degree around it.
    if (max - min < 1.0) {
        const double middle = (min + max) / 2;
        min = middle - 0.5;
        max = middle + 0.5;
    }
    maxTicks = std::max(maxTicks, 1);
    // A value on a multiple of the step stays on it despite rounding.
    constexpr double Slack = 1e-9;
    static constexpr double Steps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100};
    TemperatureScale scale;
    for (double step : Steps) {
        scale.step = step;
        scale.lo = std::floor(min / step + Slack) * step;
        scale.hi = std::ceil(max / step - Slack) * step;
        if ((scale.hi - scale.lo) / step <= maxTicks + Slack)
            break;
    }
    if (scale.hi <= scale.lo)
        scale.hi = scale.lo + scale.step;
    return scale;
}

std::optional<std::pair<double, double>>
temperatureExtent(const std::vector<HistoryPoint>& points) {
    std::optional<std::pair<double, double>> extent;
    for (const HistoryPoint& point : points) {
        if (!point.water)
            continue;
        const double low = point.waterMin.value_or(*point.water);
        const double high = point.waterMax.value_or(*point.water);
        if (!extent)
            extent = std::pair(low, high);
        extent->first = std::min(extent->first, low);
        extent->second = std::max(extent->second, high);
    }
    return extent;
}

std::vector<Stretch> joinedRuns(const std::vector<HistoryPoint>& points, qint64 bucketMs,
                                bool (*hasValue)(const HistoryPoint&)) {
    std::vector<Stretch> runs;
    bool open = false;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!hasValue(points[i])) {
            open = false;
            continue;
        }
        const bool joined =
            open && (points[i].time - points[runs.back().second].time) * 2 <= bucketMs * 3;
        if (joined) {
            runs.back().second = i;
        } else {
            runs.push_back({i, i});
            open = true;
        }
    }
    return runs;
}

bool hasWater(const HistoryPoint& point) {
    return point.water.has_value();
}

bool hasLevels(const HistoryPoint&) {
    // Every bucket has levels: it is only there because a poll gave them.
    return true;
}

std::array<QRgb, ChannelCount> channelLineColors(const std::array<std::uint8_t, 4>& colorNames) {
    // White, red, green and blue: the colours of the letters W, R, G, B.
    static constexpr std::array<int, ChannelCount> LetterColors{1, 2, 3, 4};
    std::array<QRgb, ChannelCount> colors{};
    for (std::size_t c = 0; c < colors.size(); ++c) {
        const int named = colorTableIndex(colorNames[c]);
        colors[c] = CurveColor(named != 0 ? named : LetterColors[c]);
    }
    return colors;
}

} // namespace kv::historyplot
