#pragma once

#include "mqtt/broker_url.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

struct mosquitto;
struct mosquitto_message;

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
    // the network thread, waiting a moment at most.
    void stop(const QString& lastTopic = {}, const QByteArray& lastPayload = {});

    // Connected and accepted by the broker (as the event loop last learnt).
    bool isConnected() const { return connected_; }
    // Sends a message when connected (quality of service 1); false when not.
    bool publish(const QString& topic, const QByteArray& payload, bool retained);
    bool subscribe(const QString& pattern);

    // The moment a retry is due after a failed attempt number n (1, 2, ...).
    static int retryDelaySeconds(int failedAttempts);

signals:
    // The broker accepted the connection.
    void connected();
    // The broker answered, but refused the connection with this code of the
    // protocol (4: wrong user name or password, 5: not authorised).
    void refused(int code);
    // Connecting failed (the reason in the library's English words), or an
    // open connection was lost (reason empty); the next try is in seconds.
    void connectFailed(const QString& reason, int retrySeconds);
    void connectionLost(int retrySeconds);
    void messageReceived(const QString& topic, const QByteArray& payload);

private:
    static void onConnect(mosquitto* handle, void* self, int code);
    static void onDisconnect(mosquitto* handle, void* self, int code);
    static void onMessage(mosquitto* handle, void* self, const mosquitto_message* message);

    void run();
    bool stopping();
    // Waits for the delay; false when stop() asked to end meanwhile.
    bool pause(int seconds);
    void markDone();

    ClientSettings settings_;
    mosquitto* handle_ = nullptr;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    bool done_ = false;
    // Set by the network thread when the broker accepted the connection.
    bool accepted_ = false;
    bool connected_ = false;
};

} // namespace kv::mqtt
