#include "mqtt/mqtt_bridge.h"

#include "board/board_service.h"
#include "mqtt/alert_publications.h"
#include "mqtt/discovery_configs.h"
#include "mqtt/mqtt_client.h"
#include "mqtt/state_publisher.h"
#include "text/text_catalogue.h"

#include <QDateTime>

namespace kv::mqtt {

namespace {

const QByteArray Online = QByteArrayLiteral("online");
const QByteArray Offline = QByteArrayLiteral("offline");

Origin bridgeOrigin() {
    return Origin{Front::Bridge, QStringLiteral("mqtt")};
}

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

QString channelLetter(int channel) {
    return QString(QLatin1Char("WRGB"[channel & 3]));
}

} // namespace

MqttBridge::MqttBridge(BoardService& service, BridgeSettings settings, QObject* parent)
    : QObject(parent), service_(service), settings_(std::move(settings)) {}

MqttBridge::~MqttBridge() {
    stop();
}

void MqttBridge::start() {
    connect(&service_, &BoardService::connected, this, &MqttBridge::boardConnected);
    connect(&service_, &BoardService::linkStateChanged, this, [this] { publishAvailability(); });
    connect(&service_, &BoardService::unplugged, this, [this] { publishAvailability(); });
    connect(&service_, &BoardService::polled, this, [this] { publishChanges(); });
    connect(&service_, &BoardService::recordChanged, this, [this](BoardRecord record) {
        if (record == BoardRecord::Info)
            publishChanges();
    });
    connect(&service_, &BoardService::operationEnded, this, &MqttBridge::logOperation);
    if (service_.isConnected())
        startClient(service_.serialNumber());
    else if (!settings_.serialNumber.isEmpty())
        startClient(settings_.serialNumber);
}

void MqttBridge::stop() {
    if (!client_)
        return;
    if (brokerConnected())
        send({topics_->alertsAvailability(), Offline, true});
    client_->stop(topics_->availability(), Offline);
    client_.reset();
}

bool MqttBridge::brokerConnected() const {
    return client_ && client_->isConnected();
}

bool MqttBridge::boardOnline() const {
    return service_.isConnected() && topics_ &&
           topicSerial(service_.serialNumber()) == topics_->serial();
}

void MqttBridge::say(const QString& line) {
    if (log)
        log(line);
}

// A new board's serial number gives new topics, and a new last will with
// them: the client starts afresh.
void MqttBridge::startClient(const QString& serialNumber) {
    stop();
    topics_.emplace(settings_.prefix, serialNumber);
    publisher_ = std::make_unique<StatePublisher>(*topics_);
    availability_.reset();
    ClientSettings client{
        settings_.broker,        settings_.password,
        settings_.caFile,        QStringLiteral("kestvelqor-") + topics_->serial(),
        topics_->availability(), Offline};
    client_ = std::make_unique<MqttClient>(std::move(client));
    const QString broker = settings_.broker.text();
    connect(client_.get(), &MqttClient::connected, this, &MqttBridge::brokerAccepted);
    connect(client_.get(), &MqttClient::messageReceived, this, &MqttBridge::messageArrived);
    connect(client_.get(), &MqttClient::refused, this, [this, broker](int code) {
        // 4: a wrong user name or password, 5: not authorised (what a
        // broker with a password file says to a wrong password).
        const QString line =
            code == 4 || code == 5
                ? MsgFmt(QStringLiteral("MqttWrongPassword"), {broker, settings_.broker.user})
                : MsgFmt(QStringLiteral("MqttRefused"), {broker, code});
        if (line != lastProblem_)
            say(line);
        lastProblem_ = line;
    });
    connect(client_.get(), &MqttClient::connectFailed, this,
            [this, broker](const QString& reason, int retrySeconds) {
                // Told once until it changes or the broker is reached.
                const QString line = MsgFmt(QStringLiteral("MqttUnreachable"), {broker, reason});
                if (line != lastProblem_)
                    say(line + QLatin1Char(' ') +
                        MsgFmt(QStringLiteral("MqttRetry"), {retrySeconds}));
                lastProblem_ = line;
            });
    connect(client_.get(), &MqttClient::connectionLost, this, [this, broker](int retrySeconds) {
        availability_.reset();
        lastProblem_.clear();
        say(MsgFmt(QStringLiteral("MqttConnectionLost"), {broker}) + QLatin1Char(' ') +
            MsgFmt(QStringLiteral("MqttRetry"), {retrySeconds}));
    });
    client_->start();
}

void MqttBridge::brokerAccepted() {
    lastProblem_.clear();
    say(MsgFmt(QStringLiteral("MqttConnected"), {settings_.broker.text(), topics_->base()}));
    client_->subscribe(topics_->lightSetPattern());
    client_->subscribe(topics_->modeSet());
    client_->subscribe(topics_->buttonPattern());
    client_->subscribe(topics_->homeAssistantStatus());
    publishEverything();
}

void MqttBridge::boardConnected() {
    if (!topics_ || topicSerial(service_.serialNumber()) != topics_->serial()) {
        startClient(service_.serialNumber());
        return;
    }
    publishEverything();
}

// Every config, then the availability and every state: after a connection,
// a board that came back, or Home Assistant starting.
void MqttBridge::publishEverything() {
    if (!brokerConnected())
        return;
    if (service_.readAt(BoardRecord::Info).isValid() || boardOnline())
        publishConfigs();
    publishAvailability(true);
    if (boardOnline())
        send(publisher_->everything(service_.info(), nowMs()));
    send({topics_->alertsAvailability(), Online, true});
    publishAlerts();
}

void MqttBridge::showAlerts(std::vector<AlertStatus> active) {
    alerts_ = std::move(active);
    publishAlerts();
}

void MqttBridge::publishAlerts() {
    if (brokerConnected())
        send(alertPublications(*topics_, alerts_));
}

void MqttBridge::publishConfigs() {
    const InfoBlock& info = service_.info();
    DiscoveredBoard board;
    board.serialNumber =
        service_.serialNumber().isEmpty() ? settings_.serialNumber : service_.serialNumber();
    board.firmwareVersion = info.FirmwareVersion;
    for (std::size_t channel = 0; channel < 4; ++channel)
        board.colorNames[channel] = info.ColorName[channel];
    colorNames_ = info.ColorName;
    send(discoveryConfigs(*topics_, board));
}

void MqttBridge::publishChanges() {
    if (!brokerConnected() || !boardOnline())
        return;
    // A channel renamed on the board renames its light.
    if (service_.info().ColorName != colorNames_)
        publishConfigs();
    publishAvailability();
    send(publisher_->changes(service_.info(), nowMs()));
}

void MqttBridge::publishAvailability(bool force) {
    if (!brokerConnected())
        return;
    const bool online = boardOnline();
    if (!force && availability_ == online)
        return;
    availability_ = online;
    send({topics_->availability(), online ? Online : Offline, true});
    // A board that came back is followed by its states.
    if (online && !force)
        send(publisher_->everything(service_.info(), nowMs()));
}

void MqttBridge::send(const std::vector<Publication>& publications) {
    for (const Publication& publication : publications)
        send(publication);
}

void MqttBridge::send(const Publication& publication) {
    client_->publish(publication.topic, publication.payload, publication.retained);
}

void MqttBridge::messageArrived(const QString& topic, const QByteArray& payload) {
    if (!topics_)
        return;
    carryOut(topic, parseCommand(*topics_, topic, payload));
}

void MqttBridge::carryOut(const QString& topic, const BridgeCommand& command) {
    using Kind = BridgeCommand::Kind;
    Outcome outcome;
    switch (command.kind) {
    case Kind::None:
        return;
    case Kind::HomeAssistantOnline:
        publishEverything();
        return;
    case Kind::Refused:
        say(MsgFmt(QStringLiteral("MqttCommandRefused"), {topic, command.refusal}));
        return;
    case Kind::Light: {
        const int level =
            command.level ? *command.level : publisher_->lastLitLevel(command.channel);
        outcome = service_.setLevel(command.channel, level, LevelRule::ManualOnly, bridgeOrigin());
        if (!outcome.ok()) {
            // Home Assistant shows what the board does, not what it was asked.
            say(MsgFmt(QStringLiteral("MqttLightRefused"),
                       {channelLetter(command.channel), outcome.text()}));
            if (brokerConnected() && boardOnline())
                send(publisher_->lightState(service_.info(), command.channel));
        }
        return;
    }
    case Kind::Mode:
        outcome = service_.setMode(command.mode, bridgeOrigin());
        break;
    case Kind::Cloud:
        outcome = service_.startCloud(bridgeOrigin());
        break;
    case Kind::Storm:
        outcome = service_.startStorm(bridgeOrigin());
        break;
    case Kind::Save:
        outcome = service_.saveSettings(bridgeOrigin());
        break;
    }
    if (!outcome.ok()) {
        say(MsgFmt(QStringLiteral("MqttCommandRefused"), {topic, outcome.text()}));
        // The select shows the board's mode again.
        if (command.kind == Kind::Mode && brokerConnected() && boardOnline())
            if (const auto state = publisher_->modeState(service_.info()))
                send(*state);
    }
}

// The bridge's changes in serve's log, as the web API logs its own.
void MqttBridge::logOperation(const OperationReport& report) {
    if (report.origin.front != Front::Bridge || !report.outcome.ok() ||
        report.operation == Operation::Reread)
        return;
    QString what = operationName(report.operation);
    if (!report.detail.isEmpty())
        what += QLatin1Char(' ') + report.detail;
    say(QStringLiteral("%1 | %2").arg(report.origin.client, what));
}

} // namespace kv::mqtt
