#include "mqtt/mqtt_client.h"

#include <QMetaObject>

#include <mosquitto.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>

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

struct MqttClient::Link {
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    bool done = false;
    // The client sent the last words and the disconnect itself.
    bool disconnected = false;
    // Set by the network thread when the broker accepted the connection.
    bool accepted = false;
    // What the client says last (its availability offline), sent by the
    // network thread right before its clean disconnect.
    QString lastTopic;
    QByteArray lastPayload;
    // Null once the client is gone: nothing is told any more.
    MqttClient* client = nullptr;
    mosquitto* handle = nullptr;
    BrokerUrl broker;

    bool isStopping() {
        std::lock_guard lock(mutex);
        return stopping;
    }
    // Waits for the delay; false when the client asked to stop meanwhile.
    bool pause(int seconds) {
        std::unique_lock lock(mutex);
        return !wake.wait_for(lock, std::chrono::seconds(seconds), [this] { return stopping; });
    }
    // Runs what on the client's thread, if the client is still there.
    void tell(std::function<void(MqttClient&)> what) {
        std::lock_guard lock(mutex);
        if (client)
            QMetaObject::invokeMethod(
                client, [target = client, what = std::move(what)] { what(*target); },
                Qt::QueuedConnection);
    }
};

MqttClient::MqttClient(ClientSettings settings, QObject* parent)
    : QObject(parent), link_(std::make_shared<Link>()) {
    initLibrary();
    link_->client = this;
    link_->broker = settings.broker;
    mosquitto* handle = mosquitto_new(settings.clientId.toUtf8().constData(), true, link_.get());
    link_->handle = handle;
    if (!handle)
        return;
    mosquitto_threaded_set(handle, true);
    mosquitto_connect_callback_set(handle, [](mosquitto*, void* data, int code) {
        auto* link = static_cast<Link*>(data);
        if (code == 0)
            link->accepted = true;
        link->tell([code](MqttClient& client) {
            if (code == 0) {
                client.connected_ = true;
                emit client.connected();
            } else {
                emit client.refused(code);
            }
        });
    });
    mosquitto_disconnect_callback_set(handle, [](mosquitto*, void* data, int) {
        static_cast<Link*>(data)->tell([](MqttClient& client) { client.connected_ = false; });
    });
    mosquitto_message_callback_set(handle, [](mosquitto*, void* data,
                                              const mosquitto_message* message) {
        const QString topic = QString::fromUtf8(message->topic);
        const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
        static_cast<Link*>(data)->tell(
            [topic, payload](MqttClient& client) { emit client.messageReceived(topic, payload); });
    });
    const QByteArray user = settings.broker.user.toUtf8();
    if (!user.isEmpty())
        mosquitto_username_pw_set(handle, user.constData(),
                                  settings.password.isEmpty() ? nullptr
                                                              : settings.password.constData());
    if (!settings.willTopic.isEmpty())
        mosquitto_will_set(handle, settings.willTopic.toUtf8().constData(),
                           int(settings.willPayload.size()), settings.willPayload.constData(),
                           AtLeastOnce, true);
    if (settings.broker.tls) {
        if (!settings.caFile.isEmpty())
            mosquitto_tls_set(handle, settings.caFile.toLocal8Bit().constData(), nullptr, nullptr,
                              nullptr, nullptr);
        else
            mosquitto_int_option(handle, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
    }
}

MqttClient::~MqttClient() {
    stop();
    // Without a network thread the handle is this client's to free.
    if (!started_ && link_->handle) {
        mosquitto_destroy(link_->handle);
        link_->handle = nullptr;
    }
}

int MqttClient::retryDelaySeconds(int failedAttempts) {
    int delay = FirstRetrySeconds;
    for (int n = 1; n < failedAttempts && delay < LastRetrySeconds; ++n)
        delay *= 2;
    return std::min(delay, LastRetrySeconds);
}

void MqttClient::start() {
    if (thread_.joinable() || !link_->handle || link_->isStopping())
        return;
    started_ = true;
    thread_ = std::thread(&MqttClient::run, link_);
}

void MqttClient::stop(const QString& lastTopic, const QByteArray& lastPayload) {
    const bool wasConnected = connected_;
    connected_ = false;
    if (!thread_.joinable())
        return;
    if (wasConnected) {
        // Sent from here, the last words and the disconnect also wake the
        // network thread at once.
        if (!lastTopic.isEmpty())
            mosquitto_publish(link_->handle, nullptr, lastTopic.toUtf8().constData(),
                              int(lastPayload.size()), lastPayload.constData(), AtLeastOnce, true);
        mosquitto_disconnect(link_->handle);
    }
    std::unique_lock lock(link_->mutex);
    link_->disconnected = wasConnected;
    link_->lastTopic = lastTopic;
    link_->lastPayload = lastPayload;
    link_->stopping = true;
    link_->wake.notify_all();
    const bool ended = link_->wake.wait_for(lock, StopGrace, [this] { return link_->done; });
    link_->client = nullptr;
    lock.unlock();
    if (ended)
        thread_.join();
    else
        // Still resolving or connecting to a host that does not answer: the
        // thread ends by itself later, with the link it holds.
        thread_.detach();
}

bool MqttClient::publish(const QString& topic, const QByteArray& payload, bool retained) {
    if (!connected_)
        return false;
    return mosquitto_publish(link_->handle, nullptr, topic.toUtf8().constData(),
                             int(payload.size()), payload.constData(), AtLeastOnce,
                             retained) == MOSQ_ERR_SUCCESS;
}

bool MqttClient::subscribe(const QString& pattern) {
    if (!connected_)
        return false;
    return mosquitto_subscribe(link_->handle, nullptr, pattern.toUtf8().constData(), AtLeastOnce) ==
           MOSQ_ERR_SUCCESS;
}

// The network thread: connect (resolving the name here), serve the
// connection until it ends, wait, try again; at the stop, the last words and
// a clean disconnect.
void MqttClient::run(std::shared_ptr<Link> link) {
    mosquitto* handle = link->handle;
    const QByteArray host = link->broker.host.toUtf8();
    int failures = 0;
    while (!link->isStopping()) {
        link->accepted = false;
        errno = 0;
        int code = mosquitto_connect(handle, host.constData(), link->broker.port, KeepAliveSeconds);
        const int connectErrno = errno;
        const bool opened = code == MOSQ_ERR_SUCCESS;
        bool disconnecting = false;
        while (code == MOSQ_ERR_SUCCESS) {
            code = mosquitto_loop(handle, LoopTimeoutMs, 1);
            if (code == MOSQ_ERR_SUCCESS && !disconnecting && link->isStopping()) {
                // The last message goes out before the disconnect, which
                // ends the loop; the broker then drops the last will.
                disconnecting = true;
                std::unique_lock lock(link->mutex);
                const QByteArray topic = link->lastTopic.toUtf8();
                const QByteArray payload = link->lastPayload;
                const bool sent = link->disconnected;
                lock.unlock();
                if (sent)
                    continue;
                if (!topic.isEmpty())
                    mosquitto_publish(handle, nullptr, topic.constData(), int(payload.size()),
                                      payload.constData(), AtLeastOnce, true);
                mosquitto_disconnect(handle);
            }
        }
        if (link->isStopping())
            break;
        failures = link->accepted ? 1 : failures + 1;
        const int delay = retryDelaySeconds(failures);
        if (!opened) {
            const QString reason = reasonOf(code, connectErrno);
            link->tell(
                [reason, delay](MqttClient& client) { emit client.connectFailed(reason, delay); });
        } else if (link->accepted) {
            link->tell([delay](MqttClient& client) { emit client.connectionLost(delay); });
        }
        if (!link->pause(delay))
            break;
    }
    mosquitto_destroy(handle);
    std::lock_guard lock(link->mutex);
    link->handle = nullptr;
    link->done = true;
    link->wake.notify_all();
}

} // namespace kv::mqtt
