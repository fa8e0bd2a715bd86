#pragma once

// Debian's mosquitto broker, started for a test on a free loopback port with
// a configuration of its own in a scratch folder, and Home Assistant played
// by mosquitto_sub and mosquitto_pub. Every wait turns the event loop (the
// board's polls go on meanwhile) and ends at a generous deadline.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

#include <functional>
#include <memory>

namespace kv::testing {

inline constexpr int BrokerWaitMs = 10000;

class Broker {
public:
    // A broker that lets anyone in; with a user, only that user with that
    // password.
    explicit Broker(const QString& user = {}, const QString& password = {}) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port_ = probe.serverPort();
        probe.close();
        // Run as root, the broker would change to its own user, which may not
        // read the scratch folder: it stays the user who runs the test.
        const passwd* account = getpwuid(geteuid());
        QString config = QStringLiteral("listener %1 127.0.0.1\npersistence false\n"
                                        "log_dest stderr\nuser %2\n")
                             .arg(port_)
                             .arg(QString::fromLocal8Bit(account ? account->pw_name : "root"));
        if (user.isEmpty()) {
            config += QStringLiteral("allow_anonymous true\n");
        } else {
            const QString passwords = dir_.filePath("passwords");
            QFile(passwords).open(QIODevice::WriteOnly);
            QProcess::execute("mosquitto_passwd", {"-b", passwords, user, password});
            config += QStringLiteral("allow_anonymous false\npassword_file %1\n").arg(passwords);
        }
        QFile file(dir_.filePath("mosquitto.conf"));
        file.open(QIODevice::WriteOnly);
        file.write(config.toUtf8());
    }
    ~Broker() { stop(); }

    quint16 port() const { return port_; }
    QString url(const QString& user = {}) const {
        return "mqtt://" + (user.isEmpty() ? QString() : user + "@") +
               "127.0.0.1:" + QString::number(port_);
    }

    // Starts it and waits until it takes connections.
    bool start() {
        process_ = std::make_unique<QProcess>();
        process_->setStandardErrorFile(dir_.filePath("broker.log"), QIODevice::Append);
        process_->start("/usr/sbin/mosquitto", {"-c", dir_.filePath("mosquitto.conf")});
        if (!process_->waitForStarted())
            return false;
        return QTest::qWaitFor(
                   [this] { return accepts() || process_->state() == QProcess::NotRunning; },
                   BrokerWaitMs) &&
               process_->state() == QProcess::Running;
    }
    void stop() {
        if (!process_ || process_->state() == QProcess::NotRunning)
            return;
        process_->terminate();
        if (!QTest::qWaitFor([this] { return process_->state() == QProcess::NotRunning; },
                             BrokerWaitMs))
            process_->kill();
    }
    bool accepts() const {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port_);
        return socket.waitForConnected(50);
    }
    QString log() const {
        QFile file(dir_.filePath("broker.log"));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }

    // Options of mosquitto_sub and mosquitto_pub for this broker.
    QStringList clientOptions(const QString& user = {}, const QString& password = {}) const {
        QStringList options{"-h", "127.0.0.1", "-p", QString::number(port_)};
        if (!user.isEmpty())
            options << "-u" << user << "-P" << password;
        return options;
    }

    // Publishes one message as Home Assistant would.
    bool publish(const QString& topic, const QByteArray& payload, bool retained = false,
                 const QStringList& login = {}) const {
        QProcess pub;
        QStringList args =
            (login.size() == 2 ? clientOptions(login[0], login[1]) : clientOptions());
        args << "-q"
             << "1"
             << "-t" << topic << "-m" << QString::fromUtf8(payload);
        if (retained)
            args << "-r";
        pub.start("mosquitto_pub", args);
        return QTest::qWaitFor([&] { return pub.state() == QProcess::NotRunning; }, BrokerWaitMs) &&
               pub.exitCode() == 0;
    }

private:
    QTemporaryDir dir_;
    quint16 port_ = 0;
    std::unique_ptr<QProcess> process_;
};

// One message as a subscriber received it.
struct Received {
    bool retained = false;
    QString topic;
    QByteArray payload;
};

// A subscriber to the bridge's topics and the discovery prefix, keeping every
// message it receives.
class Subscriber {
public:
    Subscriber(const Broker& broker, const QStringList& patterns, const QStringList& login = {}) {
        QStringList args =
            login.size() == 2 ? broker.clientOptions(login[0], login[1]) : broker.clientOptions();
        for (const QString& pattern : patterns)
            args << "-t" << pattern;
        args << "-F"
             << "%r\t%t\t%p";
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { read(); });
        process_.start("mosquitto_sub", args);
        process_.waitForStarted();
    }
    ~Subscriber() {
        process_.kill();
        process_.waitForFinished();
    }

    QList<Received> messages;

    // Waits until a message from the index from on matches; false at the
    // deadline.
    bool waitFor(const std::function<bool(const Received&)>& wanted, int ms = BrokerWaitMs,
                 qsizetype from = 0) {
        qsizetype seen = from;
        return QTest::qWaitFor(
            [&] {
                for (; seen < messages.size(); ++seen)
                    if (wanted(messages[seen]))
                        return true;
                return false;
            },
            ms);
    }
    bool waitFor(const QString& topic, const QByteArray& payload, int ms = BrokerWaitMs) {
        return waitFor([&](const Received& m) { return m.topic == topic && m.payload == payload; },
                       ms);
    }
    // The latest payload of each topic.
    QMap<QString, Received> latest() const {
        QMap<QString, Received> map;
        for (const Received& m : messages)
            map[m.topic] = m;
        return map;
    }
    int count(const QString& topic) const {
        int n = 0;
        for (const Received& m : messages)
            n += m.topic == topic;
        return n;
    }

private:
    void read() {
        while (process_.canReadLine()) {
            QByteArray line = process_.readLine();
            line.chop(1);
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() < 3)
                continue;
            messages.append({fields[0] == "1", QString::fromUtf8(fields[1]),
                             line.mid(fields[0].size() + fields[1].size() + 2)});
        }
    }

    QProcess process_;
};

} // namespace kv::testing
