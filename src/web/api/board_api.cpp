#include "web/api/board_api.h"

#include "board/board_service.h"
#include "board/board_watch.h"
#include "board/value_words.h"
#include "geo/board_geo.h"
#include "plot/channel_colors.h"
#include "present/astro_json.h"
#include "present/board_pictures.h"
#include "present/schedule_json.h"
#include "present/status_output.h"
#include "web/api/api_request.h"
#include "web/api/outcome_reply.h"
#include "web/error_codes.h"
#include "web/web_server.h"

#include <QBuffer>
#include <QColor>
#include <QJsonArray>

namespace kv::web {

namespace {

using api::outcomeReply;

const QString Api = QStringLiteral("/api/v1/");

WebReply badRequest(const QString& message) {
    return errorReply(400, errorcode::BadRequest, message);
}

WebReply done(QJsonObject object = {}) {
    object.insert(QStringLiteral("ok"), true);
    return jsonReply(object);
}

// The request's body as a JSON object, or the refusal in reply.
std::optional<QJsonObject> bodyOf(const WebRequest& request, WebReply& refusal) {
    QString error;
    auto body = api::bodyObject(request.body, error);
    if (!body)
        refusal = errorReply(400, errorcode::MalformedJson, error);
    return body;
}

Origin originOf(const WebRequest& request) {
    return Origin{Front::Web, request.peerText()};
}

WebReply png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {200, QByteArrayLiteral("image/png"), bytes, {}};
}

// The picture size of the request's size=WIDTHxHEIGHT, the default without
// one; nothing when it is given wrong.
std::optional<QSize> pictureSize(const WebRequest& request, QSize fallback) {
    if (!request.query.hasQueryItem(QStringLiteral("size")))
        return fallback;
    return present::pictureSizeOfWord(request.query.queryItemValue(QStringLiteral("size")));
}

WebReply badSize() {
    return badRequest(QStringLiteral("size must be %1").arg(present::pictureSizeRule()));
}

WebReply badChannel() {
    return badRequest(QStringLiteral("channel must be W, R, G, B or 0 to 3"));
}

QString colorText(QRgb rgb) {
    return QColor(rgb).name(QColor::HexRgb);
}

} // namespace

BoardApi::BoardApi(BoardService& service, WebServer& server, QObject* parent)
    : QObject(parent), service_(service), server_(server) {
    connect(&service, &BoardService::operationEnded, this, &BoardApi::logChange);
    connect(&service, &BoardService::polled, this,
            [this](bool readOk) { lastPollFailed_ = !readOk; });
    connect(&service, &BoardService::connected, this, [this] { lastPollFailed_ = false; });

    Routes& routes = server.routes();
    routes.add("GET", Api + "status",
               [this](const WebRequest&, const QString&) { return status(); });
    routes.add("GET", Api + "schedule",
               [this](const WebRequest& r, const QString&) { return schedule(r); });
    routes.add("PUT", Api + "schedule/{}", [this](const WebRequest& r, const QString& segment) {
        return changeLine(r, segment);
    });
    routes.add("POST", Api + "mode",
               [this](const WebRequest& r, const QString&) { return mode(r); });
    routes.add("POST", Api + "level",
               [this](const WebRequest& r, const QString&) { return level(r); });
    routes.add("POST", Api + "cloud", [this](const WebRequest& r, const QString&) {
        return command(r, Operation::Cloud);
    });
    routes.add("POST", Api + "storm", [this](const WebRequest& r, const QString&) {
        return command(r, Operation::Storm);
    });
    routes.add("POST", Api + "save",
               [this](const WebRequest& r, const QString&) { return command(r, Operation::Save); });
    routes.add("GET", Api + "astro", [this](const WebRequest&, const QString&) { return astro(); });
    routes.add("GET", Api + "plot/curve.png",
               [this](const WebRequest& r, const QString&) { return curve(r); });
    routes.add("GET", Api + "plot/chart.png",
               [this](const WebRequest& r, const QString&) { return chart(r); });
    routes.add("GET", Api + "channels",
               [this](const WebRequest&, const QString&) { return channels(); });
    routes.add(
        "POST", Api + "session", [this](const WebRequest& r, const QString&) { return session(r); },
        true);
    // The live feed is a WebSocket; a plain GET of its path is told so.
    routes.add("GET", LivePath, [](const WebRequest&, const QString&) {
        return errorReply(400, errorcode::NotAWebSocket,
                          QStringLiteral("the live feed is a WebSocket"));
    });
}

