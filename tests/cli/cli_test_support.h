#pragma once

// Runs the built kestvelqorctl against the simulated board, in a scratch
// folder of its own (the simulated board's state file included).
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace kv::testing {

struct CliResult {
    int status = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

class CliTest : public ::testing::Test {
protected:
    // The environment of a run: the scratch folder's state file and data
    // folder, the scratch folder as the runtime folder (the history's locks),
    // the C locale, and "NAME=value" entries on top.
    QProcessEnvironment environment(const QStringList& extraEnv = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KESTVELQOR_SIM_STATE", dir.filePath("sim-state.ini"));
        env.insert("XDG_DATA_HOME", dir.filePath("data"));
        env.insert("XDG_RUNTIME_DIR", dir.path());
        env.insert("LC_ALL", "C.UTF-8");
        for (const QString& entry : extraEnv)
            env.insert(entry.section('=', 0, 0), entry.section('=', 1));
        return env;
    }

    // Starts a run and leaves it running (for commands that keep going).
    std::unique_ptr<QProcess> start(const QStringList& args, const QStringList& extraEnv = {}) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(extraEnv));
        process->setWorkingDirectory(dir.path());
        process->start(KESTVELQORCTL, args);
        process->waitForStarted();
        return process;
    }

    // A run that has not ended after timeoutMs is killed (and fails its test).
    CliResult run(const QStringList& args, const QString& input = {},
                  const QStringList& extraEnv = {}, int timeoutMs = 60000) {
        auto process = start(args, extraEnv);
        if (!input.isEmpty())
            process->write(input.toUtf8());
        process->closeWriteChannel();
        process->waitForFinished(timeoutMs);
        return {process->exitCode(), QString::fromUtf8(process->readAllStandardOutput()),
                QString::fromUtf8(process->readAllStandardError())};
    }
    QString path(const QString& name) { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace kv::testing
