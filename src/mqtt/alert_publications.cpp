#include "mqtt/alert_publications.h"

#include "alerts/alert_json.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace kv::mqtt {

std::vector<Publication> alertPublications(const BridgeTopics& topics,
                                           const std::vector<AlertStatus>& active) {
    std::vector<Publication> publications;
    for (AlertKind kind : AllAlertKinds) {
        const QString name = alertKindName(kind);
        const auto status = std::find_if(active.begin(), active.end(),
                                         [&](const AlertStatus& s) { return s.kind == kind; });
        const bool on = status != active.end();
        QJsonObject attributes;
        if (on) {
            attributes = alertStatusJson(*status);
        } else {
            attributes.insert(QStringLiteral("kind"), name);
            attributes.insert(QStringLiteral("level"), alertLevelName(AlertLevel::None));
            attributes.insert(QStringLiteral("text"), QString());
        }
        publications.push_back(
            {topics.alertState(name), on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OFF")});
        publications.push_back({topics.alertAttributes(name),
                                QJsonDocument(attributes).toJson(QJsonDocument::Compact)});
    }
    return publications;
}

} // namespace kv::mqtt
