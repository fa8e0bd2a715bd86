#pragma once

#include "alerts/alert_status.h"
#include "board/operation.h"
#include "mqtt/bridge_topics.h"
#include "mqtt/broker_url.h"
#include "mqtt/command_payload.h"
#include "mqtt/publication.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kv {
class BoardService;
}

namespace kv::mqtt {

class MqttClient;
class StatePublisher;

struct BridgeSettings {
    BrokerUrl broker;
    QByteArray password; // empty: none
    QString caFile;
    QString prefix = QLatin1String(DefaultPrefix);
    // The board's serial number when it is known before the board connects
    // (serve --device SERIAL): the bridge connects to the broker at once.
    QString serialNumber;
};

// The board in Home Assistant and any other MQTT system: one more front over
// the board service. Publishes the discovery configs, the availability and
// the states under kestvelqor/SERIAL, and carries out the commands of the
// lights, the mode select and the buttons through the service's operations.
// The broker is spoken to from the client's own thread: nothing here waits
// for it.
class MqttBridge : public QObject {
    Q_OBJECT
public:
    MqttBridge(BoardService& service, BridgeSettings settings, QObject* parent = nullptr);
    ~MqttBridge() override;

    // serve's log (changes, refusals, the broker's connection).
    std::function<void(const QString&)> log;

    // Connects to the broker now when the serial number is known, else when
    // the first board connects.
    void start();
    // Tells the broker the board is offline and disconnects cleanly.
    void stop();

    bool brokerConnected() const;

    // The alerts now active for the board; their problem sensors follow.
    void showAlerts(std::vector<AlertStatus> active);

private:
    void startClient(const QString& serialNumber);
    void brokerAccepted();
    void messageArrived(const QString& topic, const QByteArray& payload);
    void carryOut(const QString& topic, const BridgeCommand& command);
    void boardConnected();
    void publishEverything();
    void publishConfigs();
    void publishChanges();
    void publishAvailability(bool force = false);
    void publishAlerts();
    void send(const std::vector<Publication>& publications);
    void send(const Publication& publication);
    void logOperation(const OperationReport& report);
    void say(const QString& line);
    bool boardOnline() const;

    BoardService& service_;
    BridgeSettings settings_;
    std::optional<BridgeTopics> topics_;
    std::unique_ptr<MqttClient> client_;
    std::unique_ptr<StatePublisher> publisher_;
    // What the configs last said of the board, to send them again when the
    // board renames a channel.
    std::array<std::uint8_t, 4> colorNames_{};
    std::optional<bool> availability_;
    QString lastProblem_;
    std::vector<AlertStatus> alerts_;
};

} // namespace kv::mqtt
