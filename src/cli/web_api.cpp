#include "cli/web_api.h"

#include "board/board_watch.h"
#include "board/value_words.h"
#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "cli/schedule_fields.h"
#include "device/records/field_range.h"
#include "geo/board_geo.h"
#include "plot/channel_colors.h"
#include "present/astro_json.h"
#include "present/board_pictures.h"
#include "present/schedule_json.h"
#include "present/status_output.h"
#include "text/log_stamp.h"
#include "text/range_reason.h"
#include "text/text_catalogue.h"
#include "web/web_server.h"

#include <QBuffer>
#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTextStream>

namespace kv::cli {

using namespace present;

namespace {

using web::errorReply;
using web::jsonReply;
using web::WebReply;
using web::WebRequest;

const QString Api = QStringLiteral("/api/v1/");

WebReply done(QJsonObject object = {}) {
    object.insert(QStringLiteral("ok"), true);
    return jsonReply(object);
}

// The request's body as a JSON object; an empty body is an empty object.
std::optional<QJsonObject> bodyObject(const WebRequest& request, WebReply& refusal) {
    if (request.body.trimmed().isEmpty())
        return QJsonObject();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
    if (error.error != QJsonParseError::NoError) {
        refusal = errorReply(400, QStringLiteral("malformed JSON: %1").arg(error.errorString()));
        return std::nullopt;
    }
    if (!document.isObject()) {
        refusal = errorReply(400, QStringLiteral("the body must be a JSON object"));
        return std::nullopt;
    }
    return document.object();
}

// A JSON value as the word the command line would take: texts as they are,
// numbers in their shortest form, true and false as on and off.
std::optional<QString> wordOf(const QJsonValue& value) {
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    if (value.isBool())
        return QString::fromLatin1(value.toBool() ? "on" : "off");
    return std::nullopt;
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
    return pictureSizeOfWord(request.query.queryItemValue(QStringLiteral("size")));
}

QString colorText(QRgb rgb) {
    return QColor(rgb).name(QColor::HexRgb);
}

} // namespace

BoardApi::BoardApi(Context& c, web::WebServer& server) : c_(c), server_(server) {
    web::Routes& routes = server.routes();
    routes.add("GET", Api + "status",
               [this](const WebRequest&, const QString&) { return status(); });
    routes.add("GET", Api + "schedule",
               [this](const WebRequest&, const QString&) { return schedule(); });
    routes.add("PUT", Api + "schedule/{}", [this](const WebRequest& r, const QString& segment) {
        return changeLine(r, segment);
    });
    routes.add("POST", Api + "mode",
               [this](const WebRequest& r, const QString&) { return mode(r); });
    routes.add("POST", Api + "level",
               [this](const WebRequest& r, const QString&) { return level(r); });
    routes.add("POST", Api + "cloud", [this](const WebRequest& r, const QString&) {
        return command(r, int(BoardCommand::Cloud), QStringLiteral("cloud"));
    });
    routes.add("POST", Api + "storm", [this](const WebRequest& r, const QString&) {
        return command(r, int(BoardCommand::Storm), QStringLiteral("storm"));
    });
    routes.add("POST", Api + "save", [this](const WebRequest& r, const QString&) {
        return command(r, int(BoardCommand::Save), QStringLiteral("save"));
    });
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
    routes.add("GET", web::LivePath, [](const WebRequest&, const QString&) {
        return errorReply(400, QStringLiteral("the live feed is a WebSocket"));
    });
}

QJsonObject BoardApi::liveGreeting() {
    const BoardService& board = c_.service();
    const QDateTime now = QDateTime::currentDateTime();
    if (board.isConnected())
        return pollJson(board.info(), now);
    if (board.boardHeld())
        return eventJson(BoardWatch::OtherFirmware, board.problem().text(), now);
    return eventJson(BoardWatch::Unplugged, board.problem().text(), now);
}

std::optional<WebReply> BoardApi::noBoard() {
    const BoardService& board = c_.service();
    if (board.isConnected())
        return std::nullopt;
    return errorReply(503, board.problem().text());
}

WebReply BoardApi::failed(const Outcome& outcome) {
    switch (outcome.code) {
    case OutcomeCode::OutOfRange:
    case OutcomeCode::NotWritable:
        return errorReply(400, outcome.text());
    case OutcomeCode::NoSuchLine:
        return errorReply(404, outcome.text());
    case OutcomeCode::NoBoard:
        return errorReply(503, outcome.text());
    default:
        return errorReply(502, outcome.text());
    }
}

void BoardApi::logChange(const WebRequest& request, const QString& what) {
    QTextStream err(stderr);
    err << dateTimeText(QDateTime::currentDateTime()) << " | " << request.peerText() << " | "
        << what << '\n';
}

WebReply BoardApi::status() {
    if (auto refusal = noBoard())
        return *refusal;
    return jsonReply(statusJson(c_.service().info()));
}

WebReply BoardApi::schedule() {
    if (auto refusal = noBoard())
        return *refusal;
    const BoardService& board = c_.service();
    return jsonReply(scheduleJson(board.info(), board.schedule()));
}

WebReply BoardApi::changeLine(const WebRequest& request, const QString& segment) {
    bool isNumber = false;
    const int index = segment.toInt(&isNumber);
    if (!isNumber || index < 0 || segment.startsWith(QLatin1Char('+')))
        return errorReply(404, QStringLiteral("there is no line %1").arg(segment));
    WebReply refusal;
    const auto body = bodyObject(request, refusal);
    if (!body)
        return refusal;
    if (body->isEmpty())
        return errorReply(400, QStringLiteral("no fields given (time, alt, W, R, G, B, 0 to 3, "
                                              "display, clouds, storms, timer)"));
    QStringList words;
    for (auto it = body->begin(); it != body->end(); ++it) {
        const auto word = wordOf(it.value());
        if (!word)
            return errorReply(
                400, QStringLiteral("%1: expected a text, a number, true or false").arg(it.key()));
        words << it.key() + QLatin1Char('=') + *word;
    }
    const FieldWords fields = parseFieldWords(words);
    if (!fields.error.isEmpty())
        return errorReply(400, fields.error);
    if (const Outcome refusal = checkLineFields(fields.fields); !refusal.ok())
        return failed(refusal);
    if (auto missing = noBoard())
        return *missing;
    BoardService& board = c_.service();
    const Outcome change = board.changeScheduleLine(index, fields.fields, true);
    if (!change.ok())
        return failed(change);
    logChange(request, QStringLiteral("schedule line %1: %2").arg(index).arg(words.join(' ')));
    return done({{QStringLiteral("line"), lineJson(board.schedule()[std::size_t(index)], index)}});
}

WebReply BoardApi::mode(const WebRequest& request) {
    WebReply refusal;
    const auto body = bodyObject(request, refusal);
    if (!body)
        return refusal;
    const auto mode = words::modeOf(body->value(QStringLiteral("mode")).toString());
    if (!mode)
        return errorReply(400, QStringLiteral("mode must be manual, auto or geo"));
    if (auto missing = noBoard())
        return *missing;
    if (const Outcome set = c_.service().setMode(*mode); !set.ok())
        return failed(set);
    const QString name = words::modeName(*mode);
    logChange(request, QStringLiteral("mode %1").arg(name));
    return done({{QStringLiteral("mode"), name}});
}

WebReply BoardApi::level(const WebRequest& request) {
    WebReply refusal;
    const auto body = bodyObject(request, refusal);
    if (!body)
        return refusal;
    const int channel =
        words::channelOf(wordOf(body->value(QStringLiteral("channel"))).value_or(""));
    if (channel < 0)
        return errorReply(400, QStringLiteral("channel must be W, R, G, B or 0 to 3"));
    const auto percent =
        words::percentOf(wordOf(body->value(QStringLiteral("percent"))).value_or(""));
    if (!percent)
        return errorReply(400, QStringLiteral("percent must be a number from 0 to 100"));
    if (!fieldrange::LevelPercent.contains(*percent))
        return errorReply(400, rangeReason(fieldrange::LevelPercent));
    if (auto missing = noBoard())
        return *missing;
    BoardService& board = c_.service();
    if (const Outcome set =
            board.setLevel(channel, int(storedValue(fieldrange::LevelPercent, *percent)));
        !set.ok())
        return failed(set);
    logChange(request, QStringLiteral("level %1 %2 %").arg(ChannelLetter(channel)).arg(*percent));
    return done({{QStringLiteral("channel"), ChannelLetter(channel)},
                 {QStringLiteral("percent"), percentOf(board.info().Level[std::size_t(channel)])}});
}

WebReply BoardApi::command(const WebRequest& request, int command, const QString& name) {
    if (auto missing = noBoard())
        return *missing;
    BoardService& board = c_.service();
    const Outcome sent = command == int(BoardCommand::Cloud)   ? board.startCloud()
                         : command == int(BoardCommand::Storm) ? board.startStorm()
                                                               : board.saveSettings();
    if (!sent.ok())
        return failed(sent);
    logChange(request, name);
    return done();
}

WebReply BoardApi::astro() {
    if (auto missing = noBoard())
        return *missing;
    const BoardService& board = c_.service();
    const auto figures = boardGeoFigures(board.info(), board.expert());
    if (!figures)
        return errorReply(502, QStringLiteral("the board's clock gives no date"));
    QJsonObject object = geoFiguresJson(*figures);
    object.insert(QStringLiteral("latitude"), board.expert().Lat / 10.0);
    object.insert(QStringLiteral("longitude"), board.expert().Lon / 10.0);
    return jsonReply(object);
}

WebReply BoardApi::curve(const WebRequest& request) {
    int channel = 0;
    if (request.query.hasQueryItem(QStringLiteral("channel"))) {
        channel = words::channelOf(request.query.queryItemValue(QStringLiteral("channel")));
        if (channel < 0)
            return errorReply(400, QStringLiteral("channel must be W, R, G, B or 0 to 3"));
    }
    const auto size = pictureSize(request, CurvePictureSize);
    if (!size)
        return errorReply(400, QStringLiteral("size must be %1").arg(pictureSizeRule()));
    if (auto missing = noBoard())
        return *missing;
    const BoardService& board = c_.service();
    return png(drawBoardDayCurve(board.info(), board.expert(), board.schedule(), channel, *size));
}

WebReply BoardApi::chart(const WebRequest& request) {
    const auto size = pictureSize(request, ChartPictureSize);
    if (!size)
        return errorReply(400, QStringLiteral("size must be %1").arg(pictureSizeRule()));
    if (auto missing = noBoard())
        return *missing;
    BoardService& board = c_.service();
    if (const Outcome read = board.reread({BoardRecord::Expert}); !read.ok())
        return failed(read);
    return png(drawBoardChart(board.info(), board.expert(), board.chart(), *size));
}

WebReply BoardApi::channels() {
    if (auto missing = noBoard())
        return *missing;
    const InfoBlock& info = c_.service().info();
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
        return web::emptyReply();
    WebReply refusal;
    const auto body = bodyObject(request, refusal);
    if (!body)
        return refusal;
    const QByteArray given = body->value(QStringLiteral("token")).toString().trimmed().toUtf8();
    if (!web::sameToken(given, token)) {
        logChange(request, QStringLiteral("wrong token entered"));
        return errorReply(401, QStringLiteral("wrong token"));
    }
    WebReply reply = web::emptyReply();
    reply.addHeader("Set-Cookie", web::tokenCookieHeader(token));
    return reply;
}

} // namespace kv::cli
