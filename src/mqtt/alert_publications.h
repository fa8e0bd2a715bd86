#pragma once

#include "alerts/alert_status.h"
#include "mqtt/bridge_topics.h"
#include "mqtt/publication.h"

#include <vector>

namespace kv::mqtt {

// The state and attributes of every alert kind's problem sensor: "ON" with
// the alert's level, text, value and start while it is active, "OFF" with
// the level "cleared" otherwise. All retained.
std::vector<Publication> alertPublications(const BridgeTopics& topics,
                                           const std::vector<AlertStatus>& active);

} // namespace kv::mqtt
