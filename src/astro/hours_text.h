#pragma once

#include <string>

namespace kv::sunmoon {

// An hour value as clock text "HH:MM", minutes rounded (halves to even), so
// 6.5 gives "06:30" and 23.995 gives "24:00". A negative value (callers use -1
// for an event that does not happen on the date) or one that is not a finite
// number gives "--:--". Never fails.
std::string HoursToText(double H);

} // namespace kv::sunmoon
