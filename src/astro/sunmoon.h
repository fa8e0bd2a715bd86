#pragma once

// The astronomy module: sun and moon positions, rise, set, transit and
// twilight times, moon phase and zodiac sign for any place and moment, and the
// computer's time-zone rules. Plain C++ in namespace kv::sunmoon; no Qt.
#include "astro/angles.h"
#include "astro/coordinates.h"
#include "astro/hours_text.h"
#include "astro/moon.h"
#include "astro/names.h"
#include "astro/rise_set.h"
#include "astro/sun.h"
#include "astro/sunmoon_types.h"
#include "astro/time_scales.h"
#include "astro/time_zone_fields.h"
#include "astro/time_zone_rules.h"
