#include "geo/board_geo.h"

#include "geo/time_zone_source.h"

namespace kv {

BoardDateTime boardMoment(const InfoBlock& info) {
    return {info.calendarYear(), info.Month, info.Day, info.Hour, info.Minute, info.Second};
}

std::optional<GeoFigures> boardGeoFigures(const InfoBlock& info, const ExpertBlock& expert) {
    const BoardDateTime moment = boardMoment(info);
    return computeGeoFigures(expert.Lat, expert.Lon, moment,
                             timeZoneRules(QTimeZone::systemTimeZone(), moment.year));
}

} // namespace kv
