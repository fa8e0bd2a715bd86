#include "schedule/schedule_cells.h"

#include "device/records/info_block.h"
#include "text/number_format.h"
#include "text/range_reason.h"
#include "text/text_catalogue.h"

#include <cmath>

namespace kv::schedule {

namespace {

using namespace fieldrange;

CellInput accepted() {
    return {CellInput::Accepted, {}, {}};
}

CellInput refused(const TextMessage& refusal) {
    return {CellInput::Refused, refusal.text(), refusal};
}

CellInput ignored() {
    return {CellInput::Ignored, {}, {}};
}

CellInput applyTime(ScheduleLine& line, const QString& text, const QLocale& locale) {
    std::optional<qint64> hour;
    std::optional<qint64> minute;
    if (const qsizetype colon = text.indexOf(QLatin1Char(':')); colon >= 0) {
        hour = parseInteger(text.left(colon));
        minute = parseInteger(text.mid(colon + 1));
    } else {
        minute = parseInteger(text);
    }
    if (!hour && !minute)
        return ignored();
    if (hour && !LineHour.contains(double(*hour)))
        return refused(rangeRefusal(LineHour, locale));
    if (minute && !LineMinute.contains(double(*minute)))
        return refused(rangeRefusal(LineMinute, locale));
    const int newHour = hour ? int(*hour) : line.Hour;
    const int newMinute = minute ? int(*minute) : line.Minute;
    if (newHour == int(LineHour.highest) && newMinute != 0)
        return refused({QString::fromLatin1(EndOfDayOnlyKey), {}});
    line.Hour = std::int8_t(newHour);
    line.Minute = std::int8_t(newMinute);
    return accepted();
}

// A decimal number within minimum..maximum, or the outcome that keeps the
// field.
std::optional<double> typedNumber(const QString& text, const FieldRange& range,
                                  const QLocale& locale, CellInput& outcome) {
    const std::optional<double> number = parseNumber(text, locale);
    if (!number) {
        outcome = ignored();
        return std::nullopt;
    }
    if (!range.contains(*number)) {
        outcome = refused(rangeRefusal(range, locale));
        return std::nullopt;
    }
    outcome = accepted();
    return number;
}

CellInput applyAltitude(ScheduleLine& line, const QString& text, const QLocale& locale) {
    CellInput outcome;
    if (const auto degrees = typedNumber(text, Altitude, locale, outcome))
        line.Alt = std::int16_t(degreesToAlt(*degrees));
    return outcome;
}

CellInput applyLevel(ScheduleLine& line, int channel, const QString& text, const QLocale& locale) {
    CellInput outcome;
    if (const auto percent = typedNumber(text, LevelPercent, locale, outcome))
        line.Color16[std::size_t(channel)] = std::int16_t(storedValue(LevelPercent, *percent));
    return outcome;
}

CellInput applyTimer(ScheduleLine& line, const QString& text, const QLocale& locale) {
    const std::optional<qint64> value = parseInteger(text);
    if (!value)
        return ignored();
    if (!Timer.contains(double(*value)))
        return refused(rangeRefusal(Timer, locale));
    line.Timer = std::int16_t(std::uint16_t(*value));
    return accepted();
}

CellInput applyFlag(ScheduleLine& line, int column, const QString& text) {
    const std::uint8_t mask = flagMask(column);
    if (text == flagText(false))
        line.Switch = std::uint8_t(line.Switch & ~mask);
    else
        line.Switch = std::uint8_t(line.Switch | mask);
    return accepted();
}

} // namespace

Place placeOfMode(std::uint8_t mode) {
    return mode == std::uint8_t(BoardMode::Geo) ? Place::Altitude : Place::Time;
}

int channelOfColumn(int column) {
    const int channel = column - FirstLevelColumn;
    return channel >= 0 && channel < ChannelCount ? channel : -1;
}

int columnOfChannel(int channel) {
    return FirstLevelColumn + channel;
}

bool isFlagColumn(int column) {
    return column == DisplayColumn || column == CloudsColumn || column == StormsColumn;
}

std::uint8_t flagMask(int column) {
    switch (column) {
    case DisplayColumn:
        return ScheduleLine::Display;
    case CloudsColumn:
        return ScheduleLine::Clouds;
    case StormsColumn:
        return ScheduleLine::Storms;
    default:
        return 0;
    }
}

QString headerText(int column, Place place) {
    switch (column) {
    case LineColumn:
        return Msg(QStringLiteral("Line"));
    case PlaceColumn:
        return Msg(place == Place::Altitude ? QStringLiteral("Altitude") : QStringLiteral("Time"));
    case DisplayColumn:
        return Msg(QStringLiteral("Display"));
    case CloudsColumn:
        return Msg(QStringLiteral("Clouds"));
    case StormsColumn:
        return Msg(QStringLiteral("Storms"));
    case TimerColumn:
        return Msg(QStringLiteral("Timer"));
    default:
        return {};
    }
}

QString flagText(bool on) {
    return Msg(on ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

QString toggledFlagText(const QString& text) {
    return flagText(text != flagText(true));
}

QString timeText(int hour, int minute, const QLocale& locale) {
    return formatNumber(hour, u"00", locale) + QLatin1Char(':') +
           formatNumber(minute, u"00", locale);
}

QString altitudeText(std::int16_t alt, const QLocale& locale) {
    const double degrees = altToDegrees(alt);
    return std::isnan(degrees) ? QStringLiteral("0") : formatNumber(degrees, u"0.##", locale);
}

QString percentText(int level, const QLocale& locale) {
    return formatNumber(levelToPercent(level), u"0.##", locale);
}

QString timerText(std::int16_t timer) {
    // A duration in hundredths of a second: shown as the 16 bits unsigned, so
    // that every shown value can be typed again.
    return QString::number(std::uint16_t(timer));
}

QString cellText(const ScheduleLine& line, int index, int column, Place place,
                 const QLocale& locale) {
    if (column == LineColumn)
        return QString::number(index);
    if (column == PlaceColumn)
        return place == Place::Altitude ? altitudeText(line.Alt, locale)
                                        : timeText(line.Hour, line.Minute, locale);
    if (const int channel = channelOfColumn(column); channel >= 0)
        return percentText(line.Color16[std::size_t(channel)], locale);
    if (isFlagColumn(column))
        return flagText((line.Switch & flagMask(column)) != 0);
    if (column == TimerColumn)
        return timerText(line.Timer);
    return {};
}

CellInput applyCellText(ScheduleLine& line, int column, const QString& text, Place place,
                        const QLocale& locale) {
    // An emptied cell changes nothing.
    if (text.isEmpty())
        return ignored();
    if (column == PlaceColumn)
        return place == Place::Altitude ? applyAltitude(line, text, locale)
                                        : applyTime(line, text, locale);
    if (const int channel = channelOfColumn(column); channel >= 0)
        return applyLevel(line, channel, text, locale);
    if (isFlagColumn(column))
        return applyFlag(line, column, text);
    if (column == TimerColumn)
        return applyTimer(line, text, locale);
    return ignored();
}

} // namespace kv::schedule
