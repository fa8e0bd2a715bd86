#pragma once

#include "astro/time_zone_rules.h"
#include "geo/geo_figures.h"

#include <QImage>

#include <functional>
#include <optional>

namespace kv {

// What the Geo tab draws for a place and a board moment: the world map with
// the place's marker, the figures of sun and moon (with the label text) and
// the moon's phase picture. Widget-free, so it can be measured on its own.
class GeoScene {
public:
    // The world map, drawn on a copy (see geomap::loadWorldMap).
    explicit GeoScene(QImage worldMap);
    // The world map as the loader gives it, loaded when the map is first
    // drawn (decoding it is most of the work of a redraw).
    explicit GeoScene(std::function<QImage()> loadWorldMap);

    // Redraws the map with the marker of the place (tenths of a degree), then
    // computes the figures of the moment and, when there are figures, the
    // moon picture. Nothing for a moment that gives no figures (an impossible
    // date): the map is redrawn all the same, the moon picture stays.
    std::optional<GeoFigures> update(int latTenths, int lonTenths, const BoardDateTime& moment,
                                     const sunmoon::TimeZoneRules& rules);
    // The two halves of update().
    void drawMap(int latTenths, int lonTenths);
    std::optional<GeoFigures> computeFigures(int latTenths, int lonTenths,
                                             const BoardDateTime& moment,
                                             const sunmoon::TimeZoneRules& rules);

    const QImage& worldMap();
    const QImage& map() const { return map_; }
    const QImage& moon() const { return moon_; }

private:
    std::function<QImage()> loadWorldMap_;
    QImage worldMap_; // taken once, never drawn on
    QImage map_;
    QImage moon_;
};

} // namespace kv
