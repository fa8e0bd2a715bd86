// The Geo view's figures for a place and moment.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/zone_argument.h"
#include "common/rounding.h"
#include "geo/geo_figures.h"
#include "geo/time_zone_source.h"
#include "present/astro_json.h"
#include "text/number_format.h"

#include <QTimeZone>

namespace kv::cli {

namespace {

std::optional<double> number(const QString& text) {
    if (auto value = parseNumber(text, QLocale::c()))
        return value;
    return parseNumber(text);
}

// The label as lines, without the CR LF line ends of the window's label.
QString plainLabel(const QString& label) {
    QString text = label;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

} // namespace

int runAstro(Context& c) {
    const QStringList valueOptions = {"--lat", "--lon", "--date", "--time", "--utc-offset", "--tz"};
    const auto parsed = c.words(0, 0, valueOptions);
    if (!parsed)
        return ExitUsage;
    const CommandWords& words = *parsed;
    const auto latText = words.value("--lat");
    const auto lonText = words.value("--lon");
    if (!latText || !lonText)
        return c.fail(ExitUsage, QStringLiteral("--lat and --lon are required"));
    const auto lat = number(*latText);
    const auto lon = number(*lonText);
    if (!lat || *lat < -90 || *lat > 90)
        return c.fail(ExitUsage,
                      QStringLiteral("--lat must be a number of degrees from -90 to 90"));
    if (!lon || *lon < -180 || *lon > 180)
        return c.fail(ExitUsage,
                      QStringLiteral("--lon must be a number of degrees from -180 to 180"));
    const auto offsetText = words.value("--utc-offset");
    const auto zoneText = words.value("--tz");
    if (offsetText && zoneText)
        return c.fail(ExitUsage, QStringLiteral("give either --utc-offset or --tz, not both"));

    // The zone decides what "now" is when no date or time is given.
    QDateTime now = QDateTime::currentDateTime();
    std::optional<QTimeZone> zone;
    std::optional<int> fixedOffset;
    if (offsetText) {
        const auto minutes = parseInteger(*offsetText);
        if (!minutes || *minutes < -14 * 60 || *minutes > 14 * 60)
            return c.fail(ExitUsage,
                          QStringLiteral("--utc-offset must be whole minutes from -840 to 840"));
        fixedOffset = int(*minutes);
    } else if (zoneText) {
        const auto parsed = parseZoneArgument(*zoneText);
        if (!parsed)
            return c.fail(ExitUsage, QStringLiteral("unknown time zone \"%1\" (give a zone id "
                                                    "such as Europe/Berlin, or UTC+05:30)")
                                         .arg(*zoneText));
        if (const int* minutes = std::get_if<int>(&*parsed))
            fixedOffset = *minutes;
        else
            zone = std::get<QTimeZone>(*parsed);
    } else {
        zone = QTimeZone::systemTimeZone();
    }
    if (fixedOffset)
        now = QDateTime::currentDateTimeUtc().addSecs(*fixedOffset * 60);
    else
        now = QDateTime::currentDateTime().toTimeZone(*zone);
    QDate date = now.date();
    QTime time(now.time().hour(), now.time().minute());
    if (auto text = words.value("--date")) {
        date = QDate::fromString(*text, QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
            return c.fail(ExitUsage, QStringLiteral("--date must be YYYY-MM-DD"));
    }
    if (auto text = words.value("--time")) {
        time = QTime::fromString(*text, QStringLiteral("H:mm"));
        if (!time.isValid())
            return c.fail(ExitUsage, QStringLiteral("--time must be HH:MM"));
    }

    sunmoon::TimeZoneRules rules;
    if (zone)
        rules = timeZoneRules(*zone, date.year());
    else
        rules.bias = -*fixedOffset;

    const BoardDateTime moment{date.year(), date.month(),  date.day(),
                               time.hour(), time.minute(), 0};
    const auto figures = computeGeoFigures(int(roundHalfEven(*lat * 10)),
                                           int(roundHalfEven(*lon * 10)), moment, rules);
    if (!figures)
        return c.fail(ExitFailed, QStringLiteral("no figures for this place and moment"));

    if (c.json()) {
        c.printJson(present::geoFiguresJson(*figures));
        return ExitDone;
    }
    QTextStream& out = c.out();
    out << plainLabel(figures->label) << '\n';
    return ExitDone;
}

} // namespace kv::cli
