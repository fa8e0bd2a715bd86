// A web page for the board: the board's API and the page over HTTP, the
// status pushed live after every poll, the history recorded and served, the
// alerts evaluated and served, the metrics for Prometheus, and the MQTT
// bridge, until SIGINT or SIGTERM.
#include "alerts/active_alerts_file.h"
#include "alerts/alert_json.h"
#include "alerts/alert_monitor.h"
#include "alerts/alert_rules.h"
#include "board/board_service.h"
#include "board/board_watch.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/serve_mqtt.h"
#include "cli/stop_signals.h"
#include "history/history_file.h"
#include "history/history_recorder.h"
#include "mqtt/mqtt_bridge.h"
#include "present/status_output.h"
#include "text/log_stamp.h"
#include "text/reporter.h"
#include "web/api/alerts_api.h"
#include "web/api/board_api.h"
#include "web/api/board_metrics.h"
#include "web/api/history_api.h"
#include "web/api/served_board.h"
#include "web/listen_address.h"
#include "web/page_files.h"
#include "web/web_server.h"
#include "web/web_token.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace kv::cli {

namespace {

// How often a server that does not evaluate the alerts looks at those of
// the process that does, for the bridge.
constexpr int AlertsLookupMs = 15000;

// serve's log on standard error: each line with its moment, as the
// server's own lines.
void logLine(const QString& line) {
    QTextStream err(stderr);
    err << dateTimeText(QDateTime::currentDateTime()) << " | " << line << '\n';
}

// What the history recorder tells (a file that cannot be used, recording
// paused and resumed) goes into serve's log.
class ServeLog : public Reporter {
public:
    void announce(const QString& text) override { logLine(text); }
    void log(const QString& text) override { logLine(text); }
};

// The history file of --history FILE, none with --no-history, else the
// default one.
std::optional<QString> historyPath(Context& c, const CommandWords& words) {
    const auto chosen = words.value("--history");
    if (words.flag("--no-history")) {
        if (chosen) {
            c.fail(ExitUsage, QStringLiteral("--history and --no-history exclude each other"));
            return std::nullopt;
        }
        return QString();
    }
    if (chosen && chosen->isEmpty()) {
        c.fail(ExitUsage, QStringLiteral("--history needs a file"));
        return std::nullopt;
    }
    return chosen ? *chosen : defaultHistoryPath();
}

struct ServeToken {
    QByteArray token;
    QString file;
    bool created = false;
};

// The token the listener requires: the one of --token-file, else on any
// address but loopback the one kept in the user's config folder (made now
// if there is none). Nothing without error on loopback without
// --token-file; an error means the server must not start.
std::optional<ServeToken> serveToken(const std::optional<QString>& tokenFile, bool loopback,
                                     QString& error) {
    ServeToken result;
    web::TokenFile read;
    if (tokenFile) {
        result.file = *tokenFile;
        read = web::readTokenFile(*tokenFile);
    } else if (!loopback) {
        result.file = web::defaultTokenPath();
        read = web::ensureTokenFile(result.file);
    } else {
        return result;
    }
    if (read.token.isEmpty()) {
        error = read.error;
        return std::nullopt;
    }
    result.token = read.token;
    result.created = read.created;
    return result;
}

// Without HTTP (--listen none) the bridge is all there is to announce.
void announceBridgeOnly(Context& c, const mqtt::BridgeSettings& bridge,
                        const HistoryRecorder* recorder) {
    if (c.json()) {
        QJsonObject object{{QStringLiteral("listening"), QStringLiteral("none")},
                           {QStringLiteral("mqtt"), bridge.broker.text()}};
        if (recorder && recorder->hasFile())
            object.insert(QStringLiteral("history"), recorder->path());
        c.out() << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    } else {
        c.out() << "No web page (--listen none); MQTT bridge to " << bridge.broker.text()
                << " (Ctrl+C or SIGTERM ends)\n";
        if (recorder && recorder->hasFile())
            c.out() << "Recording the history into " << recorder->path() << '\n';
    }
    c.out().flush();
}

void announce(Context& c, const web::ListenAddress& address, quint16 port, const ServeToken& token,
              const HistoryRecorder* recorder, const std::optional<mqtt::BridgeSettings>& bridge) {
    const QString listening = address.text(port);
    const bool anyAddress = address.address == QHostAddress(QHostAddress::AnyIPv4) ||
                            address.address == QHostAddress(QHostAddress::AnyIPv6);
    const QString url =
        QStringLiteral("http://%1/")
            .arg(anyAddress ? QStringLiteral("ADDRESS-OF-THIS-COMPUTER:%1").arg(port) : listening);
    if (c.json()) {
        QJsonObject object{{QStringLiteral("listening"), listening},
                           {QStringLiteral("port"), port},
                           {QStringLiteral("url"), url},
                           {QStringLiteral("tokenRequired"), !token.token.isEmpty()}};
        if (!token.file.isEmpty())
            object.insert(QStringLiteral("tokenFile"), token.file);
        if (token.created)
            object.insert(QStringLiteral("token"), QString::fromLatin1(token.token));
        if (recorder && recorder->hasFile())
            object.insert(QStringLiteral("history"), recorder->path());
        if (bridge)
            object.insert(QStringLiteral("mqtt"), bridge->broker.text());
        c.out() << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    } else {
        c.out() << "Listening on " << listening << ": open " << url
                << " (Ctrl+C or SIGTERM ends)\n";
        if (token.created)
            c.out() << "New token, shown only now (kept in " << token.file << "): " << token.token
                    << '\n';
        else if (!token.token.isEmpty())
            c.out() << "The token is in " << token.file << '\n';
        if (recorder && recorder->hasFile())
            c.out() << "Recording the history into " << recorder->path() << '\n';
        if (bridge)
            c.out() << "MQTT bridge to " << bridge->broker.text() << '\n';
    }
    c.out().flush();
}

// The web server with the board's API, the history, the alerts, the metrics
// and the page.
struct WebFront {
    WebFront(BoardService& service, const ServeToken& token, const QString& history,
             AlertMonitor& alerts, const QString& recordedHistory)
        : server(token.token), api(service, server), served(service),
          historyApi(service, served, server, history), metrics(service, served, server),
          alertsApi(alerts, server, recordedHistory) {
        server.log = logLine;
        api.log = server.log;
        web::addPageRoutes(server.routes());
        server.live().setGreeting([this] { return api.liveGreeting(); });
    }
    web::WebServer server;
    web::BoardApi api;
    web::ServedBoard served;
    web::HistoryApi historyApi;
    web::MetricsApi metrics;
    web::AlertsApi alertsApi;
};

} // namespace

