#pragma once

#include "alerts/alert_evaluator.h"

#include <QObject>
#include <QString>

#include <map>
#include <optional>

namespace kv {

// Tells alerts on the desktop through org.freedesktop.Notifications on the
// session bus. Critical alerts and a board that is gone are urgent and stay
// until the keeper closes them; one notification per kind is kept, each new
// one replacing the last of its kind. Without a session bus nothing is sent.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    static constexpr int NormalExpireMs = -1; // the server's default
    explicit DesktopNotifier(QObject* parent = nullptr);

    bool available() const;
    void notify(const AlertNotice& notice, const QString& summary, const QString& body);

    // The id the server gave the last notification of a kind (0: none yet).
    uint notificationId(AlertKind kind) const;

private:
    struct Waiting {
        AlertNotice notice;
        QString summary;
        QString body;
    };
    void send(const AlertNotice& notice, const QString& summary, const QString& body);

    std::map<AlertKind, uint> ids_;
    // A kind whose last Notify is not answered yet: its next notification
    // waits for the id it replaces (only the newest waits).
    std::map<AlertKind, std::optional<Waiting>> waiting_;
};

// Whether a notice is told as urgent: a critical level or a board gone.
bool urgentAlert(const AlertNotice& notice);

} // namespace kv
