#include "present/status_output.h"

#include "board/value_words.h"
#include "device/clock_sync.h"
#include "device/health.h"
#include "text/log_stamp.h"
#include "text/number_format.h"
#include "text/text_catalogue.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QStringList>

#include <cmath>

namespace kv::present {

namespace {

QString modeText(std::uint8_t raw) {
    const auto mode = boardModeOf(raw);
    return mode ? kv::modeText(*mode) : QString::number(raw);
}

QString temperatureText(const InfoBlock& info) {
    return formatNumber(info.WaterTemp / 10.0, u"0.0") + QString::fromUtf8("°C");
}

QString voltageText(const InfoBlock& info) {
    return formatNumber(info.InputVoltage / 100.0, u"0.00") + QStringLiteral(" Volt");
}

QString levelText(const InfoBlock& info, int channel) {
    return ChannelLetter(channel) + QLatin1Char(' ') +
           formatNumber(levelToPercent(info.Level[std::size_t(channel)]), u"0.##") +
           QStringLiteral(" %");
}

} // namespace

double percentOf(int level) {
    return std::round(levelToPercent(level) * 100.0) / 100.0;
}

QJsonObject statusJson(const InfoBlock& info) {
    const auto clock = boardDateTime(info);
    const bool sensor = info.WaterTemp != NoValue;
    const bool voltage = info.InputVoltage != NoValue;
    QJsonArray levels;
    for (int i = 0; i < ChannelCount; ++i)
        levels.append(
            QJsonObject{{QStringLiteral("channel"), ChannelLetter(i)},
                        {QStringLiteral("level"), info.Level[std::size_t(i)]},
                        {QStringLiteral("percent"), percentOf(info.Level[std::size_t(i)])}});
    return {
        {QStringLiteral("firmwareVersion"), info.FirmwareVersion},
        {QStringLiteral("clock"), clock ? QJsonValue(isoText(*clock)) : QJsonValue()},
        {QStringLiteral("mode"), words::modeName(info.Mode)},
        {QStringLiteral("levels"), levels},
        {QStringLiteral("waterTemperature"),
         sensor ? QJsonValue(info.WaterTemp / 10.0) : QJsonValue()},
        {QStringLiteral("inputVoltage"),
         voltage ? QJsonValue(info.InputVoltage / 100.0) : QJsonValue()},
        {QStringLiteral("health"), healthStatusText(info)},
        {QStringLiteral("alarm"), healthIsAlarming(info)},
        {QStringLiteral("activity"), activityLetters(info)},
        {QStringLiteral("saving"), bool(info.StateFlags & StateSaving)},
    };
}

QJsonObject pollJson(const InfoBlock& info, const QDateTime& computer) {
    QJsonObject object = statusJson(info);
    object.insert(QStringLiteral("computerTime"), isoText(computer));
    return object;
}

QJsonObject eventJson(const QString& name, const QString& message, const QDateTime& computer) {
    return {{QStringLiteral("computerTime"), isoText(computer)},
            {QStringLiteral("event"), name},
            {QStringLiteral("message"), message}};
}

QString isoText(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

void printStatus(QTextStream& out, const InfoBlock& info) {
    const auto clock = boardDateTime(info);
    out << "Firmware: " << info.FirmwareVersion << '\n';
    out << "Uhrzeit: " << (clock ? dateTimeText(*clock) : QStringLiteral("--")) << '\n';
    out << "Modus: " << modeText(info.Mode) << '\n';
    for (int i = 0; i < ChannelCount; ++i)
        out << ChannelLetter(i) << ": "
            << formatNumber(levelToPercent(info.Level[std::size_t(i)]), u"0.##") << " %\n";
    if (info.WaterTemp != NoValue)
        out << "KestTHERMAL: " << temperatureText(info) << '\n';
    else
        out << Msg(QStringLiteral("KestTHERMALNotConnected")) << '\n';
    if (info.InputVoltage != NoValue)
        out << Msg(QStringLiteral("InputVoltage")) << ": " << voltageText(info) << '\n';
    out << "Zustand: " << healthStatusText(info) << '\n';
    out << QString::fromUtf8("Aktivität: ") << activityLetters(info) << '\n';
}

QString watchLine(const InfoBlock& info, const QDateTime& computer) {
    const auto clock = boardDateTime(info);
    QStringList levels;
    for (int i = 0; i < ChannelCount; ++i)
        levels << levelText(info, i);
    QStringList fields = {
        dateTimeText(computer),
        QStringLiteral("Uhr ") + (clock ? dateTimeText(*clock) : QStringLiteral("--")),
        modeActivityText(info),
        levels.join(QStringLiteral("  ")),
        QStringLiteral("KestTHERMAL: ") +
            (info.WaterTemp != NoValue ? temperatureText(info) : QStringLiteral("--")),
        Msg(QStringLiteral("InputVoltage")) + QStringLiteral(": ") +
            (info.InputVoltage != NoValue ? voltageText(info) : QStringLiteral("--")),
    };
    if (const QString errors = healthErrorText(info); !errors.isEmpty())
        fields << errors;
    return fields.join(QStringLiteral(" | "));
}

} // namespace kv::present
