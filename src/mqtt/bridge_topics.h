#pragma once

#include <QString>

namespace kv::mqtt {

// The default discovery prefix of Home Assistant.
inline constexpr const char* DefaultPrefix = "homeassistant";

// The board's USB serial number as topics and object ids carry it: only
// A-Z, a-z, 0-9, "_" and "-" kept; "unknown" when nothing is left.
QString topicSerial(const QString& serialNumber);

// Whether a discovery prefix can be used: one or more topic levels of
// A-Z, a-z, 0-9, "_" and "-", separated by single "/".
bool isValidPrefix(const QString& prefix);

// The names of the bridge's buttons in their topics and object ids.
namespace button {
inline constexpr const char* Cloud = "cloud";
inline constexpr const char* Storm = "storm";
inline constexpr const char* Save = "save";
} // namespace button

// Every topic of one board under kestvelqor/SERIAL, and the discovery topics
// under the prefix.
class BridgeTopics {
public:
    BridgeTopics(const QString& prefix, const QString& serialNumber);

    const QString& prefix() const { return prefix_; }
    const QString& serial() const { return serial_; } // reduced
    const QString& base() const { return base_; }

    QString availability() const;
    // channel 0..3 (W, R, G, B)
    QString lightState(int channel) const;
    QString lightSet(int channel) const;
    QString modeState() const;
    QString modeSet() const;
    QString buttonPress(const QString& button) const;
    QString waterTemperature() const;
    QString waterTemperatureAvailability() const;
    QString inputVoltage() const;
    // The alerts: one problem sensor per kind ("temperature", ...), with
    // an availability of their own that stays online while the board is
    // gone (the board being gone is one of them).
    QString alertsAvailability() const;
    QString alertState(const QString& kind) const;
    QString alertAttributes(const QString& kind) const;

    // What the bridge subscribes to.
    QString lightSetPattern() const; // every channel's set topic
    QString buttonPattern() const;   // every button's press topic
    QString homeAssistantStatus() const;

    // An entity's object id (SERIAL_OBJECT) and its config topic.
    QString objectId(const QString& object) const;
    QString configTopic(const QString& component, const QString& object) const;

private:
    QString prefix_;
    QString serial_;
    QString base_;
};

} // namespace kv::mqtt
