#pragma once

#include "device/records/info_block.h"
#include "mqtt/bridge_topics.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace kv::mqtt {

// What a message to one of the bridge's command topics asks for. Pure: the
// message is only read, nothing is sent.
struct BridgeCommand {
    enum class Kind {
        None,    // not a topic of the bridge: ignored
        Refused, // a command topic with a payload that is refused (see refusal)
        Light,
        Mode,
        Cloud,
        Storm,
        Save,
        HomeAssistantOnline, // Home Assistant (re)started: send everything again
    };
    Kind kind = Kind::None;
    // The light's channel 0..3, also for a refused light command.
    int channel = -1;
    // Light: on or off; the level when the command gave one (OFF is 0).
    bool on = false;
    std::optional<int> level;
    BoardMode mode = BoardMode::Manual;
    // Why the payload was refused: the grammar's reason in English, or the
    // catalogue's refusal of a level out of range.
    QString refusal;
};

// The command of a message that arrived at topic.
BridgeCommand parseCommand(const BridgeTopics& topics, const QString& topic,
                           const QByteArray& payload);

// The light payload alone: {"state":"ON"|"OFF"} with "brightness" 0..4096
// allowed beside "ON"; no other key.
BridgeCommand parseLightPayload(int channel, const QByteArray& payload);

} // namespace kv::mqtt
