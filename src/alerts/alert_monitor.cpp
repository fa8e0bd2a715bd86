#include "alerts/alert_monitor.h"

#include "alerts/active_alerts_file.h"
#include "alerts/alert_history.h"
#include "alerts/alert_texts.h"
#include "board/board_service.h"
#include "history/history_recorder.h"
#include "text/reporter.h"
#include "text/text_catalogue.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>

namespace kv {

AlertMonitor::AlertMonitor(BoardService& service, Reporter& reporter, const QString& rulesPath,
                           HistoryRecorder* recorder, QObject* parent)
    : QObject(parent), service_(service), reporter_(reporter), rulesPath_(rulesPath),
      recorder_(recorder), watcher_(rulesPath), commands_(reporter),
      now_([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    reloadRules();
    connect(&watcher_, &AlertRulesWatcher::changed, this, &AlertMonitor::reloadRules);
    connect(&service, &BoardService::connected, this, &AlertMonitor::onConnected);
    connect(&service, &BoardService::unplugged, this, &AlertMonitor::onUnplugged);
    connect(&service, &BoardService::polled, this, &AlertMonitor::onPolled);
    // Without polls (the board gone) the delays still run out.
    tick_.setInterval(TickMs);
    connect(&tick_, &QTimer::timeout, this, &AlertMonitor::evaluate);
    tick_.start();
    if (service.isConnected())
        onConnected();
}

AlertMonitor::~AlertMonitor() {
    if (owner_ && !serial_.isEmpty())
        removeActiveAlerts(serial_);
}

void AlertMonitor::reloadRules() {
    const AlertRulesFile file = readAlertRules(rulesPath_);
    QStringList problems;
    for (const AlertRuleProblem& problem : file.problems)
        problems << problem.text;
    // Each wrong key is told when the file is read with it, not every look.
    if (problems != problems_)
        for (const QString& line : problems)
            reporter_.log(line);
    problems_ = problems;
    evaluator_.setRules(file.rules);
    emit rulesReloaded();
}

namespace {

// Whether another process records the board's history now.
bool recordedElsewhere(const QString& serial) {
    QLockFile probe(HistoryRecorder::lockPath(serial));
    probe.setStaleLockTime(0);
    if (!probe.tryLock(0))
        return true;
    probe.unlock();
    return false;
}

QString alertLockPath(const QString& serial) {
    return activeAlertsPath(serial).replace(QStringLiteral(".json"), QStringLiteral(".lock"));
}

} // namespace

bool AlertMonitor::holdsLock() {
    if (lock_)
        return true;
    if (serial_.isEmpty())
        return false;
    // The process that records the board evaluates it; without a history of
    // its own a process may only while nobody records it. The alerts' own
    // lock then keeps a second process without a history out, and never
    // keeps anyone from recording.
    if (recorder_ && recorder_->hasFile() ? !recorder_->recordsSamples()
                                          : recordedElsewhere(serial_))
        return false;
    auto lock = std::make_unique<QLockFile>(alertLockPath(serial_));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    lock_ = std::move(lock);
    return true;
}

void AlertMonitor::setOwner(bool owner) {
    // Told once, and only to a keeper who set rules: without them a second
    // window or server has nothing to say about it.
    if (!owner && !toldElsewhere_ && !serial_.isEmpty() && QFileInfo::exists(rulesPath_)) {
        reporter_.log(MsgFmt(QStringLiteral("AlertEvaluatedElsewhere"), {serial_}));
        toldElsewhere_ = true;
    }
    if (owner == owner_)
        return;
    owner_ = owner;
    // A process that starts or stops evaluating starts clean.
    evaluator_.reset();
    if (owner) {
        toldElsewhere_ = false;
        writeActiveAlerts(serial_, {});
    } else {
        removeActiveAlerts(serial_);
    }
    emit activeChanged();
}

void AlertMonitor::onConnected() {
    const QString serial =
        service_.serialNumber().isEmpty() ? QStringLiteral("unknown") : service_.serialNumber();
    if (serial != serial_) {
        if (owner_)
            setOwner(false);
        lock_.reset();
        serial_ = serial;
    }
    takeReading();
    setOwner(holdsLock());
}

void AlertMonitor::onUnplugged() {
    present_ = false;
    water_.reset();
    voltage_.reset();
    // The process that evaluated the board keeps its alerts' lock: it counts
    // how long the board is gone and tells when it is back, whichever process
    // records it then.
    evaluate();
}

void AlertMonitor::takeReading() {
    present_ = true;
    const InfoBlock& info = service_.info();
    water_ =
        info.WaterTemp == NoValue ? std::nullopt : std::optional<double>(info.WaterTemp / 10.0);
    voltage_ = info.InputVoltage == NoValue ? std::nullopt
                                            : std::optional<double>(info.InputVoltage / 100.0);
}

void AlertMonitor::onPolled(bool readOk) {
    if (!readOk)
        return;
    takeReading();
    setOwner(holdsLock());
    evaluate();
}

void AlertMonitor::evaluate() {
    if (!owner_)
        return;
    const AlertReading reading{now_(), present_, water_, voltage_};
    const auto notices = evaluator_.step(reading);
    for (const AlertNotice& notice : notices)
        deliver(notice);
    if (!notices.empty()) {
        writeActiveAlerts(serial_, active());
        emit activeChanged();
    }
}

void AlertMonitor::deliver(const AlertNotice& notice) {
    const AlertRules& rules = evaluator_.rules();
    AlertReport report{notice, serial_, alertSummary(notice), alertText(notice, rules, serial_)};
    const bool cleared = notice.change == AlertChange::Cleared;
    reporter_.log(
        MsgFmt(cleared ? QStringLiteral("AlertLogCleared") : QStringLiteral("AlertLogRaised"),
               {report.text}));
    if (rules.desktop)
        desktop_.notify(notice, report.summary, report.text);
    if (!rules.command.isEmpty())
        commands_.run(rules.command, {alertKindName(notice.kind), alertLevelName(notice.level),
                                      notice.value ? QString::number(*notice.value) : QString(),
                                      serial_, report.text});
    if (recorder_)
        recorder_->recordEvent(AlertEventKind, alertEventDetail(report), frontName(Front::Service));
    emit alertTold(report);
}

std::vector<AlertStatus> AlertMonitor::active() const {
    std::vector<AlertStatus> result;
    if (!owner_)
        return result;
    for (const ActiveAlert& alert : evaluator_.active())
        result.push_back({alert.kind, alert.level, alert.since, alert.value,
                          activeAlertText(alert, evaluator_.rules(), serial_)});
    return result;
}

} // namespace kv
