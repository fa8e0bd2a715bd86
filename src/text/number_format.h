#pragma once

#include "common/rounding.h"

#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>

namespace kv {

// roundHalfEven() comes from common/rounding.h and is used everywhere.

// Formats a number with a picture of the kind "0.##", "0.#", "0.0", "0.00" or
// "00": each "0" is a digit always shown, each "#" after the point a digit
// shown only when it is not a trailing zero. The value is first taken to 15
// significant digits and then rounded at the last place of the picture, halves
// away from zero. The decimal separator is the locale's; there is no digit
// grouping and no "-" in front of a result that shows as zero.
QString formatNumber(double value, QStringView picture, const QLocale& locale = QLocale());

// Reads a decimal number as typed by the user in the locale's format (its
// decimal separator; no group separators). Surrounding blanks are allowed.
// Nothing for anything else, including infinities and NaN.
std::optional<double> parseNumber(const QString& text, const QLocale& locale = QLocale());

// Reads a whole number: optional sign and decimal digits, surrounding blanks
// allowed. Nothing for anything else or a value outside 64 bits.
std::optional<qint64> parseInteger(const QString& text);

} // namespace kv