QJsonObject BoardApi::liveGreeting() const {
    const QDateTime now = QDateTime::currentDateTime();
    if (service_.isConnected())
        return present::pollJson(service_.info(), now);
    // A board is held but not usable: it runs another firmware.
    const QString event = service_.boardHeld() ? BoardWatch::OtherFirmware : BoardWatch::Unplugged;
    return present::eventJson(event, service_.problem().text(), now);
}

std::optional<WebReply> BoardApi::noBoard() const {
    if (service_.isConnected())
        return std::nullopt;
    return outcomeReply(Outcome::failed(OutcomeCode::NoBoard, service_.problem()));
}

void BoardApi::logChange(const OperationReport& report) {
    // Changes only, and only those that were made; reads change nothing.
    if (!log || report.origin.front != Front::Web || !report.outcome.ok() ||
        report.operation == Operation::Reread)
        return;
    QString what = operationName(report.operation);
    if (!report.detail.isEmpty())
        what += QLatin1Char(' ') + report.detail;
    log(QStringLiteral("%1 | %2").arg(report.origin.client, what));
}

WebReply BoardApi::status() const {
    if (auto refusal = noBoard())
        return *refusal;
    if (lastPollFailed_)
        return outcomeReply(
            Outcome::failed(OutcomeCode::NotAnswered, {QStringLiteral("BoardDidNotAnswer"), {}}));
    return jsonReply(present::statusJson(service_.info()));
}

WebReply BoardApi::schedule(const WebRequest& request) {
    const QString fresh = request.query.queryItemValue(QStringLiteral("fresh"));
    if (fresh != QLatin1String("1") && fresh != QLatin1String("0") && !fresh.isEmpty())
        return badRequest(QStringLiteral("fresh must be 1 or 0"));
    if (fresh == QLatin1String("1")) {
        const Outcome read = service_.reread({BoardRecord::Schedule}, originOf(request));
        if (!read.ok())
            return outcomeReply(read);
    }
    if (auto refusal = noBoard())
        return *refusal;
    return jsonReply(present::scheduleJson(service_.info(), service_.schedule()));
}

WebReply BoardApi::changeLine(const WebRequest& request, const QString& segment) {
    bool isNumber = false;
    const int index = segment.toInt(&isNumber);
    if (!isNumber || index < 0 || segment.startsWith(QLatin1Char('+')))
        return errorReply(404, errorcode::NotFound,
                          QStringLiteral("there is no line %1").arg(segment));
    WebReply refusal;
    const auto body = bodyOf(request, refusal);
    if (!body)
        return refusal;
    QString error;
    const auto fields = api::lineFieldsOf(*body, error);
    if (!fields)
        return badRequest(error);
    // Read fresh first: the line changed is the one the board holds now.
    const Outcome outcome = service_.changeScheduleLine(index, *fields, true, originOf(request));
    if (!outcome.ok()) {
        // The field refused, by the name the service checks it under.
        QString field;
        if (outcome.code == OutcomeCode::OutOfRange)
            checkLineFields(*fields, &field);
        return outcomeReply(outcome, field);
    }
    return done({{QStringLiteral("line"),
                  present::lineJson(service_.schedule()[std::size_t(index)], index)}});
}

WebReply BoardApi::mode(const WebRequest& request) {
    WebReply refusal;
    const auto body = bodyOf(request, refusal);
    if (!body)
        return refusal;
    const auto mode = api::modeOf(body->value(QStringLiteral("mode")));
    if (!mode)
        return badRequest(QStringLiteral("mode must be manual, auto or geo"));
    const Outcome outcome = service_.setMode(*mode, originOf(request));
    if (!outcome.ok())
        return outcomeReply(outcome);
    return done({{QStringLiteral("mode"), words::modeName(*mode)}});
}

