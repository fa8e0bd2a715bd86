#pragma once

#include <QLocale>
#include <QString>

namespace kv {

// The German reason shown for a typed number outside minimum..maximum
// ("Ungültiger Wert: erlaubt sind 0 bis 100").
QString rangeReason(double minimum, double maximum, const QLocale& locale = QLocale());

} // namespace kv
