#pragma once

#include "text/range_reason.h"

#include <QColor>
#include <QString>

#include <optional>

class QLineEdit;
class QLocale;

// Marks on edits: the background tint of a channel's colour, and the mark of
// a typed number that lies outside the values its field can take.
namespace kv {

// Gives the edit this background colour (alpha ignored).
void setEditTint(QLineEdit* edit, const QColor& tint);

// Shows that the text of the edit is not accepted: a red frame and text, and
// the reason as tooltip (the edit's own tooltip comes back when cleared).
void markInvalid(QLineEdit* edit, const QString& reason);
void clearInvalid(QLineEdit* edit);
bool isMarkedInvalid(const QLineEdit* edit);

// A number typed by the user, read in the locale's format and checked against
// the range of its field.
struct TypedNumber {
    enum Kind { NotANumber, OutOfRange, Valid };
    Kind kind = NotANumber;
    double value = 0;
};
TypedNumber readTypedNumber(const QString& text, double minimum, double maximum,
                            const QLocale& locale);

// The handler side of a number edit: the value (in the range's units, as
// typed) when the text is a number in the range; otherwise nothing, with the
// edit marked by the range's refusal when the number lies outside it (text
// that is no number is ignored and shows nothing).
std::optional<double> acceptTypedNumber(QLineEdit* edit, const FieldRange& range);

} // namespace kv
