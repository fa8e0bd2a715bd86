#include "text/log_stamp.h"

#include <QRegularExpression>

namespace kv {

QString logDateFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString logTimeFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.simplified();
}

QString dateTimeText(const QDateTime& when, const QLocale& locale) {
    return locale.toString(when.date(), logDateFormat(locale)) + QLatin1Char(' ') +
           locale.toString(when.time(), logTimeFormat(locale));
}

QString logStamp(const QDateTime& when, const QLocale& locale) {
    return QLatin1Char('[') + dateTimeText(when, locale) + QLatin1String("] ");
}

QStringList stampLogText(const QString& text, const QDateTime& when, const QLocale& locale) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QString stamp = logStamp(when, locale);
    QStringList lines = text.split(lineBreak);
    for (QString& line : lines)
        line.prepend(stamp);
    return lines;
}

} // namespace kv