WebReply BoardApi::level(const WebRequest& request) {
    WebReply refusal;
    const auto body = bodyOf(request, refusal);
    if (!body)
        return refusal;
    const int channel = api::channelOf(body->value(QStringLiteral("channel")));
    if (channel < 0)
        return badChannel();
    const auto percent = api::percentOf(body->value(QStringLiteral("percent")));
    if (!percent)
        return badRequest(QStringLiteral("percent must be a number"));
    const Outcome outcome = service_.setLevel(channel, api::levelOfPercent(*percent),
                                              LevelRule::AnyMode, originOf(request));
    if (!outcome.ok())
        return outcomeReply(outcome);
    return done({{QStringLiteral("channel"), ChannelLetter(channel)},
                 {QStringLiteral("percent"),
                  present::percentOf(service_.info().Level[std::size_t(channel)])}});
}

WebReply BoardApi::command(const WebRequest& request, Operation operation) {
    const Origin origin = originOf(request);
    const Outcome outcome = operation == Operation::Cloud   ? service_.startCloud(origin)
                            : operation == Operation::Storm ? service_.startStorm(origin)
                                                            : service_.saveSettings(origin);
    if (!outcome.ok())
        return outcomeReply(outcome);
    return done();
}

WebReply BoardApi::astro() const {
    if (auto refusal = noBoard())
        return *refusal;
    // The place is an expert setting, read when the board connected.
    const ExpertBlock& expert = service_.expert();
    const auto figures = boardGeoFigures(service_.info(), expert);
    if (!figures)
        return errorReply(502, errorcode::NoBoardDate,
                          QStringLiteral("the board's clock gives no date"));
    QJsonObject object = present::geoFiguresJson(*figures);
    object.insert(QStringLiteral("latitude"), expert.Lat / 10.0);
    object.insert(QStringLiteral("longitude"), expert.Lon / 10.0);
    return jsonReply(object);
}

WebReply BoardApi::curve(const WebRequest& request) const {
    int channel = 0;
    if (request.query.hasQueryItem(QStringLiteral("channel"))) {
        channel = words::channelOf(request.query.queryItemValue(QStringLiteral("channel")));
        if (channel < 0)
            return badChannel();
    }
    const auto size = pictureSize(request, present::CurvePictureSize);
    if (!size)
        return badSize();
    if (auto refusal = noBoard())
        return *refusal;
    return png(present::drawBoardDayCurve(service_.info(), service_.expert(), service_.schedule(),
                                          channel, *size));
}

WebReply BoardApi::chart(const WebRequest& request) {
    const auto size = pictureSize(request, present::ChartPictureSize);
    if (!size)
        return badSize();
    // The chart grows between reads and no poll reads it: read it now.
    const Outcome read = service_.reread({BoardRecord::Chart}, originOf(request));
    if (!read.ok())
        return outcomeReply(read);
    return png(
        present::drawBoardChart(service_.info(), service_.expert(), service_.chart(), *size));
}

WebReply BoardApi::channels() const {
    if (auto refusal = noBoard())
        return *refusal;
    const InfoBlock& info = service_.info();
    QJsonArray list;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const int color = colorTableIndex(info.ColorName[std::size_t(channel)]);
        list.append(QJsonObject{{QStringLiteral("channel"), ChannelLetter(channel)},
                                {QStringLiteral("name"), channelName(channel, color)},
                                {QStringLiteral("colorName"), ColorNameText(color)},
                                {QStringLiteral("color"), colorText(CurveColor(color))},
                                {QStringLiteral("tint"), colorText(PanelTint(color))}});
    }
    return jsonReply({{QStringLiteral("channels"), list}});
}

WebReply BoardApi::session(const WebRequest& request) {
    const QByteArray& token = server_.rules().token;
    if (token.isEmpty())
        return emptyReply();
    WebReply refusal;
    const auto body = bodyOf(request, refusal);
    if (!body)
        return refusal;
    const QByteArray given = body->value(QStringLiteral("token")).toString().trimmed().toUtf8();
    if (!sameToken(given, token)) {
        if (log)
            log(QStringLiteral("%1 | wrong token entered").arg(request.peerText()));
        return errorReply(401, errorcode::WrongToken, QStringLiteral("wrong token"));
    }
    WebReply reply = emptyReply();
    reply.addHeader("Set-Cookie", tokenCookieHeader(token));
    return reply;
}

} // namespace kv::web
