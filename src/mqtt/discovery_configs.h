#pragma once

#include "mqtt/bridge_topics.h"
#include "mqtt/publication.h"

#include <QJsonObject>
#include <QString>

#include <array>
#include <vector>

namespace kv::mqtt {

// What the configs say of the board itself.
struct DiscoveredBoard {
    QString serialNumber; // as the board gives it
    int firmwareVersion = 0;
    // The board's colour name index of each channel (W, R, G, B).
    std::array<int, 4> colorNames{};
};

// One entity of the board in Home Assistant: its component ("light",
// "sensor", ...), its object ("light_w"), and the settings of its own
// (name, topics, classes). More entities are added to the list of
// boardEntities; every config gets the shared keys in discoveryConfig.
struct DiscoveryEntity {
    QString component;
    QString object;
    QJsonObject settings;
};

// Every entity of the board: four lights, the mode, three buttons, the
// water temperature, the input voltage and a problem sensor per alert kind.
std::vector<DiscoveryEntity> boardEntities(const BridgeTopics& topics,
                                           const DiscoveredBoard& board);

// The name of a channel's light: its colour name on the board, or
// "Kanal W" while it has none.
QString lightName(int channel, int colorName);

// The retained config message of one entity, with the unique id, the
// device and origin blocks and the availability topic.
Publication discoveryConfig(const BridgeTopics& topics, const DiscoveredBoard& board,
                            const DiscoveryEntity& entity);

// The configs of every entity.
std::vector<Publication> discoveryConfigs(const BridgeTopics& topics, const DiscoveredBoard& board);

} // namespace kv::mqtt
