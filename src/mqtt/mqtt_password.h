#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kv::mqtt {

// The environment variable that may hold the broker's password.
inline constexpr const char* PasswordVariable = "KESTVELQOR_MQTT_PASSWORD";

// The broker's password: the first line of --mqtt-password-file FILE, else
// the environment variable, else none (empty). Nothing, with the reason in
// English, when the file cannot be read. The password itself is never part
// of a message.
std::optional<QByteArray> readBrokerPassword(const std::optional<QString>& file, QString& error);

} // namespace kv::mqtt
