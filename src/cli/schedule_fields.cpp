#include "cli/schedule_fields.h"

#include "board/value_words.h"
#include "text/text_catalogue.h"

namespace kv::cli {

namespace {

const char* const FieldNames = "time, alt, W, R, G, B, 0 to 3, display, clouds, storms, timer";

QString expected(const QString& word, const char* what) {
    return QStringLiteral("%1: expected %2").arg(word, QLatin1String(what));
}

// Reads one word into the fields; why not, or nothing. field gets the
// name of the field it set.
QString readWord(LineFields& fields, const QString& word, QString& field) {
    const qsizetype eq = word.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return QStringLiteral("\"%1\" is no FIELD=VALUE").arg(word);
    const QString name = word.left(eq);
    const QString value = word.mid(eq + 1);
    const QString lower = name.toLower();
    if (lower == QLatin1String("time")) {
        // A lone number would be the minute in the grid; here that would
        // surprise, so the colon is required.
        const auto time = words::lineTimeOf(value);
        if (!time)
            return expected(word, "a time HH:MM");
        fields.time = *time;
        field = QStringLiteral("time");
    } else if (lower == QLatin1String("alt")) {
        const auto degrees = words::decimalOf(value);
        if (!degrees)
            return expected(word, "an altitude in degrees");
        fields.altitude = *degrees;
        field = QStringLiteral("alt");
    } else if (const int channel = words::channelOf(name); channel >= 0) {
        const auto percent = words::percentOf(value);
        if (!percent)
            return expected(word, "a level in percent");
        fields.percent[std::size_t(channel)] = *percent;
        field = ChannelLetter(channel);
    } else if (lower == QLatin1String("display") || lower == QLatin1String("clouds") ||
               lower == QLatin1String("storms")) {
        const auto on = words::onOffOf(value);
        if (!on)
            return expected(word, "on or off");
        (lower == QLatin1String("display")  ? fields.display
         : lower == QLatin1String("clouds") ? fields.clouds
                                            : fields.storms) = *on;
    } else if (lower == QLatin1String("timer")) {
        const auto timer = words::wholeNumberOf(value);
        if (!timer || *timer < -1000000 || *timer > 1000000)
            return expected(word, "a whole number");
        fields.timer = int(*timer);
        field = QStringLiteral("timer");
    } else {
        return QStringLiteral("unknown field \"%1\" (%2)").arg(name, QLatin1String(FieldNames));
    }
    return {};
}

} // namespace

FieldWords parseFieldWords(const QStringList& words) {
    FieldWords result;
    for (const QString& word : words) {
        QString field;
        result.error = readWord(result.fields, word, field);
        if (!result.error.isEmpty())
            return result;
        if (!field.isEmpty())
            result.wordOfField.insert(field, word);
    }
    return result;
}

} // namespace kv::cli
