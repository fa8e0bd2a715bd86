#include "mqtt/mqtt_client.h"

#include <QMetaObject>

#include <mosquitto.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace kv::mqtt {

namespace {

constexpr int KeepAliveSeconds = 30;
// How long mosquitto_loop waits for traffic before it looks at stop().
constexpr int LoopTimeoutMs = 200;
// How long stop() waits for the network thread to send its last words.
constexpr auto StopGrace = std::chrono::seconds(2);
constexpr int AtLeastOnce = 1;

// The library is set up once per process.
void initLibrary() {
    static const bool once = [] {
        mosquitto_lib_init();
        return true;
    }();
    (void)once;
}

QString reasonOf(int code, int savedErrno) {
    if (code == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(savedErrno));
    return QString::fromUtf8(mosquitto_strerror(code));
}

} // namespace

MqttClient::MqttClient(ClientSettings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)) {
    initLibrary();
    handle_ = mosquitto_new(settings_.clientId.toUtf8().constData(), true, this);
    mosquitto_threaded_set(handle_, true);
    mosquitto_connect_callback_set(handle_, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(handle_, &MqttClient::onDisconnect);
    mosquitto_message_callback_set(handle_, &MqttClient::onMessage);
    const QByteArray user = settings_.broker.user.toUtf8();
    if (!user.isEmpty())
        mosquitto_username_pw_set(handle_, user.constData(),
                                  settings_.password.isEmpty() ? nullptr
                                                               : settings_.password.constData());
    if (!settings_.willTopic.isEmpty())
        mosquitto_will_set(handle_, settings_.willTopic.toUtf8().constData(),
                           int(settings_.willPayload.size()), settings_.willPayload.constData(),
                           AtLeastOnce, true);
    if (settings_.broker.tls) {
        if (!settings_.caFile.isEmpty())
            mosquitto_tls_set(handle_, settings_.caFile.toLocal8Bit().constData(), nullptr, nullptr,
                              nullptr, nullptr);
        else
            mosquitto_int_option(handle_, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
    }
}

MqttClient::~MqttClient() {
    stop();
}

int MqttClient::retryDelaySeconds(int failedAttempts) {
    int delay = FirstRetrySeconds;
    for (int n = 1; n < failedAttempts && delay < LastRetrySeconds; ++n)
        delay *= 2;
    return std::min(delay, LastRetrySeconds);
}

void MqttClient::start() {
    if (thread_.joinable() || !handle_)
        return;
    thread_ = std::thread([this] { run(); });
}

void MqttClient::stop(const QString& lastTopic, const QByteArray& lastPayload) {
    if (!thread_.joinable()) {
        if (handle_ && !done_) {
            mosquitto_destroy(handle_);
            handle_ = nullptr;
        }
        return;
    }
    if (connected_) {
        if (!lastTopic.isEmpty())
            publish(lastTopic, lastPayload, true);
        // A clean end: the broker drops the last will.
        mosquitto_disconnect(handle_);
    }
    std::unique_lock lock(mutex_);
    stopping_ = true;
    wake_.notify_all();
    const bool ended = wake_.wait_for(lock, StopGrace, [this] { return done_; });
    lock.unlock();
    connected_ = false;
    if (ended) {
        thread_.join();
        mosquitto_destroy(handle_);
    } else {
        // Still resolving or connecting to a host that does not answer: the
        // thread is left to end with the process, and with it the handle.
        thread_.detach();
    }
    handle_ = nullptr;
}

bool MqttClient::publish(const QString& topic, const QByteArray& payload, bool retained) {
    if (!connected_)
        return false;
    return mosquitto_publish(handle_, nullptr, topic.toUtf8().constData(), int(payload.size()),
                             payload.constData(), AtLeastOnce, retained) == MOSQ_ERR_SUCCESS;
}

bool MqttClient::subscribe(const QString& pattern) {
    if (!connected_)
        return false;
    return mosquitto_subscribe(handle_, nullptr, pattern.toUtf8().constData(), AtLeastOnce) ==
           MOSQ_ERR_SUCCESS;
}

bool MqttClient::stopping() {
    std::lock_guard lock(mutex_);
    return stopping_;
}

bool MqttClient::pause(int seconds) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::seconds(seconds), [this] { return stopping_; });
}

void MqttClient::markDone() {
    std::lock_guard lock(mutex_);
    done_ = true;
    wake_.notify_all();
}

// The network thread: connect (resolving the name here), serve the
// connection until it ends, wait, try again.
void MqttClient::run() {
    const QByteArray host = settings_.broker.host.toUtf8();
    int failures = 0;
    while (!stopping()) {
        accepted_ = false;
        errno = 0;
        int code =
            mosquitto_connect(handle_, host.constData(), settings_.broker.port, KeepAliveSeconds);
        const int connectErrno = errno;
        const bool opened = code == MOSQ_ERR_SUCCESS;
        if (opened) {
            // Until the connection ends. stop() ends it with a clean
            // disconnect, which goes out after the last message.
            bool disconnecting = false;
            do {
                code = mosquitto_loop(handle_, LoopTimeoutMs, 1);
                if (code == MOSQ_ERR_SUCCESS && !disconnecting && stopping()) {
                    disconnecting = true;
                    mosquitto_disconnect(handle_);
                }
            } while (code == MOSQ_ERR_SUCCESS);
        }
        if (stopping())
            break;
        failures = accepted_ ? 1 : failures + 1;
        const int delay = retryDelaySeconds(failures);
        if (!opened) {
            const QString reason = reasonOf(code, connectErrno);
            QMetaObject::invokeMethod(
                this, [this, reason, delay] { emit connectFailed(reason, delay); },
                Qt::QueuedConnection);
        } else if (accepted_) {
            QMetaObject::invokeMethod(
                this, [this, delay] { emit connectionLost(delay); }, Qt::QueuedConnection);
        }
        if (!pause(delay))
            break;
    }
    markDone();
}

void MqttClient::onConnect(mosquitto*, void* self, int code) {
    auto* client = static_cast<MqttClient*>(self);
    if (code == 0)
        client->accepted_ = true;
    QMetaObject::invokeMethod(
        client,
        [client, code] {
            if (code == 0) {
                client->connected_ = true;
                emit client->connected();
            } else {
                emit client->refused(code);
            }
        },
        Qt::QueuedConnection);
}

void MqttClient::onDisconnect(mosquitto*, void* self, int) {
    auto* client = static_cast<MqttClient*>(self);
    QMetaObject::invokeMethod(
        client, [client] { client->connected_ = false; }, Qt::QueuedConnection);
}

void MqttClient::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* client = static_cast<MqttClient*>(self);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    QMetaObject::invokeMethod(
        client, [client, topic, payload] { emit client->messageReceived(topic, payload); },
        Qt::QueuedConnection);
}

} // namespace kv::mqtt
