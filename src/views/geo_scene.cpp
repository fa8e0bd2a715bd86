#include "views/geo_scene.h"

#include "views/geo_map.h"
#include "views/moon_phase.h"

namespace kv {

GeoScene::GeoScene(QImage worldMap)
    : worldMap_(std::move(worldMap)), map_(worldMap_.copy()),
      moon_(moonphase::PictureSize, moonphase::PictureSize, QImage::Format_ARGB32_Premultiplied) {
    moon_.fill(Qt::transparent);
}

std::optional<GeoFigures> GeoScene::update(int latTenths, int lonTenths,
                                           const BoardDateTime& moment,
                                           const sunmoon::TimeZoneRules& rules) {
    geomap::copyMap(worldMap_, map_);
    geomap::drawMarker(map_, geomap::pixelOf({latTenths * 0.1, lonTenths * 0.1}));
    std::optional<GeoFigures> figures = computeGeoFigures(latTenths, lonTenths, moment, rules);
    if (figures)
        moon_ = moonPhaseImage(figures->moonPicture);
    return figures;
}

} // namespace kv
