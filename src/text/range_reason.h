#pragma once

#include "device/records/field_range.h"
#include "text/text_message.h"

#include <QLocale>
#include <QString>

namespace kv {

// The refusal of a value outside a field's range, with the bounds as people
// write them in the locale ("Ungültiger Wert: erlaubt sind 0 bis 100").
TextMessage rangeRefusal(const FieldRange& range, const QLocale& locale = QLocale());

// The same for a range of the window's own (a slider's limits).
QString rangeReason(double minimum, double maximum, const QLocale& locale = QLocale());
QString rangeReason(const FieldRange& range, const QLocale& locale = QLocale());

} // namespace kv
