#include "mqtt/bridge_topics.h"

#include <QStringList>

namespace kv::mqtt {

namespace {

bool isTopicWordCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'-';
}

QString channelLetter(int channel) {
    return QString(QLatin1Char("WRGB"[channel & 3]));
}

} // namespace

QString topicSerial(const QString& serialNumber) {
    QString reduced;
    for (QChar c : serialNumber)
        if (isTopicWordCharacter(c))
            reduced += c;
    return reduced.isEmpty() ? QStringLiteral("unknown") : reduced;
}

bool isValidPrefix(const QString& prefix) {
    if (prefix.isEmpty())
        return false;
    for (const QString& level : prefix.split(QLatin1Char('/'))) {
        if (level.isEmpty())
            return false;
        for (QChar c : level)
            if (!isTopicWordCharacter(c))
                return false;
    }
    return true;
}

BridgeTopics::BridgeTopics(const QString& prefix, const QString& serialNumber)
    : prefix_(prefix), serial_(topicSerial(serialNumber)),
      base_(QStringLiteral("kestvelqor/") + serial_) {}

QString BridgeTopics::availability() const {
    return base_ + QStringLiteral("/availability");
}

QString BridgeTopics::lightState(int channel) const {
    return base_ + QStringLiteral("/light/") + channelLetter(channel) + QStringLiteral("/state");
}

QString BridgeTopics::lightSet(int channel) const {
    return base_ + QStringLiteral("/light/") + channelLetter(channel) + QStringLiteral("/set");
}

QString BridgeTopics::modeState() const {
    return base_ + QStringLiteral("/mode/state");
}

QString BridgeTopics::modeSet() const {
    return base_ + QStringLiteral("/mode/set");
}

QString BridgeTopics::buttonPress(const QString& button) const {
    return base_ + QStringLiteral("/button/") + button + QStringLiteral("/press");
}

QString BridgeTopics::waterTemperature() const {
    return base_ + QStringLiteral("/water_temperature");
}

QString BridgeTopics::waterTemperatureAvailability() const {
    return waterTemperature() + QStringLiteral("/availability");
}

QString BridgeTopics::inputVoltage() const {
    return base_ + QStringLiteral("/input_voltage");
}

QString BridgeTopics::alertsAvailability() const {
    return base_ + QStringLiteral("/alerts/availability");
}

QString BridgeTopics::alertState(const QString& kind) const {
    return base_ + QStringLiteral("/alert/") + kind + QStringLiteral("/state");
}

QString BridgeTopics::alertAttributes(const QString& kind) const {
    return base_ + QStringLiteral("/alert/") + kind + QStringLiteral("/attributes");
}

QString BridgeTopics::lightSetPattern() const {
    return base_ + QStringLiteral("/light/+/set");
}

QString BridgeTopics::buttonPattern() const {
    return base_ + QStringLiteral("/button/+/press");
}

QString BridgeTopics::homeAssistantStatus() const {
    return prefix_ + QStringLiteral("/status");
}

QString BridgeTopics::objectId(const QString& object) const {
    return serial_ + QLatin1Char('_') + object;
}

QString BridgeTopics::configTopic(const QString& component, const QString& object) const {
    return prefix_ + QLatin1Char('/') + component + QLatin1Char('/') + objectId(object) +
           QStringLiteral("/config");
}

} // namespace kv::mqtt
