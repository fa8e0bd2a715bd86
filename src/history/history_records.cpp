#include "history/history_records.h"

namespace kv {

HistorySample HistorySample::of(const InfoBlock& info, qint64 time) {
    HistorySample sample;
    sample.time = time;
    if (info.WaterTemp != NoValue)
        sample.water = info.WaterTemp;
    if (info.InputVoltage != NoValue)
        sample.voltage = info.InputVoltage;
    for (std::size_t channel = 0; channel < sample.levels.size(); ++channel)
        sample.levels[channel] = info.Level[channel];
    sample.mode = info.Mode;
    sample.cloud = (info.ActivityFlags & activity::Cloud) != 0;
    sample.storm = (info.ActivityFlags & activity::Storm) != 0;
    return sample;
}

} // namespace kv
