#pragma once

#include <QString>
#include <QVariantMap>

namespace kv {

enum class TaskbarState {
    Normal,
    Error,
    Paused,
};

// The progress indicator on the program's taskbar or launcher button: a value
// of a total and a state (normal, error, paused). On Linux it is the launcher
// entry of the desktop file "kestvelqor.desktop", updated by D-Bus signal;
// without a session bus, and elsewhere, every call does nothing. Errors are
// ignored.
class TaskbarProgress {
public:
    static constexpr const char* ApplicationUri = "application://kestvelqor.desktop";

    TaskbarProgress();

    // Whether an indicator is there to be driven.
    bool available() const { return available_; }

    void SetTaskbarProgress(qint64 completed, qint64 total);
    void SetTaskbarState(TaskbarState state);

    qint64 completed() const { return completed_; }
    qint64 total() const { return total_; }
    TaskbarState state() const { return state_; }

    // The properties of the launcher-entry update for this value and state.
    static QVariantMap launcherProperties(qint64 completed, qint64 total, TaskbarState state);

private:
    void send();

    bool available_ = false;
    qint64 completed_ = 0;
    qint64 total_ = 1;
    TaskbarState state_ = TaskbarState::Normal;
};

} // namespace kv
