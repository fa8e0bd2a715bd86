#include "board/line_fields.h"

#include "device/records/field_range.h"
#include "text/range_reason.h"

#include <QStringList>

namespace kv {

using namespace fieldrange;

bool LineFields::isEmpty() const {
    for (const auto& level : percent)
        if (level)
            return false;
    return !time && !altitude && !display && !clouds && !storms && !timer;
}

Outcome checkLineFields(const LineFields& fields, QString* field) {
    const auto refused = [field](const char* name, TextMessage refusal) {
        if (field)
            *field = QString::fromLatin1(name);
        return Outcome::failed(OutcomeCode::OutOfRange, std::move(refusal));
    };
    if (fields.time) {
        if (!LineHour.contains(fields.time->hour))
            return refused("time", rangeRefusal(LineHour));
        if (!LineMinute.contains(fields.time->minute))
            return refused("time", rangeRefusal(LineMinute));
        if (fields.time->hour == int(LineHour.highest) && fields.time->minute != 0)
            return refused("time", {QString::fromLatin1(EndOfDayOnlyKey), {}});
    }
    if (fields.altitude && !Altitude.contains(*fields.altitude))
        return refused("alt", rangeRefusal(Altitude));
    static const char* const Letters[] = {"W", "R", "G", "B"};
    for (std::size_t channel = 0; channel < fields.percent.size(); ++channel)
        if (fields.percent[channel] && !LevelPercent.contains(*fields.percent[channel]))
            return refused(Letters[channel], rangeRefusal(LevelPercent));
    if (fields.timer && !Timer.contains(*fields.timer))
        return refused("timer", rangeRefusal(Timer));
    return Outcome::done();
}

void applyLineFields(ScheduleLine& line, const LineFields& fields) {
    if (fields.time) {
        line.Hour = std::int8_t(fields.time->hour);
        line.Minute = std::int8_t(fields.time->minute);
    }
    if (fields.altitude)
        line.Alt = std::int16_t(degreesToAlt(*fields.altitude));
    for (std::size_t channel = 0; channel < fields.percent.size(); ++channel)
        if (fields.percent[channel])
            line.Color16[channel] =
                std::int16_t(storedValue(LevelPercent, *fields.percent[channel]));
    const auto setFlag = [&line](const std::optional<bool>& on, std::uint8_t mask) {
        if (on)
            line.Switch = std::uint8_t(*on ? line.Switch | mask : line.Switch & ~mask);
    };
    setFlag(fields.display, ScheduleLine::Display);
    setFlag(fields.clouds, ScheduleLine::Clouds);
    setFlag(fields.storms, ScheduleLine::Storms);
    if (fields.timer)
        line.Timer = std::int16_t(std::uint16_t(*fields.timer));
}

QString lineFieldsText(const LineFields& fields) {
    QStringList words;
    if (fields.time)
        words << QStringLiteral("time=%1:%2")
                     .arg(fields.time->hour, 2, 10, QLatin1Char('0'))
                     .arg(fields.time->minute, 2, 10, QLatin1Char('0'));
    if (fields.altitude)
        words << QStringLiteral("alt=%1").arg(*fields.altitude);
    static const char Letters[] = "WRGB";
    for (std::size_t channel = 0; channel < fields.percent.size(); ++channel)
        if (fields.percent[channel])
            words << QStringLiteral("%1=%2")
                         .arg(QLatin1Char(Letters[channel]))
                         .arg(*fields.percent[channel]);
    const auto flag = [&words](const char* name, const std::optional<bool>& on) {
        if (on)
            words << QStringLiteral("%1=%2").arg(QLatin1String(name),
                                                 QLatin1String(*on ? "on" : "off"));
    };
    flag("display", fields.display);
    flag("clouds", fields.clouds);
    flag("storms", fields.storms);
    if (fields.timer)
        words << QStringLiteral("timer=%1").arg(*fields.timer);
    return words.join(QLatin1Char(' '));
}

} // namespace kv
