#pragma once

#include "board/line_fields.h"
#include "device/records/info_block.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

// The API's grammar: what a request's JSON says, as the typed values of the
// board service. A JSON number is taken as a number, a JSON bool as a flag,
// and a JSON text as the board's value words (board/value_words.h), so
// "12,5" and 12.5 are the same level. Whether a value lies in its field's
// range is not decided here: the service refuses it with the catalogue's
// text. A request outside this grammar is refused with an English reason.
namespace kv::web::api {

// The body as a JSON object; an empty body is an empty object. Nothing, with
// the reason in error, for anything else.
std::optional<QJsonObject> bodyObject(const QByteArray& body, QString& error);

// A channel: "W", "R", "G", "B" (any case) or "0".."3", or the number 0..3;
// -1 for anything else.
int channelOf(const QJsonValue& value);
// A level in percent: a number, or a text with a point or a comma and an
// optional "%".
std::optional<double> percentOf(const QJsonValue& value);
// "manual", "auto" or "geo".
std::optional<BoardMode> modeOf(const QJsonValue& value);

// The level the board stores for a percent. A percent outside 0..100 gives
// a level outside the board's range, which the service refuses as the
// percent it was.
int levelOfPercent(double percent);

// The fields of PUT schedule/N: time ("HH:MM"), alt (degrees), W R G B or
// 0 to 3 (percent), display, clouds and storms (true, false, "on", "off"),
// timer (a whole number); names in any case. Nothing, with the reason in
// error, for an unknown name or a value of the wrong kind.
std::optional<LineFields> lineFieldsOf(const QJsonObject& body, QString& error);

// The names the fields may be given under, for messages.
QString lineFieldNames();

} // namespace kv::web::api
