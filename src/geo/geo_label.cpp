#include "geo/geo_figures.h"

#include "text/number_format.h"
#include "text/text_catalogue.h"

namespace kv {

namespace {

// "Key: value" as the label writes each figure.
QString item(const QString& key, const QString& value) {
    return Msg(key) + QStringLiteral(": ") + value;
}

QString degrees(double value) {
    return formatNumber(value, u"0.#") + QStringLiteral("°");
}

} // namespace

QString geoLabel(const GeoSunFigures& sun, const GeoMoonFigures& moon) {
    const QString separator = QStringLiteral(", ");
    const QString lineBreak = QStringLiteral("\r\n");

    QString text = Msg("Sun") + QStringLiteral(": ") + item("Azimuth", degrees(sun.azimuth)) +
                   separator + item("Altitude", degrees(sun.altitude));
    if (sun.dayLengthShown) {
        text += separator + item("Rise", sun.rise.text) + separator + item("Set", sun.set.text) +
                separator + item("DayLength", sun.dayLength.text) + QLatin1Char(' ') + Msg("Hours");
    }
    text += lineBreak;

    text += Msg("Moon") + QStringLiteral(": ") + item("Azimuth", degrees(moon.azimuth)) +
            separator + item("Altitude", degrees(moon.altitude));
    if (moon.riseSetShown)
        text += separator + item("Rise", moon.rise.text) + separator + item("Set", moon.set.text);
    text += separator + item("Phase", formatNumber(moon.illuminated * 100, u"0.#")) +
            QLatin1Char('%') + lineBreak;
    return text;
}

} // namespace kv
