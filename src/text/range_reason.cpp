#include "text/range_reason.h"

#include "text/number_format.h"

namespace kv {

TextMessage rangeRefusal(const FieldRange& range, const QLocale& locale) {
    return {QString::fromLatin1(range.refusalKey),
            {formatNumber(range.lowest, u"0.##", locale),
             formatNumber(range.highest, u"0.##", locale)}};
}

QString rangeReason(const FieldRange& range, const QLocale& locale) {
    return rangeRefusal(range, locale).text();
}

QString rangeReason(double minimum, double maximum, const QLocale& locale) {
    FieldRange range{minimum, maximum, 1, "", fieldrange::InvalidValue};
    return rangeReason(range, locale);
}

} // namespace kv
