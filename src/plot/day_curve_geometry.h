#pragma once

#include "astro/time_zone_rules.h"
#include "device/records/schedule_line.h"
#include "geo/geo_moment.h"

#include <QPointF>

#include <array>
#include <optional>
#include <vector>

// Where things lie in the day-curve picture: level over the clock time of the
// day (Manual and Auto mode), or over the sun's path from nadir through the
// rising horizon, the highest point and the setting horizon back to nadir (Geo
// mode). All coordinates are pixels of a picture of width by height, origin
// top left; the plot area leaves a margin of 20 pixels.
namespace kv {
// Drawing data of one schedule line in the day curve: its x and the y of each
// channel, as the last drawing placed them (the view that drags the handles
// keeps them).
struct LinePoint {
    double x = 0;
    std::array<double, 4> y{};
};
} // namespace kv

namespace kv::curve {

inline constexpr int Margin = 20;
inline constexpr int MinutesPerDay = 1440;
inline constexpr double FullPath = 360; // nadir to nadir, in degrees of path
// A handle is hit within this many pixels of its line's point, either way.
inline constexpr double HitDistance = 8;

struct CurveFrame {
    int width = 0;
    int height = 0;

    // x of a clock time in minutes after midnight.
    double timeX(double minutes) const;
    // x of a path angle in degrees (0 nadir, 90 rising horizon, 180 zenith,
    // 270 setting horizon, 360 nadir).
    double pathX(double pathAngle) const;
    // y of a level 0 to 4096.
    double levelY(double level) const;
    // The grid: vertical lines 0 to 24, horizontal lines 0 to 10.
    int gridX(int line) const;
    int gridY(int line) const;

    // The inverse, for a drag: the clock time under x, rounded to a minute and
    // held within 0 to 1440 (the right edge is 24:00), and the level under y,
    // held within 0 to 4096. Nothing for a picture without a plot area.
    std::optional<int> minutesAt(double x) const;
    std::optional<int> levelAt(double y) const;
};

// The path angle of a sun altitude in degrees: altitude + 90 while the sun
// rises, 270 - altitude while it sets.
double pathAngle(double altitudeDegrees, bool rising);

// Each line's path angle in Geo mode. The morning lines are those of the
// rising sweep from the first line for as long as the altitudes do not fall;
// the evening lines those of the setting sweep back from the last line for as
// long as they do not fall either. A line reached by both (the top of the day)
// lies on the setting side; a line reached by neither lies at 0, as does the
// only line of a one-line schedule. An Alt without an angle lies at 90 or 270.
std::vector<double> linePathAngles(const Schedule& schedule);

// The first line whose point for the channel lies within HitDistance of the
// position; nothing when none does.
std::optional<int> hitLine(const std::vector<LinePoint>& points, int channel, QPointF position);

// The sun's path angle at the board's date and time at a place (tenths of a
// degree) under the given zone rules, with the zone's exact offset. Nothing
// for an impossible date or time.
std::optional<double> sunPathAngle(const BoardDateTime& moment, int latTenths, int lonTenths,
                                   const sunmoon::TimeZoneRules& rules);

} // namespace kv::curve
