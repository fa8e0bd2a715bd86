#pragma once

#include "device/records/info_block.h"
#include "mqtt/bridge_topics.h"
#include "mqtt/publication.h"

#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

namespace kv::mqtt {

// Decides which state messages a board's InfoBlock calls for: the levels and
// the mode when they changed, the water temperature when it moved by 0.1 °C
// or more, the input voltage when it moved by 0.05 V or more, and both
// measurements at least once a minute. Pure: the moment is given.
class StatePublisher {
public:
    static constexpr qint64 MeasurementPeriodMs = 60 * 1000;
    // In the records' units: tenths of a degree, hundredths of a volt.
    static constexpr int TemperatureStep = 1;
    static constexpr int VoltageStep = 5;

    explicit StatePublisher(BridgeTopics topics);

    // Every state as it is now (after a connection or a board that came
    // back); the next changes are measured from it.
    std::vector<Publication> everything(const InfoBlock& info, qint64 nowMs);
    // The states that changed since they were last published.
    std::vector<Publication> changes(const InfoBlock& info, qint64 nowMs);
    // One light's state again, as it is (a refused command is answered so).
    Publication lightState(const InfoBlock& info, int channel) const;
    // The mode's state again; nothing for a Mode byte that is no mode.
    std::optional<Publication> modeState(const InfoBlock& info) const;

    // The level a light comes back to when it is switched on without a
    // brightness: the last one above 0 seen, or full.
    int lastLitLevel(int channel) const;

    // {"state":"ON"|"OFF","brightness":LEVEL}
    static QByteArray lightPayload(int level);

private:
    void see(const InfoBlock& info);
    void publishLight(const InfoBlock& info, int channel, std::vector<Publication>& out);
    void publishMode(const InfoBlock& info, std::vector<Publication>& out);
    void publishTemperature(const InfoBlock& info, std::vector<Publication>& out);
    void publishVoltage(const InfoBlock& info, std::vector<Publication>& out);

    BridgeTopics topics_;
    std::array<std::optional<int>, ChannelCount> levels_{};
    std::array<int, ChannelCount> lastLit_{};
    std::optional<std::uint8_t> mode_;
    // NoValue: published as missing.
    std::optional<int> temperature_;
    std::optional<int> voltage_;
    std::optional<qint64> measuredAt_;
};

} // namespace kv::mqtt
