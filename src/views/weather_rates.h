#pragma once

#include <QString>

#include <optional>

namespace kv {

struct InfoBlock;

// The weather rates of the InfoBlock as the Weather tab edits them: how many
// clouds a day and thunderstorms a week, and how long each lasts on average.
// The conversions themselves are the record's (info_block.h).
namespace weather {

// Slider positions of one kind of weather event; nothing for a duration the
// record cannot tell (its end chance is 0).
struct RatePositions {
    int count = 0;
    std::optional<int> duration;
};
RatePositions cloudPositions(const InfoBlock& info);
RatePositions stormPositions(const InfoBlock& info);

// Puts the rates of these slider positions into the record; returns whether
// a field changed.
bool storeCloudRates(InfoBlock& info, int cloudsPerDay, int cloudSeconds);
bool storeStormRates(InfoBlock& info, int stormsPerWeek, int stormMinutes);

// The share of time during which an event is present, "Wolkenanteil: 0,7%"
// (the text of the catalogue key, then the percentage); empty when both
// chances are 0.
QString ratioText(const QString& key, int beginChance, int endChance);

// The texts of the two ratio labels; while the board runs its schedule (Auto
// or Geo) an event going on now is named in front ("Wolke jetzt aktiv •
// Wolkenanteil: 0,7%").
struct RatioTexts {
    QString cloud;
    QString storm;
};
RatioTexts ratioTexts(const InfoBlock& info);

} // namespace weather
} // namespace kv
