#include "text/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kv {

namespace {

struct Picture {
    int integerDigits = 0;    // "0" before the point
    int requiredDecimals = 0; // "0" after the point
    int optionalDecimals = 0; // "#" after the point
};

Picture parsePicture(QStringView picture) {
    Picture p;
    bool afterPoint = false;
    for (QChar c : picture) {
        if (c == u'.') {
            afterPoint = true;
        } else if (c == u'0') {
            if (afterPoint)
                ++p.requiredDecimals;
            else
                ++p.integerDigits;
        } else if (c == u'#' && afterPoint) {
            ++p.optionalDecimals;
        }
    }
    return p;
}

} // namespace

QString formatNumber(double value, QStringView picture, const QLocale& locale) {
    if (!std::isfinite(value))
        return locale.toString(value);
    const Picture p = parsePicture(picture);
    const int decimals = p.requiredDecimals + p.optionalDecimals;

    // 15 significant digits, as d.dddddddddddddde±x.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    std::vector<int> digits;
    digits.push_back(buffer[0] - '0');
    for (int i = 2; i < 16; ++i)
        digits.push_back(buffer[i] - '0');
    const int exponent = std::atoi(buffer + 17);

    // Lay the digits out around the point: 'pointPos' digits before it.
    int pointPos = exponent + 1;
    if (pointPos < 1) {
        digits.insert(digits.begin(), size_t(1 - pointPos), 0);
        pointPos = 1;
    }
    const size_t keep = size_t(pointPos + decimals);
    if (digits.size() < keep + 1)
        digits.resize(keep + 1, 0);
    const bool roundUp = digits[keep] >= 5;
    digits.resize(keep);
    if (roundUp) {
        size_t i = keep;
        while (i > 0) {
            --i;
            if (++digits[i] < 10)
                break;
            digits[i] = 0;
            if (i == 0) {
                digits.insert(digits.begin(), 1);
                ++pointPos;
            }
        }
    }

    QString integerPart;
    for (int i = 0; i < pointPos; ++i)
        integerPart += QChar(u'0' + digits[size_t(i)]);
    // Drop leading zeros, then pad to the picture's integer digits.
    qsizetype firstNonZero = 0;
    while (firstNonZero < integerPart.size() && integerPart[firstNonZero] == u'0')
        ++firstNonZero;
    integerPart = integerPart.mid(firstNonZero);
    if (integerPart.size() < p.integerDigits)
        integerPart = integerPart.rightJustified(p.integerDigits, u'0');

    QString fraction;
    for (int i = 0; i < decimals; ++i)
        fraction += QChar(u'0' + digits[size_t(pointPos + i)]);
    while (fraction.size() > p.requiredDecimals && fraction.endsWith(u'0'))
        fraction.chop(1);

    bool allZero = true;
    for (int d : digits)
        allZero = allZero && d == 0;

    QString result;
    if (value < 0 && !allZero)
        result += locale.negativeSign();
    result += integerPart;
    if (!fraction.isEmpty())
        result += locale.decimalPoint() + fraction;
    if (result.isEmpty() || result == locale.negativeSign())
        result += u'0';
    return result;
}

std::optional<double> parseNumber(const QString& text, const QLocale& locale) {
    QLocale strict = locale;
    strict.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint64> parseInteger(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        const bool sign = i == 0 && (c == u'-' || c == u'+') && trimmed.size() > 1;
        if (!sign && !(c >= u'0' && c <= u'9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace kv