int runServe(Context& c) {
    const auto words =
        c.words(0, 0, QStringList{"--listen", "--token-file", "--history"} + MqttValueOptions,
                {"--no-history"});
    if (!words)
        return ExitUsage;
    const auto history = historyPath(c, *words);
    if (!history)
        return ExitUsage;
    bool mqttFailed = false;
    const auto bridgeSettings = mqttSettings(c, *words, mqttFailed);
    if (mqttFailed)
        return ExitUsage;
    // --listen none: no HTTP server, the bridge alone.
    const auto listen = words->value("--listen");
    const bool http = listen != QStringLiteral("none");
    if (!http && !bridgeSettings)
        return c.fail(ExitUsage, QStringLiteral("--listen none needs --mqtt URL: there would be "
                                                "nothing to serve"));
    if (!http && words->value("--token-file"))
        return c.fail(ExitUsage, QStringLiteral("--token-file needs the web server (not "
                                                "--listen none)"));
    web::ListenAddress address;
    if (http && listen) {
        QString error;
        const auto parsed = web::parseListenAddress(*listen, error);
        if (!parsed)
            return c.fail(ExitUsage, error);
        address = *parsed;
    }
    QString error;
    std::optional<ServeToken> token = ServeToken{};
    if (http) {
        token = serveToken(words->value("--token-file"), address.loopback(), error);
        if (!token)
            return c.fail(ExitFailed, QStringLiteral("refusing to serve on %1 without a token: %2")
                                          .arg(address.text(address.port), error));
        if (!token->file.isEmpty() && web::readableByOthers(token->file))
            c.fail(ExitDone,
                   QStringLiteral("warning: others may read the token file %1 (chmod 600 it)")
                       .arg(token->file));
    }

    // SIGINT and SIGTERM end the server cleanly from the moment it may be
    // reached: a service manager may stop it right after it announced itself.
    QEventLoop loop;
    StopSignals stop;
    QObject::connect(&stop, &StopSignals::stopRequested, &loop, &QEventLoop::quit);

    // Everything is read when a board connects: the API answers its reads
    // from the service, which polls the board's status once a second.
    BoardService& service = c.service(ConnectReads::Everything);
    // A board that is not there yet is waited for; the page says so.
    service.scanNow();

    // Every poll into the history file; a file that cannot be used is one
    // line in the log, and the server goes on without it.
    ServeLog serveLog;
    std::unique_ptr<HistoryRecorder> recorder;
    if (!history->isEmpty())
        recorder = std::make_unique<HistoryRecorder>(service, serveLog, *history);
    // The alerts, in whichever process records the board (its lock decides,
    // also without a history); raises and clears go into the log.
    AlertMonitor alerts(service, serveLog, defaultAlertRulesPath(), recorder.get());

    // The bridge never waits for its broker: one that is down or far away
    // delays neither the polls nor the web server.
    std::unique_ptr<mqtt::MqttBridge> bridge;
    if (bridgeSettings) {
        bridge = std::make_unique<mqtt::MqttBridge>(service, *bridgeSettings);
        bridge->log = logLine;
    }

    std::unique_ptr<WebFront> web;
    if (http) {
        web = std::make_unique<WebFront>(service, *token, *history, alerts,
                                         recorder && recorder->hasFile() ? recorder->path()
                                                                         : QString());
        if (!web->server.listen(address, error))
            return c.fail(ExitFailed, error);
        announce(c, address, web->server.port(), *token, recorder.get(), bridgeSettings);
    } else {
        announceBridgeOnly(c, *bridgeSettings, recorder.get());
    }
    // The bridge's problem sensors: the alerts of this process while it
    // evaluates them, else those of the process that does.
    QTimer alertsLookup;
    if (bridge) {
        const auto showAlerts = [&] {
            const QString serial = service.serialNumber();
            if (alerts.evaluating())
                bridge->showAlerts(alerts.active());
            else
                bridge->showAlerts(serial.isEmpty() ? std::vector<AlertStatus>()
                                                    : readActiveAlerts(serial));
        };
        QObject::connect(&alerts, &AlertMonitor::activeChanged, bridge.get(), showAlerts);
        QObject::connect(&alertsLookup, &QTimer::timeout, bridge.get(), showAlerts);
        alertsLookup.start(AlertsLookupMs);
        showAlerts();
        bridge->start();
    }

    BoardWatch watch(service);
    if (web) {
        web::WebServer& server = web->server;
        QObject::connect(&watch, &BoardWatch::statusPolled, &server, [&] {
            server.live().send(present::pollJson(service.info(), QDateTime::currentDateTime()));
        });
        QObject::connect(&watch, &BoardWatch::boardEvent, &server,
                         [&](const QString& name, const QString& message) {
                             server.live().send(
                                 present::eventJson(name, message, QDateTime::currentDateTime()));
                         });
        QObject::connect(
            &alerts, &AlertMonitor::alertTold, &server,
            [&](const AlertReport& report) { server.live().send(alertEventJson(report)); });
    }
    watch.start(service.pollInterval());
    loop.exec();
    if (web)
        web->server.live().closeAll();
    // The broker learns the board is offline before serve ends.
    if (bridge)
        bridge->stop();
    // What waits of the history goes into the file before the end.
    if (recorder)
        recorder->flush();
    return ExitDone;
}

} // namespace kv::cli
