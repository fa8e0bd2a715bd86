#include "app/taskbar_progress.h"

#if defined(Q_OS_LINUX)
#include <QDBusConnection>
#include <QDBusMessage>
#endif

#include <algorithm>

namespace kv {

namespace {

#if defined(Q_OS_LINUX)
// The object path is the sender's own; launchers look only at the interface,
// the member and the application address.
constexpr const char* LauncherEntryPath = "/com/kestlighting/kestvelqor/launcherentry";
constexpr const char* LauncherEntryInterface = "com.canonical.Unity.LauncherEntry";
#endif

} // namespace

TaskbarProgress::TaskbarProgress() {
#if defined(Q_OS_LINUX)
    available_ = QDBusConnection::sessionBus().isConnected();
#endif
}

QVariantMap TaskbarProgress::launcherProperties(qint64 completed, qint64 total,
                                                TaskbarState state) {
    const double progress =
        total > 0 ? std::clamp(double(completed) / double(total), 0.0, 1.0) : 0.0;
    return {
        {QStringLiteral("progress"), progress},
        {QStringLiteral("progress-visible"), true},
        // The error state asks for attention; paused has no look of its own.
        {QStringLiteral("urgent"), state == TaskbarState::Error},
    };
}

void TaskbarProgress::SetTaskbarProgress(qint64 completed, qint64 total) {
    completed_ = completed;
    total_ = total;
    send();
}

void TaskbarProgress::SetTaskbarState(TaskbarState state) {
    state_ = state;
    send();
}

void TaskbarProgress::send() {
    if (!available_)
        return;
#if defined(Q_OS_LINUX)
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(LauncherEntryPath),
                                                     QString::fromLatin1(LauncherEntryInterface),
                                                     QStringLiteral("Update"));
    signal << QString::fromLatin1(ApplicationUri) << launcherProperties(completed_, total_, state_);
    QDBusConnection::sessionBus().send(signal);
#endif
}

} // namespace kv
