#include "board/value_words.h"

#include "text/number_format.h"
#include "text/text_catalogue.h"

#include <QLocale>

namespace kv::words {

std::optional<BoardMode> modeOf(const QString& word) {
    const QString name = word.toLower();
    for (BoardMode mode : BoardModes)
        if (name == modeName(mode))
            return mode;
    return std::nullopt;
}

QString modeName(BoardMode mode) {
    switch (mode) {
    case BoardMode::Manual:
        return QStringLiteral("manual");
    case BoardMode::Auto:
        return QStringLiteral("auto");
    case BoardMode::Geo:
        return QStringLiteral("geo");
    }
    return QString();
}

QString modeName(std::uint8_t raw) {
    const auto mode = boardModeOf(raw);
    return mode ? modeName(*mode) : QString::number(raw);
}

int channelOf(const QString& word) {
    for (int channel = 0; channel < ChannelCount; ++channel)
        if (word.compare(ChannelLetter(channel), Qt::CaseInsensitive) == 0 ||
            word == QString::number(channel))
            return channel;
    return -1;
}

std::optional<double> decimalOf(QString word) {
    // Scripts write a decimal point, people often a comma: take both.
    word.replace(QLatin1Char(','), QLatin1Char('.'));
    return parseNumber(word, QLocale::c());
}

std::optional<double> percentOf(QString word) {
    if (word.endsWith(QLatin1Char('%')))
        word.chop(1);
    return decimalOf(word);
}

std::optional<qint64> wholeNumberOf(const QString& word) {
    return parseInteger(word);
}

std::optional<LineTime> lineTimeOf(const QString& word) {
    const qsizetype colon = word.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    const auto hour = parseInteger(word.left(colon));
    const auto minute = parseInteger(word.mid(colon + 1));
    if (!hour || !minute || *hour < -1000 || *hour > 1000 || *minute < -1000 || *minute > 1000)
        return std::nullopt;
    return LineTime{int(*hour), int(*minute)};
}

std::optional<bool> onOffOf(const QString& word) {
    const QString state = word.toLower();
    if (state == QLatin1String("on"))
        return true;
    if (state == QLatin1String("off"))
        return false;
    return std::nullopt;
}

} // namespace kv::words
