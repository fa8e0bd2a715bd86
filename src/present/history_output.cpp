#include "present/history_output.h"

#include "board/value_words.h"
#include "history/history_time.h"

#include <QJsonArray>
#include <QJsonValue>

#include <cmath>

namespace kv::present {

namespace {

const char* const Letters[] = {"W", "R", "G", "B"};

double rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

QJsonValue optionalJson(const std::optional<double>& value, int decimals) {
    return value ? QJsonValue(rounded(*value, decimals)) : QJsonValue();
}

QByteArray optionalCsv(const std::optional<double>& value, int decimals) {
    return value ? QByteArray::number(rounded(*value, decimals), 'g', 10) : QByteArray();
}

} // namespace

QJsonObject historyJson(const std::vector<HistoryPoint>& points, qint64 from, qint64 to) {
    QJsonArray list;
    for (const HistoryPoint& p : points) {
        QJsonObject point{
            {QStringLiteral("time"), historyTimeText(p.time)},
            {QStringLiteral("waterTemperature"), optionalJson(p.water, 2)},
            {QStringLiteral("waterTemperatureMin"), optionalJson(p.waterMin, 1)},
            {QStringLiteral("waterTemperatureMax"), optionalJson(p.waterMax, 1)},
            {QStringLiteral("inputVoltage"), optionalJson(p.voltage, 2)},
            {QStringLiteral("mode"), words::modeName(std::uint8_t(p.mode))},
        };
        for (std::size_t c = 0; c < p.percent.size(); ++c)
            point.insert(QLatin1String(Letters[c]), rounded(p.percent[c], 2));
        list.append(point);
    }
    return {{QStringLiteral("from"), historyTimeText(from)},
            {QStringLiteral("to"), historyTimeText(to)},
            {QStringLiteral("points"), list}};
}

QByteArray historyCsv(const std::vector<HistoryPoint>& points) {
    QByteArray text = "time,waterTemperature,waterTemperatureMin,waterTemperatureMax,"
                      "inputVoltage,W,R,G,B,mode\n";
    for (const HistoryPoint& p : points) {
        text += historyTimeText(p.time).toUtf8() + ',' + optionalCsv(p.water, 2) + ',' +
                optionalCsv(p.waterMin, 1) + ',' + optionalCsv(p.waterMax, 1) + ',' +
                optionalCsv(p.voltage, 2);
        for (double percent : p.percent)
            text += ',' + QByteArray::number(rounded(percent, 2), 'g', 10);
        text += ',' + words::modeName(std::uint8_t(p.mode)).toUtf8() + '\n';
    }
    return text;
}

QJsonObject historyEventsJson(const std::vector<HistoryEvent>& events) {
    QJsonArray list;
    for (const HistoryEvent& e : events)
        list.append(QJsonObject{{QStringLiteral("time"), historyTimeText(e.time)},
                                {QStringLiteral("kind"), e.kind},
                                {QStringLiteral("detail"), e.detail},
                                {QStringLiteral("origin"), e.origin}});
    return {{QStringLiteral("events"), list}};
}

} // namespace kv::present
