#pragma once

// `kestvelqorctl serve` started as a user starts it, through the built
// binary, with a board, folders and a runtime folder (the history's lock) of
// its own, and a client for its answers.
#include "cli_test_support.h"
#include "web/web_test_client.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QWebSocket>

namespace kv::testing {

inline const QByteArray Token = "a-token-for-these-tests-0123456789";

class ServeCliTest : public CliTest {
protected:
    // Starts serve and reads the line that tells where it listens.
    std::unique_ptr<QProcess> serve(const QStringList& options, const QStringList& env = {}) {
        QDir().mkdir(path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        auto process = start(
            QStringList{"--simulate", "--json", "serve"} + options,
            QStringList{"XDG_CONFIG_HOME=" + path("config"), "XDG_RUNTIME_DIR=" + path("runtime")} +
                env);
        const QDeadlineTimer deadline(WebHangMs);
        while (!process->canReadLine() && !deadline.hasExpired())
            process->waitForReadyRead(int(deadline.remainingTime()));
        announcement = QJsonDocument::fromJson(process->readLine()).object();
        client.base = QStringLiteral("http://127.0.0.1:%1").arg(announcement["port"].toInt());
        return process;
    }
    QString tokenFile() {
        QFile file(path("token"));
        file.open(QIODevice::WriteOnly);
        file.write(Token + '\n');
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return file.fileName();
    }
    void setControl(const QByteArray& text) {
        QFile file(path("bus-control"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    // Ends serve as systemd would, and checks it ended cleanly.
    static void stop(QProcess& process) {
        process.terminate();
        ASSERT_TRUE(process.waitForFinished(WebHangMs));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    // Messages of the live feed, parsed, until done() says enough or a hang.
    struct Live {
        QWebSocket socket;
        QList<QJsonObject> messages;
        Live() {
            QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& m) {
                messages << QJsonDocument::fromJson(m.toUtf8()).object();
            });
        }
        bool waitFor(const std::function<bool(const QJsonObject&)>& wanted) {
            const QDeadlineTimer deadline(WebHangMs);
            qsizetype seen = 0;
            while (!deadline.hasExpired()) {
                for (; seen < messages.size(); ++seen)
                    if (wanted(messages[seen]))
                        return true;
                QSignalSpy spy(&socket, &QWebSocket::textMessageReceived);
                spy.wait(int(deadline.remainingTime()));
            }
            return false;
        }
    };
    static bool isStatus(const QJsonObject& message) { return message.contains("firmwareVersion"); }
    static std::function<bool(const QJsonObject&)> isEvent(const QString& name) {
        return [name](const QJsonObject& message) {
            return message["event"] == name;
        };
    }
    QUrl liveUrl() const {
        return QUrl(QString(client.base).replace("http:", "ws:") + "/api/v1/live");
    }

    QJsonObject announcement;
    WebClient client;
};

} // namespace kv::testing
