#pragma once

#include "geo/geo_figures.h"

#include <QJsonObject>

namespace kv::present {

// The Geo view's figures as `astro --json` gives them: sun, moon and label.
QJsonObject geoFiguresJson(const GeoFigures& figures);

} // namespace kv::present
