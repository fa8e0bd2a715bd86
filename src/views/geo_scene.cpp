#include "views/geo_scene.h"

#include "views/geo_map.h"
#include "views/moon_phase.h"

namespace kv {

GeoScene::GeoScene(QImage worldMap)
    : worldMap_(std::move(worldMap)), map_(worldMap_.copy()),
      moon_(moonphase::PictureSize, moonphase::PictureSize, QImage::Format_ARGB32_Premultiplied) {
    moon_.fill(Qt::transparent);
}

GeoScene::GeoScene(std::function<QImage()> loadWorldMap)
    : loadWorldMap_(std::move(loadWorldMap)),
      map_(geomap::Width, geomap::Height, QImage::Format_RGB32),
      moon_(moonphase::PictureSize, moonphase::PictureSize, QImage::Format_ARGB32_Premultiplied) {
    map_.fill(Qt::black);
    moon_.fill(Qt::transparent);
}

const QImage& GeoScene::worldMap() {
    if (worldMap_.isNull() && loadWorldMap_)
        worldMap_ = loadWorldMap_();
    return worldMap_;
}

std::optional<GeoFigures> GeoScene::update(int latTenths, int lonTenths,
                                           const BoardDateTime& moment,
                                           const sunmoon::TimeZoneRules& rules) {
    drawMap(latTenths, lonTenths);
    return computeFigures(latTenths, lonTenths, moment, rules);
}

void GeoScene::drawMap(int latTenths, int lonTenths) {
    geomap::copyMap(worldMap(), map_);
    geomap::drawMarker(map_, geomap::pixelOf({latTenths * 0.1, lonTenths * 0.1}));
}

std::optional<GeoFigures> GeoScene::computeFigures(int latTenths, int lonTenths,
                                                   const BoardDateTime& moment,
                                                   const sunmoon::TimeZoneRules& rules) {
    std::optional<GeoFigures> figures = computeGeoFigures(latTenths, lonTenths, moment, rules);
    if (figures)
        moon_ = moonPhaseImage(figures->moonPicture);
    return figures;
}

} // namespace kv
