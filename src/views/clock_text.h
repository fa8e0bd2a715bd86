#pragma once

#include <QString>

#include <optional>

class QLineEdit;

namespace kv {

// A clock time as the Geo tab's time edit shows it: hour and minute, two
// digits each, joined by ":" ("07:05").
QString clockText(int hour, int minute);

// A clock time typed by the user: split at the first ":", hour before and
// minute after, each a whole number.
struct TypedClock {
    enum Kind { NotATime, OutOfRange, Valid };
    Kind kind = NotATime;
    int hour = 0;
    int minute = 0;
};
TypedClock readClockText(const QString& text);

// The handler side of the time edit: the minute of the day typed ("7:5" is
// 425); nothing for a text that is no time, and nothing with the edit marked
// for an hour outside 0..23 or a minute outside 0..59.
std::optional<int> acceptTypedClock(QLineEdit* edit);

} // namespace kv
