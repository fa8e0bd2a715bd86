#include "mqtt/command_payload.h"

#include "board/value_words.h"
#include "device/records/field_range.h"
#include "text/range_reason.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

namespace kv::mqtt {

namespace {

using Kind = BridgeCommand::Kind;

// A payload longer than any command is refused unread.
constexpr qsizetype MaxPayloadBytes = 1024;

BridgeCommand refused(QString why, int channel = -1) {
    BridgeCommand command;
    command.kind = Kind::Refused;
    command.channel = channel;
    command.refusal = std::move(why);
    return command;
}

BridgeCommand ofKind(Kind kind) {
    BridgeCommand command;
    command.kind = kind;
    return command;
}

// The channel of a light's set topic; -1 for any other topic.
int lightChannelOf(const BridgeTopics& topics, const QString& topic) {
    for (int channel = 0; channel < ChannelCount; ++channel)
        if (topic == topics.lightSet(channel))
            return channel;
    return -1;
}

BridgeCommand buttonCommand(const QByteArray& payload, Kind kind) {
    if (payload.trimmed() != "PRESS")
        return refused(QStringLiteral("a button takes PRESS"));
    return ofKind(kind);
}

} // namespace

BridgeCommand parseLightPayload(int channel, const QByteArray& payload) {
    if (payload.size() > MaxPayloadBytes)
        return refused(QStringLiteral("the payload is too long"), channel);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refused(QStringLiteral("the payload is no JSON object"), channel);
    const QJsonObject object = document.object();
    for (auto key = object.begin(); key != object.end(); ++key)
        if (key.key() != QLatin1String("state") && key.key() != QLatin1String("brightness"))
            return refused(QStringLiteral("unknown key \"%1\"").arg(key.key()), channel);

    const QJsonValue state = object.value(QStringLiteral("state"));
    BridgeCommand command;
    command.kind = Kind::Light;
    command.channel = channel;
    if (state == QLatin1String("ON"))
        command.on = true;
    else if (state != QLatin1String("OFF"))
        return refused(QStringLiteral("state must be \"ON\" or \"OFF\""), channel);

    const QJsonValue brightness = object.value(QStringLiteral("brightness"));
    if (!brightness.isUndefined()) {
        if (!command.on)
            return refused(QStringLiteral("brightness goes only with \"ON\""), channel);
        const double value = brightness.toDouble(std::nan(""));
        if (!brightness.isDouble() || value != std::floor(value))
            return refused(QStringLiteral("brightness must be a whole number"), channel);
        if (!fieldrange::Level.contains(value))
            return refused(rangeRefusal(fieldrange::Level).text(), channel);
        command.level = int(value);
    } else if (!command.on) {
        command.level = 0;
    }
    return command;
}

BridgeCommand parseCommand(const BridgeTopics& topics, const QString& topic,
                           const QByteArray& payload) {
    if (topic == topics.homeAssistantStatus())
        return payload.trimmed() == "online" ? ofKind(Kind::HomeAssistantOnline) : BridgeCommand{};
    const int channel = lightChannelOf(topics, topic);
    if (channel >= 0)
        return parseLightPayload(channel, payload);
    if (topic == topics.modeSet()) {
        const QString word = QString::fromUtf8(payload.left(MaxPayloadBytes)).trimmed();
        const auto mode = words::modeOf(word);
        if (!mode || payload.size() > MaxPayloadBytes)
            return refused(QStringLiteral("the mode must be manual, auto or geo"));
        BridgeCommand command = ofKind(Kind::Mode);
        command.mode = *mode;
        return command;
    }
    if (topic == topics.buttonPress(QLatin1String(button::Cloud)))
        return buttonCommand(payload, Kind::Cloud);
    if (topic == topics.buttonPress(QLatin1String(button::Storm)))
        return buttonCommand(payload, Kind::Storm);
    if (topic == topics.buttonPress(QLatin1String(button::Save)))
        return buttonCommand(payload, Kind::Save);
    return {};
}

} // namespace kv::mqtt
