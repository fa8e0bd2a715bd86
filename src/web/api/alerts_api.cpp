#include "web/api/alerts_api.h"

#include "alerts/active_alerts_file.h"
#include "alerts/alert_history.h"
#include "alerts/alert_json.h"
#include "alerts/alert_monitor.h"
#include "web/web_server.h"

namespace kv::web {

namespace {
constexpr int RecentCount = 20;
}

AlertsApi::AlertsApi(const AlertMonitor& monitor, WebServer& server, QString historyPath,
                     QObject* parent)
    : QObject(parent), monitor_(monitor), historyPath_(std::move(historyPath)) {
    server.routes().add("GET", QStringLiteral("/api/v1/alerts"),
                        [this](const WebRequest&, const QString&) { return alerts(); });
}

WebReply AlertsApi::alerts() const {
    const QJsonArray recent =
        historyPath_.isEmpty() ? QJsonArray() : recentAlertEvents(historyPath_, RecentCount);
    return jsonReply(alertsDocument(
        monitor_.rules(), monitor_.evaluating() ? monitor_.active() : readActiveAlerts(), recent));
}

} // namespace kv::web
