#include "plot/day_curve_geometry.h"

#include "astro/sunmoon.h"
#include "common/rounding.h"
#include "device/records/info_block.h"

#include <algorithm>
#include <cmath>

namespace kv::curve {

namespace {

constexpr int HourLines = 24;
constexpr int LevelLines = 10;
constexpr double RisingHorizon = 90;
constexpr double SettingHorizon = 270;

// Plot widths and heights as the formulas use them.
double spanX(int width) {
    return width - 2 * Margin;
}

double spanY(int height) {
    return height - 2 * Margin - 1;
}

} // namespace

double CurveFrame::timeX(double minutes) const {
    return minutes * spanX(width) / MinutesPerDay + Margin;
}

double CurveFrame::pathX(double angle) const {
    return angle * spanX(width) / FullPath + Margin;
}

double CurveFrame::levelY(double level) const {
    return (1 - level / FullLevel) * spanY(height) + Margin;
}

int CurveFrame::gridX(int line) const {
    return int(roundHalfEven(line * spanX(width) / HourLines)) + Margin;
}

int CurveFrame::gridY(int line) const {
    return int(roundHalfEven(line * spanY(height) / LevelLines + Margin));
}

std::optional<int> CurveFrame::minutesAt(double x) const {
    if (spanX(width) <= 0)
        return std::nullopt;
    const auto minutes = roundHalfEven(MinutesPerDay * (x - Margin) / spanX(width));
    return int(std::clamp<std::int64_t>(minutes, 0, MinutesPerDay));
}

std::optional<int> CurveFrame::levelAt(double y) const {
    if (spanY(height) <= 0)
        return std::nullopt;
    const auto level = roundHalfEven((1 - (y - Margin) / spanY(height)) * FullLevel);
    return int(std::clamp<std::int64_t>(level, 0, FullLevel));
}

double pathAngle(double altitudeDegrees, bool rising) {
    return rising ? altitudeDegrees + RisingHorizon : SettingHorizon - altitudeDegrees;
}

std::vector<double> linePathAngles(const Schedule& schedule) {
    const int count = int(schedule.size());
    std::vector<double> angles(schedule.size(), 0.0);
    if (count < 2)
        return angles;
    const auto alt = [&](int k) {
        return schedule[std::size_t(k)].Alt;
    };
    // An Alt without an angle lies on the horizon of its sweep.
    const auto placed = [&](int k, bool rising) {
        const double degrees = altToDegrees(alt(k));
        if (std::isnan(degrees))
            return rising ? RisingHorizon : SettingHorizon;
        return pathAngle(degrees, rising);
    };
    for (int k = 0;; ++k) {
        angles[std::size_t(k)] = placed(k, true);
        if (!(k + 1 <= count - 2 && alt(k + 1) >= alt(k)))
            break;
    }
    // Second, so that the top of the day lies on the setting side.
    for (int k = count - 1;; --k) {
        angles[std::size_t(k)] = placed(k, false);
        if (!(k - 1 >= 1 && alt(k - 1) >= alt(k)))
            break;
    }
    return angles;
}

std::optional<int> hitLine(const std::vector<LinePoint>& points, int channel, QPointF position) {
    if (channel < 0 || channel >= ChannelCount)
        return std::nullopt;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const LinePoint& point = points[k];
        if (std::fabs(position.x() - point.x) <= HitDistance &&
            std::fabs(position.y() - point.y[std::size_t(channel)]) <= HitDistance)
            return int(k);
    }
    return std::nullopt;
}

std::optional<double> sunPathAngle(const BoardDateTime& moment, int latTenths, int lonTenths,
                                   const sunmoon::TimeZoneRules& rules) {
    using namespace sunmoon;
    // The moment carries the zone's exact offset: +5:30 is 5.5 hours.
    const std::optional<GeoMoment> when = geoMoment(moment, rules);
    if (!when)
        return std::nullopt;
    const double latitude = latTenths * 0.1 * DegToRad;
    const double longitude = lonTenths * 0.1 * DegToRad;
    const double siderealTime = LocalSiderealTime(SiderealTime(when->jd), longitude);
    TCoor sun;
    SunPosition(sun, when->jd + DeltaTDays, latitude, siderealTime * 15 * DegToRad);
    if (!std::isfinite(sun.AltitudeAngle))
        return std::nullopt;
    return pathAngle(sun.AltitudeAngle * RadToDeg, sun.Rising);
}

} // namespace kv::curve
