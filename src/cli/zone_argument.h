#pragma once

#include <QString>
#include <QTimeZone>

#include <optional>
#include <variant>

namespace kv::cli {

// What `astro --tz` accepts: a zone id of the time-zone database
// ("Europe/Berlin", "Asia/Kolkata", "UTC"), or a fixed offset from UTC
// written "UTC+05:30", "UTC-8", "+05:30" or "-08:00" (hours 0 to 14,
// minutes 00 to 59, at most 14:00). Anything else is refused, also words
// that Qt would quietly take for a zone at UTC+0 (such as "Mars").
using ZoneArgument = std::variant<QTimeZone, int /* minutes east of UTC */>;
std::optional<ZoneArgument> parseZoneArgument(const QString& text);

} // namespace kv::cli
