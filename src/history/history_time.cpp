#include "history/history_time.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace kv {

std::optional<qint64> historyTimeOf(const QString& word, const QDateTime& now) {
    const QString text = word.trimmed();
    if (text == QLatin1String("now"))
        return now.toMSecsSinceEpoch();
    static const QRegularExpression relative(QStringLiteral("^-(\\d{1,6})([mhdy])$"));
    if (const auto match = relative.match(text); match.hasMatch()) {
        const qint64 count = match.captured(1).toLongLong();
        const QChar unit = match.captured(2).at(0);
        if (unit == QLatin1Char('y'))
            return now.addYears(-int(count)).toMSecsSinceEpoch();
        const qint64 seconds = unit == QLatin1Char('m')   ? 60
                               : unit == QLatin1Char('h') ? 3600
                                                          : 86400;
        return now.toMSecsSinceEpoch() - count * seconds * 1000;
    }
    static const QRegularExpression iso(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2}(T\\d{2}:\\d{2}(:\\d{2})?(Z|[+-]\\d{2}:\\d{2})?)?$"));
    if (!iso.match(text).hasMatch())
        return std::nullopt;
    QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    if (!when.isValid()) {
        if (text.contains(QLatin1Char('T')))
            return std::nullopt;
        // A date alone is its midnight in the computer's zone.
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (!date.isValid())
            return std::nullopt;
        when = date.startOfDay();
    }
    return when.toMSecsSinceEpoch();
}

QString historyTimeText(qint64 utcMilliseconds) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(utcMilliseconds);
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace kv
