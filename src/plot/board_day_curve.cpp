#include "plot/board_day_curve.h"

#include "geo/board_geo.h"
#include "geo/time_zone_source.h"
#include "plot/channel_colors.h"

namespace kv {

namespace {

// The computer's zone rules of a year, worked out once per year.
const sunmoon::TimeZoneRules& zoneRulesOf(int year) {
    static int knownYear = -1;
    static sunmoon::TimeZoneRules rules;
    if (year != knownYear) {
        rules = timeZoneRules(QTimeZone::systemTimeZone(), year);
        knownYear = year;
    }
    return rules;
}

} // namespace

DayCurveScene boardDayCurveScene(const InfoBlock& info, const ExpertBlock& expert,
                                 const Schedule& schedule, int visualChannel) {
    DayCurveScene s;
    s.schedule = schedule;
    s.sunPath = info.inMode(BoardMode::Geo);
    s.clock = boardMoment(info);
    s.latTenths = expert.Lat;
    s.lonTenths = expert.Lon;
    if (s.sunPath)
        s.zone = zoneRulesOf(s.clock.year);
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const int color = colorTableIndex(info.ColorName[std::size_t(channel)]);
        s.curveColors[std::size_t(channel)] = CurveColor(color);
        s.curveShades[std::size_t(channel)] = CurveShade(color);
    }
    s.visualChannel = visualChannel;
    return s;
}

} // namespace kv
