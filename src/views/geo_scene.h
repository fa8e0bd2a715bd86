#pragma once

#include "astro/time_zone_rules.h"
#include "geo/geo_figures.h"

#include <QImage>

#include <optional>

namespace kv {

// What the Geo tab draws for a place and a board moment: the world map with
// the place's marker, the figures of sun and moon (with the label text) and
// the moon's phase picture. Widget-free, so it can be measured on its own.
class GeoScene {
public:
    // The world map, drawn on a copy (see geomap::loadWorldMap).
    explicit GeoScene(QImage worldMap);

    // Redraws the map with the marker of the place (tenths of a degree), then
    // computes the figures of the moment and, when there are figures, the
    // moon picture. Nothing for a moment that gives no figures (an impossible
    // date): the map is redrawn all the same, the moon picture stays.
    std::optional<GeoFigures> update(int latTenths, int lonTenths, const BoardDateTime& moment,
                                     const sunmoon::TimeZoneRules& rules);

    const QImage& worldMap() const { return worldMap_; }
    const QImage& map() const { return map_; }
    const QImage& moon() const { return moon_; }

private:
    QImage worldMap_; // taken once, never drawn on
    QImage map_;
    QImage moon_;
};

} // namespace kv
