// Conversions between the InfoBlock's weather chances and the counts and
// durations the user edits. The board steps its weather every 0.1 s; the
// chances are in units of 1/2^19 (clouds) and 1/2^23 (storms). Integer
// division in C++ truncates toward zero, as these conversions require.
#include "device/records/info_block.h"

namespace kv {

namespace {
constexpr std::int64_t StepsPerDay = 864000; // 0.1 s steps
constexpr std::int64_t CloudUnit = 524288;
constexpr std::int64_t StormUnit = 8388608;
constexpr std::int64_t DaysPerWeek = 7;
constexpr std::int64_t NoEnd = 65535; // a duration of 0 or below: the event never ends by chance
} // namespace

std::int64_t cloudsPerDayToCloudP(std::int64_t cloudsPerDay) {
    return cloudsPerDay * CloudUnit / StepsPerDay;
}

std::int64_t cloudPToCloudsPerDay(std::uint16_t cloudP) {
    return std::int64_t{cloudP} * StepsPerDay / CloudUnit;
}

std::int64_t cloudSecondsToCloudD(std::int64_t seconds) {
    if (seconds <= 0)
        return NoEnd;
    return (CloudUnit / seconds) / 10;
}

std::int64_t cloudDToCloudSeconds(std::uint16_t cloudD) {
    if (cloudD == 0)
        return -1;
    return (CloudUnit / cloudD) / 10;
}

std::int64_t stormsPerWeekToStormP(std::int64_t stormsPerWeek) {
    return (stormsPerWeek * StormUnit / StepsPerDay) / DaysPerWeek;
}

std::int64_t stormPToStormsPerWeek(std::uint16_t stormP) {
    return std::int64_t{stormP} * StepsPerDay * DaysPerWeek / StormUnit;
}

std::int64_t stormMinutesToStormD(std::int64_t minutes) {
    if (minutes <= 0)
        return NoEnd;
    return ((StormUnit / minutes) / 10) / 60;
}

std::int64_t stormDToStormMinutes(std::uint16_t stormD) {
    if (stormD == 0)
        return -1;
    return ((StormUnit / stormD) / 10) / 60;
}

} // namespace kv
