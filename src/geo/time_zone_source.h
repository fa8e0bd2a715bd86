#pragma once

#include "astro/time_zone_rules.h"

#include <QDate>
#include <QTimeZone>

namespace kv {

// The rules of a time zone in the form the Geo view and the board use: its
// standard offset as bias, and its two switches of the given year as "n-th
// weekday of the month" (5 = the last one) at the local time just before the
// switch. A zone without daylight saving that year gets no switches (month
// 0). Works from the zone's transitions, so on every platform.
sunmoon::TimeZoneRules timeZoneRules(const QTimeZone& zone = QTimeZone::systemTimeZone(),
                                     int year = QDate::currentDate().year());

} // namespace kv
