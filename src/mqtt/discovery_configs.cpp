#include "mqtt/discovery_configs.h"

#include "alerts/alert_kind.h"
#include "plot/channel_colors.h"
#include "text/product.h"
#include "text/text_catalogue.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace kv::mqtt {

namespace {

const char* const LightObjects[] = {"light_w", "light_r", "light_g", "light_b"};

QJsonObject availabilityOf(const QString& topic) {
    return {{QStringLiteral("topic"), topic}};
}

QJsonObject deviceBlock(const BridgeTopics& topics, const DiscoveredBoard& board) {
    return {
        {QStringLiteral("identifiers"),
         QJsonArray{QStringLiteral("kestvelqor_") + topics.serial()}},
        {QStringLiteral("name"),
         QStringLiteral("%1 %2").arg(QLatin1String(product::Name), topics.serial())},
        {QStringLiteral("manufacturer"), QLatin1String(product::ManufacturerString)},
        {QStringLiteral("model"), QLatin1String(product::Name)},
        {QStringLiteral("sw_version"), QString::number(board.firmwareVersion)},
        {QStringLiteral("hw_version"), QString::number(product::HardwareGeneration)},
        {QStringLiteral("serial_number"), board.serialNumber},
    };
}

QJsonObject originBlock() {
    return {{QStringLiteral("name"), QStringLiteral("kestvelqorctl")},
            {QStringLiteral("sw_version"), QStringLiteral(KV_VERSION)}};
}

DiscoveryEntity light(const BridgeTopics& topics, const DiscoveredBoard& board, int channel) {
    return {QStringLiteral("light"),
            QLatin1String(LightObjects[channel]),
            {{QStringLiteral("name"), lightName(channel, board.colorNames[std::size_t(channel)])},
             {QStringLiteral("schema"), QStringLiteral("json")},
             {QStringLiteral("brightness"), true},
             {QStringLiteral("brightness_scale"), 4096},
             {QStringLiteral("supported_color_modes"), QJsonArray{QStringLiteral("brightness")}},
             {QStringLiteral("state_topic"), topics.lightState(channel)},
             {QStringLiteral("command_topic"), topics.lightSet(channel)}}};
}

DiscoveryEntity pressButton(const BridgeTopics& topics, const char* name, const char* nameKey,
                            const char* icon) {
    const QString object = QLatin1String(name);
    return {QStringLiteral("button"),
            object,
            {{QStringLiteral("name"), Msg(QLatin1String(nameKey))},
             {QStringLiteral("command_topic"), topics.buttonPress(object)},
             {QStringLiteral("payload_press"), QStringLiteral("PRESS")},
             {QStringLiteral("icon"), QLatin1String(icon)}}};
}

DiscoveryEntity measurement(const QString& object, const QString& name, const QString& stateTopic,
                            const char* deviceClass, const char* unit, int precision) {
    return {QStringLiteral("sensor"),
            object,
            {{QStringLiteral("name"), name},
             {QStringLiteral("state_topic"), stateTopic},
             {QStringLiteral("device_class"), QLatin1String(deviceClass)},
             {QStringLiteral("state_class"), QStringLiteral("measurement")},
             {QStringLiteral("unit_of_measurement"), QString::fromUtf8(unit)},
             {QStringLiteral("suggested_display_precision"), precision}}};
}

const char* problemNameKey(AlertKind kind) {
    switch (kind) {
    case AlertKind::Temperature:
        return "MqttAlertTemperature";
    case AlertKind::SensorLost:
        return "MqttAlertSensorLost";
    case AlertKind::BoardGone:
        return "MqttAlertBoardGone";
    case AlertKind::VoltageLow:
        return "MqttAlertVoltageLow";
    }
    return "MqttAlertTemperature";
}

// An alert kind as a problem sensor, with the alert's text, level, value
// and start among its attributes.
DiscoveryEntity problemSensor(const BridgeTopics& topics, AlertKind kind) {
    const QString name = alertKindName(kind);
    return {QStringLiteral("binary_sensor"),
            QStringLiteral("alert_") + name,
            {{QStringLiteral("name"), Msg(QLatin1String(problemNameKey(kind)))},
             {QStringLiteral("device_class"), QStringLiteral("problem")},
             {QStringLiteral("state_topic"), topics.alertState(name)},
             {QStringLiteral("payload_on"), QStringLiteral("ON")},
             {QStringLiteral("payload_off"), QStringLiteral("OFF")},
             {QStringLiteral("json_attributes_topic"), topics.alertAttributes(name)},
             {QStringLiteral("availability"),
              QJsonArray{availabilityOf(topics.alertsAvailability())}}}};
}

} // namespace

