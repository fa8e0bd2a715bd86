#pragma once

#include "alerts/alert_command.h"
#include "alerts/alert_evaluator.h"
#include "alerts/alert_rules.h"
#include "alerts/alert_rules_watcher.h"
#include "alerts/alert_status.h"
#include "alerts/desktop_notifier.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QLockFile;

namespace kv {

class BoardService;
class HistoryRecorder;
class Reporter;

// Keeps watch over the board for the alerts of the rules file, in the one
// process that records the board's history: the holder of the board's
// recording lock. A process without a history (recording turned off)
// evaluates only while no other process records the board. A lock of the
// alerts' own, taken on top, keeps a second process out in every case, so a
// window and a server side by side never both raise an alert. A process
// that does not evaluate stays silent.
//
// Each raise, change, reminder and clear is told once: a line in the log, a
// desktop notification, the keeper's command, an event in the history file,
// and alertTold for the fronts. The rules file is read again when it
// changes; each wrong key is one log line.
class AlertMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int TickMs = 1000;

    // recorder may be null (no history). rulesPath: usually
    // defaultAlertRulesPath().
    AlertMonitor(BoardService& service, Reporter& reporter, const QString& rulesPath,
                 HistoryRecorder* recorder, QObject* parent = nullptr);
    ~AlertMonitor() override;

    const AlertRules& rules() const { return evaluator_.rules(); }
    const QString& rulesPath() const { return rulesPath_; }
    // The wrong keys of the rules file as last read, one line each.
    const QStringList& ruleProblems() const { return problems_; }
    // Whether this process evaluates the board's alerts.
    bool evaluating() const { return owner_; }
    // The active alerts with their texts, in the order of the kinds.
    std::vector<AlertStatus> active() const;

    // Reads the rules file again now.
    void reloadRules();
    // One look at the delays now (the tick looks every second).
    void evaluateNow() { evaluate(); }
    // The computer's clock in UTC milliseconds; tests replace it.
    void setClock(std::function<qint64()> now) { now_ = std::move(now); }
    AlertCommandRunner& commandRunner() { return commands_; }
    DesktopNotifier& desktop() { return desktop_; }

signals:
    // One raise, change, reminder or clear.
    void alertTold(const kv::AlertReport& report);
    // The active alerts changed.
    void activeChanged();
    // The rules were read again.
    void rulesReloaded();

private:
    void onConnected();
    void onUnplugged();
    void onPolled(bool readOk);
    void evaluate();
    // The board's latest water temperature and voltage.
    void takeReading();
    void deliver(const AlertNotice& notice);
    // Whether this process holds the board's lock now.
    bool holdsLock();
    void setOwner(bool owner);

    BoardService& service_;
    Reporter& reporter_;
    QString rulesPath_;
    HistoryRecorder* recorder_;
    AlertEvaluator evaluator_;
    QStringList problems_;
    AlertRulesWatcher watcher_;
    DesktopNotifier desktop_;
    AlertCommandRunner commands_;
    std::unique_ptr<QLockFile> lock_; // the alerts' own lock of the board
    QString serial_;
    bool owner_ = false;
    bool toldElsewhere_ = false;
    bool present_ = false;
    std::optional<double> water_;
    std::optional<double> voltage_;
    QTimer tick_;
    std::function<qint64()> now_;
};

} // namespace kv
