#include "alerts/alert_command.h"

#include "text/reporter.h"
#include "text/text_catalogue.h"

#include <QProcess>
#include <QTimer>

namespace kv {

QProcessEnvironment alertEnvironment(const AlertCommandCall& call,
                                     const QProcessEnvironment& base) {
    QProcessEnvironment environment = base;
    environment.insert(QStringLiteral("KESTVELQOR_ALERT_KIND"), call.kind);
    environment.insert(QStringLiteral("KESTVELQOR_ALERT_LEVEL"), call.level);
    environment.insert(QStringLiteral("KESTVELQOR_ALERT_VALUE"), call.value);
    environment.insert(QStringLiteral("KESTVELQOR_ALERT_SERIAL"), call.serial);
    environment.insert(QStringLiteral("KESTVELQOR_ALERT_TEXT"), call.text);
    return environment;
}

AlertCommandRunner::AlertCommandRunner(Reporter& reporter, QObject* parent)
    : QObject(parent), reporter_(reporter) {}

AlertCommandRunner::~AlertCommandRunner() {
    // A command still running is not waited for at the end; it is killed
    // with its QProcess, which is a child of this object.
    for (QProcess* process : findChildren<QProcess*>()) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    }
}

void AlertCommandRunner::run(const QString& command, const AlertCommandCall& call) {
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty())
        return;
    const QString program = words.takeFirst();
    auto* process = new QProcess(this);
    process->setProgram(program);
    process->setArguments(words);
    process->setProcessEnvironment(
        alertEnvironment(call, QProcessEnvironment::systemEnvironment()));
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto* limit = new QTimer(process);
    limit->setSingleShot(true);
    auto killed = std::make_shared<bool>(false);
    connect(limit, &QTimer::timeout, process, [process, killed] {
        *killed = true;
        process->kill();
    });
    ++running_;
    auto done = [this, process] {
        --running_;
        process->deleteLater();
        emit finished();
    };
    connect(process, &QProcess::errorOccurred, this,
            [this, process, program, done](QProcess::ProcessError error) {
                // Only a start that failed ends here; the rest ends in finished.
                if (error != QProcess::FailedToStart)
                    return;
                reporter_.log(MsgFmt(QStringLiteral("AlertCommandNotStarted"),
                                     {program, process->errorString()}));
                done();
            });
    connect(process, &QProcess::finished, this,
            [this, program, killed, done,
             seconds = timeLimitMs_ / 1000.0](int code, QProcess::ExitStatus status) {
                if (*killed)
                    reporter_.log(MsgFmt(QStringLiteral("AlertCommandKilled"), {program, seconds}));
                else if (status == QProcess::CrashExit)
                    reporter_.log(MsgFmt(QStringLiteral("AlertCommandCrashed"), {program}));
                else if (code != 0)
                    reporter_.log(MsgFmt(QStringLiteral("AlertCommandFailed"), {program, code}));
                done();
            });
    limit->start(timeLimitMs_);
    process->start();
}

} // namespace kv
