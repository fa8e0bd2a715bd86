#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QString>

namespace kv {

class Reporter;

// What the command of notify.command is told, in its environment.
struct AlertCommandCall {
    QString kind;   // KESTVELQOR_ALERT_KIND
    QString level;  // KESTVELQOR_ALERT_LEVEL: warning, critical or cleared
    QString value;  // KESTVELQOR_ALERT_VALUE: "29.5", empty without a value
    QString serial; // KESTVELQOR_ALERT_SERIAL
    QString text;   // KESTVELQOR_ALERT_TEXT
};

QProcessEnvironment alertEnvironment(const AlertCommandCall& call, const QProcessEnvironment& base);

// Runs the keeper's command on a raise or a clear: the program and its
// arguments split as a shell would split words, but never run by a shell
// (no variables, no pipes). It runs beside the program; one that does not
// end within the time limit is killed. A command that cannot start, fails,
// crashes or is killed is one line in the log.
class AlertCommandRunner : public QObject {
    Q_OBJECT
public:
    static constexpr int TimeLimitMs = 30000;

    explicit AlertCommandRunner(Reporter& reporter, QObject* parent = nullptr);
    ~AlertCommandRunner() override;

    void run(const QString& command, const AlertCommandCall& call);
    void setTimeLimit(int ms) { timeLimitMs_ = ms; }
    // Commands still running.
    int running() const { return running_; }

signals:
    // A command ended, in whatever way (tests wait for it).
    void finished();

private:
    Reporter& reporter_;
    int timeLimitMs_ = TimeLimitMs;
    int running_ = 0;
};

} // namespace kv
