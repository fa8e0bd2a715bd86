#pragma once

#include "web/web_reply.h"

#include <QObject>
#include <QString>

namespace kv {
class AlertMonitor;
}

namespace kv::web {

class WebServer;

// GET /api/v1/alerts: the rules, the active alerts and the last alert events
// of the history file, in the document of `kestvelqorctl alerts --json`.
// The active alerts are this server's when it evaluates the board, else those
// the evaluating process (a window) publishes.
class AlertsApi : public QObject {
    Q_OBJECT
public:
    // historyPath: empty when the server keeps no history (recent is empty).
    AlertsApi(const AlertMonitor& monitor, WebServer& server, QString historyPath,
              QObject* parent = nullptr);

    WebReply alerts() const;

private:
    const AlertMonitor& monitor_;
    QString historyPath_;
};

} // namespace kv::web
