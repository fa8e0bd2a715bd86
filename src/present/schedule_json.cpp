#include "present/schedule_json.h"

#include "board/value_words.h"
#include "present/status_output.h"
#include "schedule/schedule_cells.h"

#include <QJsonArray>
#include <QJsonValue>

#include <cmath>

namespace kv::present {

namespace {

double twoDecimals(double value) {
    return std::round(value * 100.0) / 100.0;
}

} // namespace

QJsonObject lineJson(const ScheduleLine& line, int index) {
    QJsonArray levels;
    for (int channel = 0; channel < ChannelCount; ++channel)
        levels.append(percentOf(line.Color16[std::size_t(channel)]));
    const double degrees = altToDegrees(line.Alt);
    return {
        {QStringLiteral("line"), index},
        {QStringLiteral("hour"), line.Hour},
        {QStringLiteral("minute"), line.Minute},
        {QStringLiteral("altitude"), std::isnan(degrees) ? QJsonValue() : twoDecimals(degrees)},
        {QStringLiteral("levels"), levels},
        {QStringLiteral("display"), (line.Switch & ScheduleLine::Display) != 0},
        {QStringLiteral("clouds"), (line.Switch & ScheduleLine::Clouds) != 0},
        {QStringLiteral("storms"), (line.Switch & ScheduleLine::Storms) != 0},
        {QStringLiteral("timer"), int(std::uint16_t(line.Timer))},
        {QStringLiteral("switch"), line.Switch},
    };
}

QJsonObject scheduleJson(const InfoBlock& info, const Schedule& schedule) {
    QJsonArray lines;
    for (int i = 0; i < int(schedule.size()); ++i)
        lines.append(lineJson(schedule[std::size_t(i)], i));
    return {{QStringLiteral("mode"), words::modeName(info.Mode)},
            {QStringLiteral("currentLine"), info.CurrentLine},
            {QStringLiteral("lines"), lines}};
}

} // namespace kv::present
