#pragma once

#include "astro/time_zone_rules.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"
#include "geo/geo_moment.h"
#include "plot/day_curve_geometry.h"

#include <QFont>
#include <QImage>
#include <QLocale>
#include <QRgb>

#include <array>
#include <vector>

// The day curve: the schedule drawn as one curve per channel, the chosen
// channel on top with its area filled and square handles at its lines, and a
// marker where the board is in its day now.
namespace kv {

// Everything the picture shows, as plain values.
struct DayCurveScene {
    Schedule schedule;
    // Level over the sun's path (Geo mode) instead of over the clock time.
    bool sunPath = false;
    // The board's clock, for the marker.
    BoardDateTime clock;
    // The place of the Geo mode (tenths of a degree) and the zone rules of the
    // board's clock, for the marker on the sun's path.
    int latTenths = 0;
    int lonTenths = 0;
    sunmoon::TimeZoneRules zone;
    // Per channel: the curve's line colour and the shade of its area.
    std::array<QRgb, ChannelCount> curveColors{};
    std::array<QRgb, ChannelCount> curveShades{};
    // The channel drawn on top, 0 to 3, and the line being dragged (-1: none).
    int visualChannel = 0;
    int dragLine = -1;
    QFont font;
    QLocale locale;
};

// The picture's colours.
namespace curvecolor {
inline constexpr QRgb Background = 0xFF000000;
inline constexpr QRgb Grid = 0xFF101010;
inline constexpr QRgb Labels = 0xFF808080;
inline constexpr QRgb Marker = 0xFFC0C0C0;
inline constexpr QRgb DragLabelBackground = 0xFFFFFFFF;
inline constexpr QRgb DragLabelText = 0xFF000000;
} // namespace curvecolor

// Draws the scene over the whole image (which must be a 32-bit image of the
// picture's size) and returns where each line lies: its x and its y for every
// channel, as the mouse hits them. DrawDayCurve takes the sun's path or the
// clock time by the scene; the other two draw the one they name.
std::vector<LinePoint> DrawDayCurve(QImage& image, const DayCurveScene& scene);
std::vector<LinePoint> DrawTimeCurve(QImage& image, const DayCurveScene& scene);
std::vector<LinePoint> DrawPathCurve(QImage& image, const DayCurveScene& scene);

// The label over a dragged line: "08:30 45.5%" by clock time, "30.5° 46%" on
// the sun's path.
QString dragLabelText(const ScheduleLine& line, int channel, bool sunPath,
                      const QLocale& locale = QLocale());

} // namespace kv