QString lightName(int channel, int colorName) {
    const int color = colorTableIndex(colorName);
    if (color == 0)
        return MsgFmt(QStringLiteral("MqttChannelLight"),
                      {QString(QLatin1Char("WRGB"[channel & 3]))});
    return ColorNameText(color);
}

std::vector<DiscoveryEntity> boardEntities(const BridgeTopics& topics,
                                           const DiscoveredBoard& board) {
    std::vector<DiscoveryEntity> entities;
    for (int channel = 0; channel < 4; ++channel)
        entities.push_back(light(topics, board, channel));

    entities.push_back(
        {QStringLiteral("select"),
         QStringLiteral("mode"),
         {{QStringLiteral("name"), Msg(QStringLiteral("MqttModeEntity"))},
          {QStringLiteral("options"),
           QJsonArray{QStringLiteral("manual"), QStringLiteral("auto"), QStringLiteral("geo")}},
          {QStringLiteral("state_topic"), topics.modeState()},
          {QStringLiteral("command_topic"), topics.modeSet()},
          {QStringLiteral("icon"), QStringLiteral("mdi:theme-light-dark")}}});

    entities.push_back(pressButton(topics, button::Cloud, "MqttCloudEntity", "mdi:weather-cloudy"));
    entities.push_back(
        pressButton(topics, button::Storm, "MqttStormEntity", "mdi:weather-lightning-rainy"));
    entities.push_back(pressButton(topics, button::Save, "MqttSaveEntity", "mdi:content-save"));

    DiscoveryEntity water =
        measurement(QStringLiteral("water_temperature"), Msg(QStringLiteral("MqttWaterEntity")),
                    topics.waterTemperature(), "temperature", "°C", 1);
    // The temperature is there only while the board has its sensor.
    water.settings.insert(QStringLiteral("availability"),
                          QJsonArray{availabilityOf(topics.availability()),
                                     availabilityOf(topics.waterTemperatureAvailability())});
    water.settings.insert(QStringLiteral("availability_mode"), QStringLiteral("all"));
    entities.push_back(water);

    entities.push_back(measurement(QStringLiteral("input_voltage"),
                                   Msg(QStringLiteral("InputVoltage")), topics.inputVoltage(),
                                   "voltage", "V", 2));

    for (AlertKind kind : AllAlertKinds)
        entities.push_back(problemSensor(topics, kind));
    return entities;
}

Publication discoveryConfig(const BridgeTopics& topics, const DiscoveredBoard& board,
                            const DiscoveryEntity& entity) {
    QJsonObject config = entity.settings;
    config.insert(QStringLiteral("unique_id"),
                  QStringLiteral("kestvelqor_") + topics.objectId(entity.object));
    config.insert(QStringLiteral("object_id"),
                  QStringLiteral("kestvelqor_") + topics.objectId(entity.object));
    config.insert(QStringLiteral("device"), deviceBlock(topics, board));
    config.insert(QStringLiteral("origin"), originBlock());
    if (!config.contains(QStringLiteral("availability")))
        config.insert(QStringLiteral("availability"),
                      QJsonArray{availabilityOf(topics.availability())});
    return {topics.configTopic(entity.component, entity.object),
            QJsonDocument(config).toJson(QJsonDocument::Compact), true};
}

std::vector<Publication> discoveryConfigs(const BridgeTopics& topics,
                                          const DiscoveredBoard& board) {
    std::vector<Publication> configs;
    for (const DiscoveryEntity& entity : boardEntities(topics, board))
        configs.push_back(discoveryConfig(topics, board, entity));
    return configs;
}

} // namespace kv::mqtt
