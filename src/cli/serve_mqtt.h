#pragma once

#include "cli/cli_args.h"
#include "mqtt/mqtt_bridge.h"

#include <memory>
#include <optional>

namespace kv::cli {

class Context;

// serve's options of the MQTT bridge.
inline const QStringList MqttValueOptions{"--mqtt", "--mqtt-password-file", "--mqtt-ca-file",
                                          "--mqtt-prefix"};

// The bridge's settings from --mqtt URL and its options. Nothing without
// --mqtt; wrong options are told on standard error and set failed (serve
// then ends with status 2).
std::optional<mqtt::BridgeSettings> mqttSettings(Context& c, const CommandWords& words,
                                                 bool& failed);

} // namespace kv::cli
