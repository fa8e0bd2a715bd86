#include "views/weather_rates.h"

#include "device/records/info_block.h"
#include "text/number_format.h"
#include "text/text_catalogue.h"

namespace kv::weather {

namespace {

// The record keeps the low 16 bits.
bool storeChance(std::uint16_t& field, std::int64_t value) {
    const auto stored = std::uint16_t(value & 0xFFFF);
    if (field == stored)
        return false;
    field = stored;
    return true;
}

std::optional<int> durationPosition(std::int64_t duration) {
    if (duration < 0)
        return std::nullopt;
    return int(duration);
}

QString activeNow(const QString& key, const QString& ratio) {
    return Msg(key) + QStringLiteral(" \u2022 ") + ratio;
}

} // namespace

RatePositions cloudPositions(const InfoBlock& info) {
    return {int(cloudPToCloudsPerDay(info.CloudP)),
            durationPosition(cloudDToCloudSeconds(info.CloudD))};
}

RatePositions stormPositions(const InfoBlock& info) {
    return {int(stormPToStormsPerWeek(info.StormP)),
            durationPosition(stormDToStormMinutes(info.StormD))};
}

bool storeCloudRates(InfoBlock& info, int cloudsPerDay, int cloudSeconds) {
    const bool begin = storeChance(info.CloudP, cloudsPerDayToCloudP(cloudsPerDay));
    const bool end = storeChance(info.CloudD, cloudSecondsToCloudD(cloudSeconds));
    return begin || end;
}

bool storeStormRates(InfoBlock& info, int stormsPerWeek, int stormMinutes) {
    const bool begin = storeChance(info.StormP, stormsPerWeekToStormP(stormsPerWeek));
    const bool end = storeChance(info.StormD, stormMinutesToStormD(stormMinutes));
    return begin || end;
}

QString ratioText(const QString& key, int beginChance, int endChance) {
    const int sum = beginChance + endChance;
    if (sum <= 0)
        return {};
    return Msg(key) + QStringLiteral(": ") + formatNumber(beginChance * 100.0 / sum, u"0.#") +
           QLatin1Char('%');
}

RatioTexts ratioTexts(const InfoBlock& info) {
    RatioTexts texts{ratioText(QStringLiteral("CloudRatio"), info.CloudP, info.CloudD),
                     ratioText(QStringLiteral("StormRatio"), info.StormP, info.StormD)};
    if (info.runsSchedule()) {
        if (info.ActivityFlags & activity::Cloud)
            texts.cloud = activeNow(QStringLiteral("CloudActiveNow"), texts.cloud);
        if (info.ActivityFlags & activity::Storm)
            texts.storm = activeNow(QStringLiteral("StormActiveNow"), texts.storm);
    }
    return texts;
}

} // namespace kv::weather
