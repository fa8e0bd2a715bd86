#include "cli/serve_mqtt.h"

#include "cli/cli_context.h"
#include "mqtt/broker_url.h"
#include "mqtt/mqtt_password.h"

#include <QFileInfo>

namespace kv::cli {

std::optional<mqtt::BridgeSettings> mqttSettings(Context& c, const CommandWords& words,
                                                 bool& failed) {
    failed = false;
    const auto fail = [&](const QString& message) {
        failed = true;
        c.fail(ExitUsage, message);
        return std::nullopt;
    };
    const auto url = words.value("--mqtt");
    if (!url) {
        for (const QString& option : MqttValueOptions)
            if (words.value(option))
                return fail(QStringLiteral("%1 needs --mqtt URL").arg(option));
        return std::nullopt;
    }
    QString error;
    const auto broker = mqtt::parseBrokerUrl(*url, error);
    if (!broker)
        return fail(error);

    mqtt::BridgeSettings settings;
    settings.broker = *broker;
    const auto passwordFile = words.value("--mqtt-password-file");
    const auto password = mqtt::readBrokerPassword(passwordFile, error);
    if (!password)
        return fail(error);
    if (passwordFile && broker->user.isEmpty())
        return fail(QStringLiteral("--mqtt-password-file needs a user in the URL "
                                   "(mqtt://USER@HOST)"));
    // A password in the environment without a user is not used: a broker
    // takes a password only with a user name.
    if (!broker->user.isEmpty())
        settings.password = *password;

    if (const auto caFile = words.value("--mqtt-ca-file")) {
        if (!broker->tls)
            return fail(QStringLiteral("--mqtt-ca-file needs an mqtts:// broker"));
        if (!QFileInfo(*caFile).isReadable())
            return fail(QStringLiteral("--mqtt-ca-file: cannot read %1").arg(*caFile));
        settings.caFile = *caFile;
    }
    if (const auto prefix = words.value("--mqtt-prefix")) {
        if (!mqtt::isValidPrefix(*prefix))
            return fail(QStringLiteral("--mqtt-prefix must be topic levels of A-Z, a-z, 0-9, _ "
                                       "and -, separated by / (such as homeassistant)"));
        settings.prefix = *prefix;
    }
    // A board chosen by its serial number is named before it connects; a
    // HID path names no serial number.
    const QString device = c.args().device;
    if (!device.isEmpty() && !device.startsWith(QLatin1Char('/')))
        settings.serialNumber = device;
    return settings;
}

} // namespace kv::cli
