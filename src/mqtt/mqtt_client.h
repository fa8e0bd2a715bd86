#pragma once

#include "mqtt/broker_url.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <thread>

namespace kv::mqtt {

struct ClientSettings {
    BrokerUrl broker;
    QByteArray password; // empty: none
    QString caFile;      // mqtts:// with its own CA; empty: the system's store
    QString clientId;
    QString willTopic; // the last will, retained
    QByteArray willPayload;
};

// One connection to the broker over libmosquitto. Name resolution,
// connecting, reconnecting and the network traffic all run on a thread of
// their own, so the event loop never waits for the broker; what that thread
// learns comes back as queued signals. A broker that cannot be reached or
// that dropped the connection is tried again after 1 s, doubling up to 60 s;
// a connection the broker accepted starts the doubling afresh.
class MqttClient : public QObject {
    Q_OBJECT
public:
    static constexpr int FirstRetrySeconds = 1;
    static constexpr int LastRetrySeconds = 60;

    explicit MqttClient(ClientSettings settings, QObject* parent = nullptr);
    // Ends the connection as stop() does.
    ~MqttClient() override;

    // Starts connecting; returns at once.
    void start();
    // Sends the last message (when connected), disconnects cleanly and ends
    // the network thread, waiting a moment at most: a thread still resolving
    // or connecting is left to end by itself.
    void stop(const QString& lastTopic = {}, const QByteArray& lastPayload = {});

    // Connected and accepted by the broker (as the event loop last learnt).
    bool isConnected() const { return connected_; }
    // Sends a message when connected (quality of service 1); false when not.
    bool publish(const QString& topic, const QByteArray& payload, bool retained);
    bool subscribe(const QString& pattern);

    // The seconds until the next try after n attempts failed in a row.
    static int retryDelaySeconds(int failedAttempts);

signals:
    // The broker accepted the connection.
    void connected();
    // The broker answered, but refused the connection with this code of the
    // protocol (4: wrong user name or password, 5: not authorised).
    void refused(int code);
    // Connecting failed (the reason in the library's English words); the
    // next try is in retrySeconds.
    void connectFailed(const QString& reason, int retrySeconds);
    // An accepted connection was lost.
    void connectionLost(int retrySeconds);
    void messageReceived(const QString& topic, const QByteArray& payload);

private:
    struct Link;
    static void run(std::shared_ptr<Link> link);

    // What the network thread shares with this client; it outlives the client
    // when the thread is left behind.
    std::shared_ptr<Link> link_;
    std::thread thread_;
    bool started_ = false;
    bool connected_ = false;
};

} // namespace kv::mqtt
