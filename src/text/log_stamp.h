#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace kv {

// The locale's short date format, with a two-digit year widened to four digits
// so that log lines stay unambiguous.
QString logDateFormat(const QLocale& locale);
// The locale's long time format without a time-zone name.
QString logTimeFormat(const QLocale& locale);

// A moment as the program shows it: short date, a blank, long time.
QString dateTimeText(const QDateTime& when, const QLocale& locale = QLocale());

// "[" + short date + " " + long time + "] ", for example "[24.12.2024 18:05:33] ".
QString logStamp(const QDateTime& when, const QLocale& locale = QLocale());

// The lines of a log entry: every line of the text (split at CR LF, CR or LF)
// carries the same stamp.
QStringList stampLogText(const QString& text, const QDateTime& when,
                         const QLocale& locale = QLocale());

} // namespace kv
