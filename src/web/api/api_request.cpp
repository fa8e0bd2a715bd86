#include "web/api/api_request.h"

#include "board/value_words.h"
#include "device/records/field_range.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>

namespace kv::web::api {

namespace {

// Beyond any field's range, and well inside an int: a whole number this far
// out is refused by its range, as any other outside it.
constexpr double FarOut = 1e9;

std::optional<double> decimalOf(const QJsonValue& value) {
    if (value.isDouble())
        return value.toDouble();
    if (value.isString())
        return words::decimalOf(value.toString());
    return std::nullopt;
}

std::optional<bool> flagOf(const QJsonValue& value) {
    if (value.isBool())
        return value.toBool();
    if (value.isString())
        return words::onOffOf(value.toString());
    return std::nullopt;
}

std::optional<int> wholeNumberOf(const QJsonValue& value) {
    double number = 0;
    if (value.isDouble()) {
        number = value.toDouble();
        if (std::floor(number) != number)
            return std::nullopt;
    } else if (value.isString()) {
        const auto parsed = words::wholeNumberOf(value.toString());
        if (!parsed)
            return std::nullopt;
        number = double(*parsed);
    } else {
        return std::nullopt;
    }
    return int(std::clamp(number, -FarOut, FarOut));
}

QString expected(const QString& key, const char* what) {
    return QStringLiteral("%1: expected %2").arg(key, QLatin1String(what));
}

} // namespace

std::optional<QJsonObject> bodyObject(const QByteArray& body, QString& error) {
    if (body.trimmed().isEmpty())
        return QJsonObject();
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parse);
    if (parse.error != QJsonParseError::NoError) {
        error = QStringLiteral("malformed JSON: %1").arg(parse.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = QStringLiteral("the body must be a JSON object");
        return std::nullopt;
    }
    return document.object();
}

int channelOf(const QJsonValue& value) {
    if (value.isString())
        return words::channelOf(value.toString());
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (number >= 0 && number < ChannelCount && std::floor(number) == number)
            return int(number);
    }
    return -1;
}

std::optional<double> percentOf(const QJsonValue& value) {
    if (value.isDouble())
        return value.toDouble();
    if (value.isString())
        return words::percentOf(value.toString());
    return std::nullopt;
}

std::optional<BoardMode> modeOf(const QJsonValue& value) {
    return value.isString() ? words::modeOf(value.toString()) : std::nullopt;
}

int levelOfPercent(double percent) {
    if (!fieldrange::LevelPercent.contains(percent))
        return percent < 0 ? int(fieldrange::Level.lowest) - 1 : int(fieldrange::Level.highest) + 1;
    return int(storedValue(fieldrange::LevelPercent, percent));
}

QString lineFieldNames() {
    return QStringLiteral("time, alt, W, R, G, B, 0 to 3, display, clouds, storms, timer");
}

std::optional<LineFields> lineFieldsOf(const QJsonObject& body, QString& error) {
    LineFields fields;
    for (auto it = body.begin(); it != body.end(); ++it) {
        const QString& key = it.key();
        const QJsonValue value = it.value();
        const QString name = key.toLower();
        if (name == QLatin1String("time")) {
            // A lone number would be taken for a minute by the schedule
            // tab; here the colon is required.
            const auto time = value.isString() ? words::lineTimeOf(value.toString()) : std::nullopt;
            if (!time) {
                error = expected(key, "a time HH:MM");
                return std::nullopt;
            }
            fields.time = time;
        } else if (name == QLatin1String("alt")) {
            const auto degrees = decimalOf(value);
            if (!degrees) {
                error = expected(key, "an altitude in degrees");
                return std::nullopt;
            }
            fields.altitude = degrees;
        } else if (const int channel = words::channelOf(key); channel >= 0) {
            const auto percent = percentOf(value);
            if (!percent) {
                error = expected(key, "a level in percent");
                return std::nullopt;
            }
            fields.percent[std::size_t(channel)] = percent;
        } else if (name == QLatin1String("display") || name == QLatin1String("clouds") ||
                   name == QLatin1String("storms")) {
            const auto on = flagOf(value);
            if (!on) {
                error = expected(key, "true or false (or \"on\", \"off\")");
                return std::nullopt;
            }
            (name == QLatin1String("display")  ? fields.display
             : name == QLatin1String("clouds") ? fields.clouds
                                               : fields.storms) = on;
        } else if (name == QLatin1String("timer")) {
            const auto timer = wholeNumberOf(value);
            if (!timer) {
                error = expected(key, "a whole number");
                return std::nullopt;
            }
            fields.timer = timer;
        } else {
            error = QStringLiteral("unknown field \"%1\" (%2)").arg(key, lineFieldNames());
            return std::nullopt;
        }
    }
    if (fields.isEmpty()) {
        error = QStringLiteral("no fields given (%1)").arg(lineFieldNames());
        return std::nullopt;
    }
    return fields;
}

} // namespace kv::web::api
