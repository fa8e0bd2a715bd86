#include "views/clock_text.h"

#include "text/number_format.h"
#include "views/input_marks.h"

#include <QLineEdit>

namespace kv {

QString clockText(int hour, int minute) {
    return QStringLiteral("%1:%2")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}

TypedClock readClockText(const QString& text) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return {};
    const auto hour = parseInteger(text.left(colon));
    const auto minute = parseInteger(text.mid(colon + 1));
    if (!hour || !minute)
        return {};
    if (*hour < 0 || *hour > 23 || *minute < 0 || *minute > 59)
        return {TypedClock::OutOfRange};
    return {TypedClock::Valid, int(*hour), int(*minute)};
}

std::optional<int> acceptTypedClock(QLineEdit* edit) {
    const TypedClock typed = readClockText(edit->text());
    switch (typed.kind) {
    case TypedClock::Valid:
        clearInvalid(edit);
        return typed.hour * 60 + typed.minute;
    case TypedClock::OutOfRange:
        markInvalid(edit, QStringLiteral("Ungültige Uhrzeit: Stunde 0 bis 23, Minute 0 bis 59"));
        return std::nullopt;
    case TypedClock::NotATime:
        break;
    }
    clearInvalid(edit);
    return std::nullopt;
}

} // namespace kv
