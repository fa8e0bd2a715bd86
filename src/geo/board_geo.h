#pragma once

#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "geo/geo_figures.h"
#include "geo/geo_moment.h"

#include <optional>

namespace kv {

// The board's clock as a moment.
BoardDateTime boardMoment(const InfoBlock& info);

// The Geo view's figures of the board: its place (the expert settings' Lat
// and Lon) at its clock under the computer's zone rules of that year.
// Nothing before the board's clock is known.
std::optional<GeoFigures> boardGeoFigures(const InfoBlock& info, const ExpertBlock& expert);

} // namespace kv
