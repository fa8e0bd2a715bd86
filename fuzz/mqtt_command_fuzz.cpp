// What arrives on the MQTT bridge's command topics (the four lights, the
// mode, the three buttons, Home Assistant's status, or any other topic):
// the first byte picks the topic, the rest is the payload. Rules: a command
// is only ever of its own topic's kind; a refusal says why; an accepted
// light's level lies in 0..4096 (OFF is 0) and the same command written as
// Home Assistant writes it reads back the same; parsing is repeatable.
#include "fuzz_input.h"
#include "fuzz_target.h"

#include "mqtt/bridge_topics.h"
#include "mqtt/command_payload.h"
#include "mqtt/state_publisher.h"

namespace {

using namespace kv;
using namespace kv::mqtt;
using Kind = BridgeCommand::Kind;

const BridgeTopics Topics(QStringLiteral("homeassistant"), QStringLiteral("SIM-0001"));

// The topic of the first byte: 0..3 a light, then the mode, the buttons,
// Home Assistant's status and a topic of the input's own.
QString topicOf(fuzz::FuzzInput& input, int& channel) {
    const std::size_t choice = input.below(9);
    channel = choice < 4 ? int(choice) : -1;
    switch (choice) {
    case 4:
        return Topics.modeSet();
    case 5:
        return Topics.buttonPress(QLatin1String(button::Cloud));
    case 6:
        return Topics.buttonPress(QLatin1String(button::Storm));
    case 7:
        return Topics.buttonPress(QLatin1String(button::Save));
    case 8:
        return input.flag() ? Topics.homeAssistantStatus()
                            : Topics.base() + QLatin1Char('/') + QString::fromUtf8(input.line(64));
    default:
        return Topics.lightSet(channel);
    }
}

bool same(const BridgeCommand& a, const BridgeCommand& b) {
    return a.kind == b.kind && a.channel == b.channel && a.on == b.on && a.level == b.level &&
           a.mode == b.mode && a.refusal == b.refusal;
}

int fuzzMqttCommand(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    fuzz::FuzzInput input(data, size);
    int channel = -1;
    const QString topic = topicOf(input, channel);
    const QByteArray payload = input.rest();
    const BridgeCommand command = parseCommand(Topics, topic, payload);
    KV_FUZZ_CHECK(same(command, parseCommand(Topics, topic, payload)));

    if (command.kind == Kind::Refused)
        KV_FUZZ_CHECK(!command.refusal.isEmpty());
    else
        KV_FUZZ_CHECK(command.refusal.isEmpty());
    if (channel >= 0) {
        KV_FUZZ_CHECK(command.kind == Kind::Light || command.kind == Kind::Refused);
        KV_FUZZ_CHECK(command.channel == channel);
    } else {
        KV_FUZZ_CHECK(command.kind != Kind::Light);
    }
    if (command.kind == Kind::Mode)
        KV_FUZZ_CHECK(topic == Topics.modeSet() && boardModeOf(std::uint8_t(command.mode)));
    if (command.kind == Kind::Cloud || command.kind == Kind::Storm || command.kind == Kind::Save)
        KV_FUZZ_CHECK(payload.trimmed() == "PRESS");
    if (command.kind == Kind::Light) {
        if (!command.on)
            KV_FUZZ_CHECK(command.level == 0);
        if (command.level)
            KV_FUZZ_CHECK(*command.level >= 0 && *command.level <= FullLevel);
        // The command as Home Assistant writes it means the same.
        QByteArray written =
            command.on ? QByteArray(R"({"state":"ON")") : QByteArray(R"({"state":"OFF")");
        if (command.on && command.level)
            written += ",\"brightness\":" + QByteArray::number(*command.level);
        written += '}';
        KV_FUZZ_CHECK(same(parseCommand(Topics, topic, written), command));
        // And the state it leads to reads as a command of the same level.
        if (command.level && *command.level > 0)
            KV_FUZZ_CHECK(
                parseCommand(Topics, topic, StatePublisher::lightPayload(*command.level)).level ==
                command.level);
    }
    return 0;
}

} // namespace

KV_FUZZ_TARGET("mqtt_command", fuzzMqttCommand)
