#include "text/range_reason.h"

#include "text/number_format.h"

namespace kv {

QString rangeReason(double minimum, double maximum, const QLocale& locale) {
    return QString::fromUtf8("Ungültiger Wert: erlaubt sind %1 bis %2")
        .arg(formatNumber(minimum, u"0.##", locale), formatNumber(maximum, u"0.##", locale));
}

} // namespace kv
