#include "alerts/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace kv {

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
// The urgency hint's bytes.
constexpr uchar NormalUrgency = 1;
constexpr uchar CriticalUrgency = 2;

} // namespace

bool urgentAlert(const AlertNotice& notice) {
    // A clear is good news: never urgent.
    if (notice.change == AlertChange::Cleared)
        return false;
    return notice.level == AlertLevel::Critical || notice.kind == AlertKind::BoardGone;
}

DesktopNotifier::DesktopNotifier(QObject* parent) : QObject(parent) {}

bool DesktopNotifier::available() const {
    return QDBusConnection::sessionBus().isConnected();
}

uint DesktopNotifier::notificationId(AlertKind kind) const {
    const auto it = ids_.find(kind);
    return it == ids_.end() ? 0 : it->second;
}

void DesktopNotifier::notify(const AlertNotice& notice, const QString& summary,
                             const QString& body) {
    if (!available())
        return;
    const auto waiting = waiting_.find(notice.kind);
    if (waiting != waiting_.end()) {
        waiting->second = Waiting{notice, summary, body};
        return;
    }
    send(notice, summary, body);
}

void DesktopNotifier::send(const AlertNotice& notice, const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    waiting_[notice.kind] = std::nullopt;
    const bool urgent = urgentAlert(notice);
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(uchar(urgent ? CriticalUrgency : NormalUrgency)));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("kestvelqor"));
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    call << QStringLiteral("KestVELQOR") << notificationId(notice.kind)
         << QStringLiteral("kestvelqor") << summary << body << QStringList() << hints
         << qint32(urgent ? 0 : NormalExpireMs);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    const AlertKind kind = notice.kind;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, kind](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                if (!reply.isError())
                    ids_[kind] = reply.value();
                finished->deleteLater();
                const auto next = waiting_[kind];
                waiting_.erase(kind);
                if (next)
                    send(next->notice, next->summary, next->body);
            });
}

} // namespace kv
